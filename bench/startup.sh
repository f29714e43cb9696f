#!/usr/bin/env bash
# Window start-up to the first frame (the window on screen) and to the frame showing
# a generated model named in ORX.INI (as the design program names it), against
# orx-render drawing the same model in the same textured mode; then the time from an option key to the next frame. Best of
# three runs each; runs on an Xvfb display of its own when none is set.
#   bench/startup.sh [records] [keys...]     (default: 100000 F3 B K)
# ORX_BUILD_DIR names another build folder (to time another version).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${ORX_BUILD_DIR:-$ROOT/build}"
N="${1:-100000}"
shift || true
KEYS=("$@")
[ ${#KEYS[@]} -gt 0 ] || KEYS=(F3 B K)
source "$ROOT/scripts/common.sh"
PACKAGES=(time)
install_packages
GEN="${ORX_GEN_MODELS:-$ROOT/build/tools/gen-models}"
for f in "$BUILD/bench/orx-startup-bench" "$BUILD/bin/orx-render" "$GEN"; do
  [ -x "$f" ] || { echo "missing $f: build first (./test or cmake --build build)" >&2; exit 1; }
done

WORK="$(mktemp -d /tmp/orx-startup-XXXXXX)"
trap 'rm -rf "$WORK"; [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
start_xvfb_if_needed

# A program folder of its own: the bench program beside the textures, and no
# sample models (so that nothing but the named model is read).
mkdir -p "$WORK/program"
cp "$BUILD/bench/orx-startup-bench" "$WORK/program/"
cp -r "$BUILD/bin/texturen" "$WORK/program/"
"$GEN" bench "$N" 7 "$WORK/m${N}3d.gl" "$WORK/m.obj" >/dev/null

best() { sort -n | head -1; }

startup_runs=() ; model_runs=() ; declare -A key_runs
for run in 1 2 3; do
  rm -rf "$WORK/profile" && mkdir -p "$WORK/profile/runtime" && chmod 700 "$WORK/profile/runtime"
  printf '[LIFE]\nACTUAL=%s\n' "$WORK/m${N}3d.gl" > "$WORK/profile/ORX.INI"
  start=$(date +%s.%N)
  XDG_CONFIG_HOME="$WORK/profile" XDG_RUNTIME_DIR="$WORK/profile/runtime" \
    timeout 300 "$WORK/program/orx-startup-bench" "$start" "${KEYS[@]}" > "$WORK/out" 2>"$WORK/err" || {
      echo "the window run failed:" >&2; cat "$WORK/err" >&2; exit 1; }
  startup_runs+=("$(awk '/^first-frame/ {print $2}' "$WORK/out")")
  model_runs+=("$(awk '/^model-frame/ {print $2}' "$WORK/out")")
  while read -r _ k s; do key_runs[$k]+="$s "; done < <(grep '^key ' "$WORK/out")
done
render=$(for run in 1 2 3; do
  /usr/bin/time -f "%e" -o "$WORK/t" "$BUILD/bin/orx-render" "$WORK/m${N}3d.gl" "$WORK/o.bmp" \
    --mode 4 --texture 1 --size 800x600 >/dev/null 2>&1
  cat "$WORK/t"
done | best)
window=$(printf '%s\n' "${startup_runs[@]}" | best)
model=$(printf '%s\n' "${model_runs[@]}" | best)
echo "records $N"
echo "window start-up to first frame (window on screen): $window s (runs: ${startup_runs[*]})"
echo "window start-up to the model's frame: $model s (runs: ${model_runs[*]})"
echo "orx-render same model, textured: $render s"
awk "BEGIN{printf \"ratio model frame/orx-render: %.2f\n\", $model / $render}"
for k in "${KEYS[@]}"; do
  # shellcheck disable=SC2086
  echo "key $k to next frame: $(printf '%s\n' ${key_runs[$k]} | best) s (runs: ${key_runs[$k]})"
done
