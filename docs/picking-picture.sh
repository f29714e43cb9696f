#!/usr/bin/env bash
# Makes docs/picking.png: the viewer's window with the sample cabinet, solid grey and
# lit, turned by 35 degrees about y and 20 about x, its left door picked with
# Ctrl+left click (the marker and the size label) and a second Ctrl+click on the
# right side measuring the distance. A fresh profile (tests/gui/lib.sh makes one).
# Needs an X display (xvfb-run), xdotool, xwd and python3.
#   xvfb-run -a -s "-screen 0 1024x768x24" docs/picking-picture.sh BUILD-FOLDER
set -euo pipefail
B="$(cd "${1:-build}" && pwd)"
OUT="$(pwd)/docs/picking.png"
source "$(dirname "$0")/../tests/gui/lib.sh" "$B/bin/orx-view"
T="$PROFILE"  # removed with the viewer's profile at the end

start_viewer "$MODELS/schrank3d.gl"
stop_turning
send_key c
send_key F3
wait_setting shading 0x3
send_key b
wait_setting LightMode 0x1
turn Next 14
turn Insert 8
wait_still_picture

# Ctrl+left click at a point of the window (pixels from its top-left corner).
ctrl_click() {
  local before
  before=$(window_picture)
  xdotool mousemove --window "$WIN" "$1" "$2" keydown ctrl click 1 keyup ctrl
  wait_picture_change "$before" "the Ctrl+click at $1,$2 to be shown"
  wait_still_picture
}
ctrl_click 320 170  # the left door
ctrl_click 495 350  # the right side
xdotool mousemove --window "$WIN" 780 580  # the pointer is not in the picture, but out of the way
xwd -id "$WIN" -silent > "$T/screen.xwd"
python3 "$(dirname "$0")/xwd-to-png.py" "$T/screen.xwd" "$OUT"
send_key Escape  # clears the size label
end_viewer
