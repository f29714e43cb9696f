#!/usr/bin/env bash
# Checks that every C++ file follows .clang-format and that clang-tidy (.clang-tidy)
# finds nothing in the program's own sources. With --fix it reformats instead.
# clang-tidy reads the compile commands of the build folder (build/, or ORX_BUILD_DIR).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
mapfile -t FILES < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${FILES[@]}"
  exit 0
fi
echo "clang-format: ${#FILES[@]} files"
clang-format --dry-run --Werror "${FILES[@]}"
BUILD="${ORX_BUILD_DIR:-$ROOT/build}"
[ -f "$BUILD/compile_commands.json" ] || { echo "no $BUILD/compile_commands.json: build first" >&2; exit 1; }
echo "clang-tidy: src/, tools/, tests/support/"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy -p "$BUILD" -j "$(nproc)" -quiet "$ROOT/(src|tools|tests/support)/" >"$log" 2>&1 ||
   grep -qE '(warning|error):' "$log"; then
  grep -E '(warning|error):' "$log" | sort -u >&2 || tail -20 "$log" >&2
  echo "clang-tidy found the above" >&2
  exit 1
fi
echo "clang-tidy: clean"
