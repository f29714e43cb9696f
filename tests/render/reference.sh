# One reference picture: renders the model with orx-render and compares the picture
# with its reference. With ORX_UPDATE_BASELINES=1 the picture becomes the new reference.
#   reference.sh RENDER COMPARE MODEL REFERENCE OUT TOLERANCE MAX_PIXELS [orx-render options]
set -u
render=$1 compare=$2 model=$3 reference=$4 out=$5 tolerance=$6 maxPixels=$7
shift 7
mkdir -p "$(dirname "$out")"
rm -f "$out.bmp" "$out.diff.bmp"
"$render" "$model" "$out.bmp" "$@" || { echo "orx-render failed"; exit 1; }
if [ "${ORX_UPDATE_BASELINES:-0}" = 1 ]; then
  exec "$compare" --store "$out.bmp" "$reference"
fi
[ -f "$reference" ] || { echo "no reference picture $reference (see tests/baselines/regenerate.sh)"; exit 1; }
exec "$compare" "$reference" "$out.bmp" "$out.diff.bmp" "$tolerance" "$maxPixels"
