# Keys and a click change the picture and store the display options as they change.
source "$(dirname "$0")/lib.sh"
name_model "$MODELS/schrank3d.gl"
start_viewer
wait_title "ORX-View"
# A click stops the turning and stores it.
xdotool mousemove --window "$WIN" 200 200 click 1
wait_setting RotateTimeOn 0
wait_still_picture
check() {  # key, setting, expected value
  local before
  before=$(window_picture)
  send_key "$1"
  wait_picture_change "$before" "key $1 to change the picture"
  wait_setting "$2" "$3"
}
check F3 shading 0x3
check k Achsenkreuz 1
check w Raumkanten 1
check n Nullkanten 1
check b LightMode 0x1
check 5 TexturNr 0x5
[ "$(setting shading)" = "0x4" ] || fail "a texture key did not switch to textured mode"
send_key Escape
wait_exit
grep -q '^\[ORX-VIEW\]' "$PROFILE/orx-view.ini" || fail "placement not saved"
echo PASS
