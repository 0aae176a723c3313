#!/usr/bin/env bash
# Installs what is missing, builds, starts the test peers and runs every test.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${RELAYBIRD_BUILD_DIR:-$top/build}"

bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh"

# A private PostgreSQL cluster with the test database, reached through a
# private ODBC configuration written into the build tree; stopped again when
# the run ends.
trap 'bash "$top/scripts/postgres.sh" stop "$build" || true' EXIT
bash "$top/scripts/postgres.sh" start "$build"
export ODBCSYSINI="$build/odbc"
export ODBCINI="$build/odbc/odbc.ini"

ctest --test-dir "$build" --output-on-failure -j2
