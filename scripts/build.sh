#!/usr/bin/env bash
# Configures and builds the tree in build/ (or $RELAYBIRD_BUILD_DIR).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${RELAYBIRD_BUILD_DIR:-$top/build}"
cmake -S "$top" -B "$build" -G Ninja ${RELAYBIRD_CMAKE_ARGS:-}
cmake --build "$build"
