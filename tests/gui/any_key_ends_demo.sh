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
  for _ in $(seq 100); do
    [ "$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)" -ge 2 ] && break
    sleep 0.1
  done
  [ "$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)" -ge 2 ] ||
    fail "the context menu did not open"
  xdotool mousemove 0 1000
  # Down to "2D Optionen", into it, first entry.
  xdotool key Down Down Down Down Down Right Return
}

wait_demo_ended() {
  for _ in $(seq 100); do
    case "$(window_title)" in
      *" DEMO ("*) sleep 0.1 ;;
      "ORX-View"*) return 0 ;;
      *) sleep 0.1 ;;
    esac
  done
  fail "$1 left the demo running: title '$(window_title)'"
}

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
  for _ in $(seq 100); do
    [ "$(setting TexturNr)" = "0x$digit" ] && break
    sleep 0.1
  done
  [ "$(setting TexturNr)" = "0x$digit" ] || fail "Shift+$digit: TexturNr is '$(setting TexturNr)'"
done
[ "$(setting shading)" = "0x4" ] || fail "a texture key did not switch to textured mode"
send_key Escape
wait_exit
echo PASS
