#!/usr/bin/env bash
# Every sample model exported by orx-render in the textured, the coloured and the
# design colours' look passes the Khronos glTF validator without errors or warnings. Skipped
# (exit 77) where node or the validator is missing; ./test installs both.
# Usage: validate.sh ORX-RENDER MODEL-FOLDER
set -euo pipefail
render="$1"
models="$2"
export GLTF_VALIDATOR_DIR="${GLTF_VALIDATOR_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/orx-view/gltf-validator/node_modules}"
if ! command -v node >/dev/null || [ ! -d "$GLTF_VALIDATOR_DIR/gltf-validator" ]; then
  echo "SKIP: node or gltf-validator missing (looked in $GLTF_VALIDATOR_DIR); ./test installs them"
  exit 77
fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
files=()
for model in "$models"/*.gl; do
  name="$(basename "$model" .gl)"
  "$render" "$model" "$out/$name-textur.glb" --texture 3
  "$render" "$model" "$out/$name-farbig.glb" --mode 3 --coloured
  "$render" "$model" "$out/$name-entwurf.glb" --mode 3 --design-colours
  files+=("$out/$name-textur.glb" "$out/$name-farbig.glb" "$out/$name-entwurf.glb")
done
node "$(dirname "$0")/validate.mjs" "${files[@]}"
