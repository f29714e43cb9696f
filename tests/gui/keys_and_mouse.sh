# Keys and a click change the picture and store the display options as they change.
source "$(dirname "$0")/lib.sh"
name_model "$MODELS/schrank3d.gl"
# No automatic turning: the view is set by keys, so that every option below is in sight.
printf '[common]\nRotateTimeOn=0\n' > "$PROFILE/orx-view.ini"
start_viewer
wait_still_picture
turn Delete 8   # -20 degrees about x
turn Prior 14   # 35 degrees about y
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
# Space turns the model by itself and stores that; a click stops it and stores that.
check space RotateTimeOn 1
stop_turning
end_viewer
grep -q '^\[ORX-VIEW\]' "$PROFILE/orx-view.ini" || fail "placement not saved"
echo PASS
