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

# The frame's left and top edge and its top border (the title bar) in x, y and title,
# from the client area's place and the frame extents that the window manager sets on
# the window; false while the window is not framed.
frame_now() {
  local extents cx cy left top
  extents=$(xprop -id "$WIN" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  [ -n "$extents" ] || return 1
  IFS=, read -r left _ top _ <<<"$extents"
  cx=$(xwininfo -id "$WIN" | sed -n 's/.*Absolute upper-left X: *//p')
  cy=$(xwininfo -id "$WIN" | sed -n 's/.*Absolute upper-left Y: *//p')
  [ -n "$cx" ] && [ -n "$cy" ] || return 1
  x=$((cx - left)) y=$((cy - top)) title=$top
  [ "$title" -gt 0 ]
}
# wait_frame condition description: waits until the window is framed and the condition
# holds, and fails naming where the frame stands.
wait_frame() {
  local deadline=$((SECONDS + WAIT_SECONDS))
  until frame_now && "$1"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "$2 (the frame at ${x:-?},${y:-?})"
    sleep 0.1
  done
}
# The whole title bar on the screen, a bar of a usual height.
title_bar_on_screen() { [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ "$title" -ge 10 ]; }
frame_where_left() { [ "$x $y" = "$first" ]; }
shot() {
  [ -n "${ORX_SHOTS:-}" ] || return 0
  mkdir -p "$ORX_SHOTS"
  xwd -root -silent >"$ORX_SHOTS/$1.xwd"
}

# A fresh profile places the frame at 10,10; each start after puts it where it was left.
first="10 10"
for start in 1 2 3; do
  start_viewer
  wait_frame frame_where_left "start $start: the frame at $first"
  title_bar_on_screen || fail "start $start: a title bar of $title pixels"
  shot "start-$start"
  end_viewer
done

# A position stored above the screen (as a window that climbed there was stored) comes
# down: the title bar can be reached.
sed -i 's/^y=.*/y=-70/' "$PROFILE/orx-view.ini"
first="10 0"
start_viewer
wait_frame frame_where_left "a stored top of -70: the frame at the screen's top edge, $first"
shot stored-above-screen
end_viewer
echo PASS
