#!/usr/bin/env bash
# Makes docs/export.png: two sample models, orx-render's picture on the left and f3d's
# render of the exported .glb on the right, and docs/kitchen-corner-f3d.png: the same
# for the kitchen corner, seen from the front right above so that the inner corner of
# its L-shaped worktop shows; each from the same camera (the eye of the
# viewer for --angles, as tests/export/f3d_silhouette_test.cpp places it). Needs
# node and f3d and an X display (xvfb-run).
#   docs/export-picture.sh BUILD-FOLDER
set -euo pipefail
B="${1:-build}"
T="$(mktemp -d)"
trap 'rm -rf "$T"' EXIT
angles=15,-35,0
camera() {  # the f3d camera options for a .glb file and the angles
  node "$(dirname "$0")/f3d-camera.js" "$1" "${2:-$angles}"
}
"$B/bin/orx-render" "$B/bin/modelle/schrank3d.gl" "$T/1.png" --size 400x300 --angles $angles --texture 1 --background 255,255,255
"$B/bin/orx-render" "$B/bin/modelle/schrank3d.gl" "$T/s.glb" --texture 1
"$B/bin/orx-render" "$B/bin/modelle/kommode3d.gl" "$T/3.png" --size 400x300 --angles $angles --mode 3 --coloured --background 255,255,255
"$B/bin/orx-render" "$B/bin/modelle/kommode3d.gl" "$T/k.glb" --mode 3 --coloured
# shellcheck disable=SC2046
f3d --dry-run --resolution=400,300 --bg-color=1,1,1 $(camera "$T/s.glb") --output="$T/2.png" "$T/s.glb"
# shellcheck disable=SC2046
f3d --dry-run --resolution=400,300 --bg-color=1,1,1 $(camera "$T/k.glb") --output="$T/4.png" "$T/k.glb"
"$B/tools/gen-thumbnail-grid" docs/export.png 2 "$T"/1.png "$T"/2.png "$T"/3.png "$T"/4.png
k=25,-35,0
"$B/bin/orx-render" "$B/bin/modelle/eckkueche3d.gl" "$T/5.png" --size 600x450 --angles $k --texture 1 --background 255,255,255
"$B/bin/orx-render" "$B/bin/modelle/eckkueche3d.gl" "$T/e.glb" --texture 1
# shellcheck disable=SC2046
f3d --dry-run --resolution=600,450 --bg-color=1,1,1 $(camera "$T/e.glb" $k) --output="$T/6.png" "$T/e.glb"
"$B/tools/gen-thumbnail-grid" docs/kitchen-corner-f3d.png 2 "$T"/5.png "$T"/6.png
