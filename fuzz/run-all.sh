#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 600) on its seed
# corpus. Build first:
#   cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
#         -DORX_FUZZ=ON -DORX_BUILD_QT=OFF -DORX_BUILD_TESTS=OFF && cmake --build build-fuzz
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${ORX_FUZZ_BUILD:-$ROOT/build-fuzz}"
SECONDS_EACH="${1:-600}"
WORK="$(mktemp -d /tmp/orx-fuzz-run-XXXXXX)"
declare -A CORPUS=([record_line]=record [model_file]=model [texture_bmp]=bmp
                   [texture_jpeg]=jpeg [texture_raw]=raw [ini]=ini)
status=0
for target in record_line model_file texture_bmp texture_jpeg texture_raw ini; do
  mkdir -p "$WORK/$target"
  if nice "$BUILD/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 \
       -artifact_prefix="$WORK/$target-" "$WORK/$target" "$ROOT/fuzz/corpus/${CORPUS[$target]}" \
       >"$WORK/$target.log" 2>&1; then
    echo "$target: $(grep -E '^Done' "$WORK/$target.log" | tail -1)"
  else
    echo "$target: FINDING, see $WORK/$target.log"; status=1
  fi
done
exit $status
