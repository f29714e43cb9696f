#!/usr/bin/env bash
# Makes docs/design-colours.png: the sample wardrobe in the design colours as the
# viewer's window shows it (key O, turned with the keys), as orx-render draws it, and
# as f3d renders the .glb that orx-render exports, each from the same eye. Needs an X
# display (xvfb-run), f3d, node and python3 (which turns the window dump into a PNG).
#   xvfb-run -a -s "-screen 0 1024x768x24" docs/design-colours-picture.sh BUILD-FOLDER
set -euo pipefail
B="$(cd "${1:-build}" && pwd)"
OUT="$(pwd)/docs/design-colours.png"
source "$(dirname "$0")/../tests/gui/lib.sh" "$B/bin/orx-view"
T="$PROFILE"  # removed with the viewer's profile at the end

# On screen: the start view turned by 35 degrees about y and 20 about x, lit.
start_viewer "$MODELS/schrank3d.gl"
stop_turning
send_key c
send_key o
wait_setting Schattierungen 0x2
send_key b
turn Next 14
turn Insert 8
wait_still_picture
xwd -id "$WIN" -silent > "$T/screen.xwd"
end_viewer
python3 "$(dirname "$0")/xwd-to-png.py" "$T/screen.xwd" "$T/1.png"
read -r W H <<<"$(python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); print(*struct.unpack('>II', d[16:24]))" "$T/1.png")"

# orx-render at the window's size and view, and f3d on its export.
"$B/bin/orx-render" "$MODELS/schrank3d.gl" "$T/2.png" --size "${W}x${H}" --design-colours --light \
  --angles 20,-35,0 --background 240,240,240
"$B/bin/orx-render" "$MODELS/schrank3d.gl" "$T/s.glb" --design-colours
# shellcheck disable=SC2046
f3d --dry-run --fxaa --resolution="$W,$H" --bg-color=0.94,0.94,0.94 \
  $(node "$(dirname "$0")/f3d-camera.js" "$T/s.glb" 20,-35,0) --output="$T/3.png" "$T/s.glb"
"$B/tools/gen-thumbnail-grid" "$OUT" 3 "$T/1.png" "$T/2.png" "$T/3.png"
