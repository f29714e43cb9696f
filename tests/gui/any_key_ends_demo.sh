# Every key press ends a running demo, also a modifier alone and keys without a
# command; Shift with a digit on a German keyboard selects the digit's texture.
source "$(dirname "$0")/lib.sh"
LAYOUT="$(setxkbmap -query | sed -n 's/^layout: *//p')"
trap 'setxkbmap -layout "${LAYOUT:-us}" 2>/dev/null || true; cleanup' EXIT

# The title shows the demo counter only while the demo runs, once a command sets
# it again: the context menu (right button, which does not end the demo) runs
# "Teileliste vorblättern", which writes the title anew.
refresh_title() {
  xdotool mousemove --window "$WIN" 100 100 click 3
  wait_until "the context menu" windows_shown 2
  xdotool mousemove 0 1000
  # Down to "2D Optionen", into it once its sub-menu shows, first entry.
  xdotool key Down Down Down Down Down Right
  wait_until "the sub-menu" windows_shown 3
  xdotool key Return
}

demo_ended() { [[ "$(window_title)" == ORX-View* && "$(window_title)" != *" DEMO ("* ]]; }
wait_demo_ended() { wait_until "$1 to end the demo (title '$(window_title)')" demo_ended; }

start_viewer
for key in shift ctrl Tab period BackSpace; do
  wait_title " DEMO ("
  send_key "$key"
  refresh_title
  wait_demo_ended "$key"
  send_key p   # P starts the demo again
done

# German layout: Shift+7 gives "/", Shift+2 gives '"'; the keys are still 7 and 2.
setxkbmap -layout de || fail "no German keyboard layout"
for digit in 7 2; do
  send_key "shift+$digit"
  wait_setting TexturNr "0x$digit"
done
[ "$(setting shading)" = "0x4" ] || fail "a texture key did not switch to textured mode"
end_viewer
echo PASS
