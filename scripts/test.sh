#!/usr/bin/env bash
# Installs what is missing, builds, starts the test peers and runs every test.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${RELAYBIRD_BUILD_DIR:-$top/build}"

bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh"

ctest --test-dir "$build" --output-on-failure -j2
