#!/usr/bin/env bash
# Renders every reference picture again and stores it as the new baseline, after a
# change that is meant to alter the pictures. Review the changed files with
# `git status tests/baselines` and look at each before committing it.
#   tests/baselines/regenerate.sh [BUILD_DIR]     (default: build)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${1:-$ROOT/build}"
cmake --build "$BUILD" -j2
ORX_UPDATE_BASELINES=1 ctest --test-dir "$BUILD" -L picture -j2 --output-on-failure
