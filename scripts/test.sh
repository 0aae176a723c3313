#!/usr/bin/env bash
# Installs what is missing, builds, starts the test peers and runs every test.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${RELAYBIRD_BUILD_DIR:-$top/build}"

bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh"

# PostgreSQL with the test database, reached through a private ODBC
# configuration written into the build tree. A server this script started is
# stopped again when it ends.
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
if ! "${as_root[@]}" pg_ctlcluster 15 main status >/dev/null 2>&1; then
  trap '"${as_root[@]}" pg_ctlcluster 15 main stop || true' EXIT
fi
bash "$top/scripts/postgres.sh" "$build"
export ODBCSYSINI="$build/odbc"
export ODBCINI="$build/odbc/odbc.ini"

ctest --test-dir "$build" --output-on-failure -j2
