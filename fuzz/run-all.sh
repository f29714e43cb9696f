#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 600) on its seed
# corpus, one after the other. Build first:
#   cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
#         -DORX_FUZZ=ON -DORX_BUILD_QT=OFF -DORX_BUILD_TESTS=OFF && cmake --build build-fuzz
# Targets may be named after the seconds to run only those. A target that was not built
# is reported as "not built" and fails the run; a crash, leak or trap is a "FINDING",
# with the input that caused it kept beside the log.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${ORX_FUZZ_BUILD:-$ROOT/build-fuzz}"
SECONDS_EACH="${1:-600}"
shift || true
WORK="$(mktemp -d /tmp/orx-fuzz-run-XXXXXX)"
declare -A CORPUS=([record_line]=record [model_file]=model [texture_bmp]=bmp
                   [texture_jpeg]=jpeg [texture_raw]=raw [ini]=ini [windows_path]=winpath
                   [follow_ini]=follow)
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] ||
  TARGETS=(record_line model_file texture_bmp texture_jpeg texture_raw ini windows_path follow_ini)
status=0
for target in "${TARGETS[@]}"; do
  binary="$BUILD/fuzz/fuzz_$target"
  if [ -z "${CORPUS[$target]:-}" ] || [ ! -x "$binary" ]; then
    echo "$target: not built ($binary)"; status=1; continue
  fi
  mkdir -p "$WORK/$target"
  if nice "$binary" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 \
       -artifact_prefix="$WORK/$target-" "$WORK/$target" "$ROOT/fuzz/corpus/${CORPUS[$target]}" \
       >"$WORK/$target.log" 2>&1; then
    echo "$target: $(grep -E '^Done' "$WORK/$target.log" | tail -1)"
  else
    echo "$target: FINDING, see $WORK/$target.log"; status=1
  fi
done
exit $status
