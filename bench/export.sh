#!/usr/bin/env bash
# Export to binary glTF against rendering a picture: orx-render on generated models
# of 10,000 and 100,000 records writing an 800 x 600 PNG, and writing a .glb file
# in the textured look; time and peak memory (best of 3), the file's size and its
# bytes a part. Goals: the export takes at most the picture's time and peak memory.
#   bench/export.sh [counts...]        (default: 10000 100000)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${ORX_BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/common.sh"
PACKAGES=(time)
install_packages
COUNTS=("$@")
[ $# -gt 0 ] || COUNTS=(10000 100000)
WORK="$(mktemp -d /tmp/orx-bench-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

echo "load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo "| records | picture (PNG 800 x 600) | .glb export | time ratio (goal ≤ 1.0) | picture peak MiB | export peak MiB (goal ≤ picture) | .glb size MiB | bytes a part |"
echo "|---|---|---|---|---|---|---|---|"
for n in "${COUNTS[@]}"; do
  "$BUILD/tools/gen-models" bench "$n" 7 "$WORK/m${n}3d.gl" "$WORK/m$n.obj" >/dev/null
  read -r pt pm < <(measure "$BUILD/bin/orx-render" "$WORK/m${n}3d.gl" "$WORK/o.png" --size 800x600)
  read -r et em < <(measure "$BUILD/bin/orx-render" "$WORK/m${n}3d.gl" "$WORK/o.glb")
  bytes=$(stat -c %s "$WORK/o.glb")
  size=$(awk "BEGIN{printf \"%.1f\", $bytes / 1048576}")
  ratio=$(awk "BEGIN{printf \"%.2f\", $et / $pt}")
  echo "| $n | $pt s | $et s | $ratio | $pm | $em | $size | $((bytes / n)) |"
done
