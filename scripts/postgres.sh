#!/usr/bin/env bash
# Starts the PostgreSQL cluster, (re)loads the test database from
# tests/fixtures and writes the private ODBC configuration of the tests into
# <build dir>/odbc. Usage: postgres.sh [build dir]
# The tests then need ODBCSYSINI=<build dir>/odbc and
# ODBCINI=<build dir>/odbc/odbc.ini; nothing global is changed.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${RELAYBIRD_BUILD_DIR:-$top/build}}"
fixtures="$top/tests/fixtures"

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

"${as_root[@]}" pg_ctlcluster 15 main status >/dev/null 2>&1 || "${as_root[@]}" pg_ctlcluster 15 main start
pg_isready -h 127.0.0.1 -t 30

# The server's account may not be able to read the source tree: psql reads
# the fixture from its standard input.
"${as_root[@]}" runuser -u postgres -- psql -X -q -v ON_ERROR_STOP=1 -f - <"$fixtures/kobaltix5.sql"

mkdir -p "$build/odbc"
sed "s|@FIXTURES_DIR@|$fixtures|g" "$fixtures/odbcinst.ini.in" >"$build/odbc/odbcinst.ini"
cp "$fixtures/odbc.ini.in" "$build/odbc/odbc.ini"
