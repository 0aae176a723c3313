#!/usr/bin/env bash
# A private PostgreSQL cluster for the tests and the demo, kept in
# <build dir>/pg (its own data and socket folders, its own port), loaded with
# the test database from tests/fixtures, and the private ODBC configuration
# that reaches it, written into <build dir>/odbc. Nothing global changes.
#
# Usage: postgres.sh start [build dir]   start (or keep) the cluster, reload
#                                         the fixture, write the ODBC files
#        postgres.sh stop [build dir]    stop the cluster
# The port is RELAYBIRD_PG_PORT (default 55432). Clients then need
# ODBCSYSINI=<build dir>/odbc and ODBCINI=<build dir>/odbc/odbc.ini.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
action="${1:-start}"
build="${2:-${RELAYBIRD_BUILD_DIR:-$top/build}}"
build="$(mkdir -p "$build" && cd "$build" && pwd)"
port="${RELAYBIRD_PG_PORT:-55432}"
fixtures="$top/tests/fixtures"
bin=/usr/lib/postgresql/15/bin
pg="$build/pg"

# The server refuses to run as root: as root it runs as the postgres account.
as_pg=()
if [ "$(id -u)" -eq 0 ]; then as_pg=(runuser -u postgres --); fi

pg_ctl() { "${as_pg[@]}" "$bin/pg_ctl" -D "$pg/data" "$@"; }

case "$action" in
stop)
  if [ -f "$pg/data/postmaster.pid" ]; then pg_ctl stop -m fast -w >/dev/null; fi
  exit 0
  ;;
start) ;;
*) echo "usage: $0 start|stop [build dir]" >&2; exit 2 ;;
esac

mkdir -p "$pg/run"
if [ ! -f "$pg/data/PG_VERSION" ]; then
  rm -rf "$pg/data"
  mkdir -p "$pg/data"
  [ ${#as_pg[@]} -eq 0 ] || chown -R postgres: "$pg"
  # Local socket logins are trusted (the superuser loads the fixture);
  # TCP logins need their password, as the tests of wrong passwords expect.
  "${as_pg[@]}" "$bin/initdb" -D "$pg/data" -U postgres -E UTF8 --locale=C.UTF-8 \
    --auth-local=trust --auth-host=scram-sha-256 >"$pg/initdb.log"
fi
[ ${#as_pg[@]} -eq 0 ] || chown -R postgres: "$pg"
if ! pg_ctl status >/dev/null 2>&1; then
  pg_ctl -l "$pg/server.log" -w -t 60 \
    -o "-p $port -k $pg/run -c listen_addresses=127.0.0.1" start >/dev/null
fi
"$bin/pg_isready" -h 127.0.0.1 -p "$port" -t 30 >/dev/null

# The server's account may not be able to read the source tree: psql reads
# the fixture from its standard input.
"${as_pg[@]}" "$bin/psql" -X -q -h "$pg/run" -p "$port" -U postgres -d postgres \
  -v ON_ERROR_STOP=1 -f - <"$fixtures/kobaltix5.sql"
# Databases of the variant whose preparation marks nothing: one shared by the
# tests of retries, one each for the service's intake tests, its
# whole-process test, the service benchmark, the whole chain with the
# e-mail module and the installation configured through the window, which
# change their rows. The chain's also records delivery outcomes.
load() {
  "${as_pg[@]}" "$bin/psql" -X -q -h "$pg/run" -p "$port" -U postgres -d postgres \
    -v ON_ERROR_STOP=1 -v db="$1" -f - <"$fixtures/$2"
}
for db in kobaltix5_retry kobaltix5_intake kobaltix5_process kobaltix5_bench kobaltix5_chain kobaltix5_config; do
  load "$db" kobaltix5_retry.sql
done
load kobaltix5_chain kobaltix5_outcome.sql
# The connection editor takes the schema from the user, so the installation
# configured through the window logs in as a user named like its schema.
"${as_pg[@]}" "$bin/psql" -X -q -h "$pg/run" -p "$port" -U postgres -d postgres -v ON_ERROR_STOP=1 <<'SQL'
SELECT 'CREATE ROLE kobaltix5_config LOGIN'
WHERE NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kobaltix5_config')\gexec
ALTER ROLE kobaltix5_config LOGIN PASSWORD 'ZRPWKLQDVXB7';
GRANT kobaltix5 TO kobaltix5_config;
SQL

mkdir -p "$build/odbc"
sed "s|@FIXTURES_DIR@|$fixtures|g" "$fixtures/odbcinst.ini.in" >"$build/odbc/odbcinst.ini"
sed "s|@PG_PORT@|$port|g" "$fixtures/odbc.ini.in" >"$build/odbc/odbc.ini"
