# Under a window manager that frames the window (openbox), the window opens where it
# was left, frame and all, start after start, with its title bar on the screen; the
# first start puts the whole frame on the screen, and a stored position above the
# screen comes down so that the title bar can be reached.
# The test runs on an X display of its own, so that the window manager leaves the
# other window tests alone. ORX_SHOTS names a folder for a screenshot (xwd) of each start.
set -euo pipefail
command -v openbox >/dev/null || { echo "FAIL: openbox is not installed (./test installs it)" >&2; exit 1; }
source "$(dirname "$0")/../../scripts/common.sh"
unset DISPLAY
start_xvfb_if_needed
WM_PID=""
stop_display() {
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap stop_display EXIT
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
source "$(dirname "$0")/lib.sh"
trap 'cleanup; stop_display' EXIT
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_until "the window manager" wm_running
name_model "$MODELS/tisch3d.gl"

# The frame's left and top edge, and its top border (the title bar), from the client
# area's place and the frame extents that the window manager sets on the window.
frame() {
  local extents x y
  extents=$(xprop -id "$WIN" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  [ -n "$extents" ] || return 1
  IFS=, read -r left _ top _ <<<"$extents"
  x=$(xwininfo -id "$WIN" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$WIN" | sed -n 's/.*Absolute upper-left Y: *//p')
  echo "$((x - left)) $((y - top)) $top"
}
# Waits until the window is framed and stands still: the same frame twice in a row.
LAST=""
framed_and_still() {
  local now
  now=$(frame) || return 1
  [ "${now##* }" -gt 0 ] || return 1
  [ "$now" = "$LAST" ] && return 0
  LAST="$now"
  return 1
}
# Starts the viewer and waits for its frame: the frame's left and top edge and its
# title bar's height in x, y and title.
started_frame() {
  start_viewer
  LAST=""
  wait_until "the window framed and still (now: $(frame || true))" framed_and_still
  read -r x y title <<<"$LAST"
}
shot() {
  [ -n "${ORX_SHOTS:-}" ] || return 0
  mkdir -p "$ORX_SHOTS"
  xwd -root -silent >"$ORX_SHOTS/$1.xwd"
}

first=""
for start in 1 2 3; do
  started_frame
  shot "start-$start"
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] || fail "start $start: frame at $x,$y, its title bar off the screen"
  [ "$title" -ge 10 ] || fail "start $start: a top border of $title pixels is no title bar"
  [ -z "$first" ] && first="$x $y"
  [ "$x $y" = "$first" ] || fail "start $start: frame at $x,$y, left at $first"
  end_viewer
done

# A position stored above the screen (as a window that climbed there was stored) comes
# down: the title bar can be reached.
sed -i 's/^y=.*/y=-70/' "$PROFILE/orx-view.ini"
started_frame
shot "stored-above-screen"
[ "$y" -ge 0 ] || fail "a stored top of -70 put the frame at $x,$y"
end_viewer
echo PASS
