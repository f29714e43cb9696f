#!/usr/bin/env bash
# The exported web pages in headless Chromium (software WebGL): every sample model's
# page opens from disk without a console error or a request beyond itself, and shows
# the silhouette orx-render draws from the same camera, the design colours in the
# colours orx-render draws them; a click names a part, a
# click beside clears it; the controls turn, zoom and reset; a hostile header line
# shows as text. Skipped (exit 77) where node, chromium or puppeteer-core is
# missing; ./test installs them.
# Usage: web_page.sh ORX-RENDER MODEL-FOLDER
set -euo pipefail
render="$1"
models="$2"
export PUPPETEER_CORE_DIR="${PUPPETEER_CORE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/orx-view/puppeteer-core/node_modules}"
export CHROMIUM="${CHROMIUM:-$(command -v chromium || true)}"
if ! command -v node >/dev/null || [ -z "$CHROMIUM" ] || [ ! -d "$PUPPETEER_CORE_DIR/puppeteer-core" ]; then
  echo "SKIP: node, chromium or puppeteer-core missing (looked for puppeteer-core in" \
    "$PUPPETEER_CORE_DIR); ./test installs them"
  exit 77
fi
out="$(mktemp -d /tmp/orx-web-page-XXXXXX)"
trap 'rm -rf "$out"' EXIT
view=(--angles 20,35,0)
for model in "$models"/*.gl; do
  name="$(basename "$model" .gl)"
  "$render" "$model" "$out/$name.html" --mode 3 "${view[@]}"
  "$render" "$model" "$out/$name.png" --mode 3 --size 400x300 --background 0,0,0 "${view[@]}"
done
# The model shifted aside and nearer, as the arrow keys and Q leave it.
"$render" "$models/regal3d.gl" "$out/regal-verschoben.html" --mode 3 --origin 0.4,-0.25,-1.6
"$render" "$models/regal3d.gl" "$out/regal-verschoben.png" --mode 3 --size 400x300 \
  --background 0,0,0 --origin 0.4,-0.25,-1.6
# The design colours, a material each (in a folder of their own: the white carcass
# shows against the page's light background only where its faces are shaded).
mkdir "$out/entwurf"
"$render" "$models/schrank3d.gl" "$out/entwurf/seite.html" --mode 3 --design-colours "${view[@]}"
"$render" "$models/schrank3d.gl" "$out/entwurf/bild.png" --mode 3 --design-colours \
  --size 400x300 --background 0,0,0 "${view[@]}"
# The textured look, whose texture reaches the loader as an image of the file.
"$render" "$models/schrank3d.gl" "$out/textur.html" --texture 2
# A header line with markup and script ends.
printf '%s\n' '<script>alert(1)</script> </script> & "Ä" @TITLE@' > "$out/feind3d.gl"
tail -n +2 "$models/tisch3d.gl" >> "$out/feind3d.gl"
"$render" "$out/feind3d.gl" "$out/feind.html"
exec node "$(dirname "$0")/web_page.mjs" "$out"
