#!/usr/bin/env bash
# Builds everything and runs every test; the output of failed tests is printed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TERVEX_BUILD_DIR:-$here/build}"

bash "$here/scripts/build.sh" "$@"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 300
