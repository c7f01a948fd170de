#!/usr/bin/env bash
# Installs what is missing, configures and builds with every core.
# Build folder: $TERVEX_BUILD_DIR, default build/ in the source tree. Extra arguments go to cmake.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TERVEX_BUILD_DIR:-$here/build}"

bash "$here/scripts/install-deps.sh"

generator=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$build/Makefile" ]; then
  generator=(-G Ninja)
fi
cmake -S "$here" -B "$build" "${generator[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
