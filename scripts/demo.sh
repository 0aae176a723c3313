#!/usr/bin/env bash
# The demo: notices kept in a database delivered as real e-mail.
#
# Installs what is missing, builds, and then, all in <build dir>/demo:
# starts a private PostgreSQL cluster (its own data and socket folders, its
# own port) with a database of demo notices, and a local SMTP server on
# loopback that keeps what it receives; writes Relaybird.ini beside the built
# program (one connection, the e-mail module on, a period of one second) and
# runs the program in the service role until every notice has its outcome or
# RELAYBIRD_DEMO_SECONDS (default 120) pass; stops it as a service manager
# would (SIGTERM) and prints what happened. Everything it started is stopped
# again when it ends; it can be run again at will.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${RELAYBIRD_BUILD_DIR:-$top/build}"
demo="$build/demo"
limit="${RELAYBIRD_DEMO_SECONDS:-120}"
database=relaybird_demo
bin=/usr/lib/postgresql/15/bin

bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh"

free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
pg_port="${RELAYBIRD_DEMO_PG_PORT:-$(free_port)}"
smtp_port="$(free_port)"

service_pid=""
smtp_pid=""
stop_all() {
  if [ -n "$service_pid" ]; then kill -TERM "$service_pid" 2>/dev/null || true; wait "$service_pid" 2>/dev/null || true; fi
  if [ -n "$smtp_pid" ]; then kill -TERM "$smtp_pid" 2>/dev/null || true; wait "$smtp_pid" 2>/dev/null || true; fi
  RELAYBIRD_PG_PORT="$pg_port" bash "$top/scripts/postgres.sh" stop "$demo" || true
}
trap stop_all EXIT
trap 'exit 130' INT TERM

echo "== Starting the demo's PostgreSQL cluster on port $pg_port ($demo/pg)"
rm -rf "$demo/mail" "$demo/log" "$demo/temp"
mkdir -p "$demo/mail" "$demo/log" "$demo/temp"
RELAYBIRD_PG_PORT="$pg_port" bash "$top/scripts/postgres.sh" start "$demo"
as_pg=()
if [ "$(id -u)" -eq 0 ]; then as_pg=(runuser -u postgres --); fi
psql_admin() {
  "${as_pg[@]}" "$bin/psql" -X -q -h "$demo/pg/run" -p "$pg_port" -U postgres -v ON_ERROR_STOP=1 "$@"
}
for script in tests/fixtures/kobaltix5_retry.sql tests/fixtures/kobaltix5_outcome.sql scripts/demo/notices.sql; do
  psql_admin -d postgres -v db="$database" -f - <"$top/$script"
done
query() { psql_admin -d "$database" -A -t -c "set search_path = $database" -c "$1"; }
notices="$(query "select (select count(*) from ecfil083) + (select count(*) from qx_notice_emitent)
                         + (select count(*) from qx_mngr_notification)")"
cat >>"$demo/odbc/odbc.ini" <<INI

[RELAYBIRD_DEMO]
Description = The demo's notices
Driver = PostgreSQL Unicode
Servername = 127.0.0.1
Port = $pg_port
Database = $database
INI
export ODBCSYSINI="$demo/odbc" ODBCINI="$demo/odbc/odbc.ini"

echo "== Starting the SMTP server on 127.0.0.1:$smtp_port (keeps what it receives in $demo/mail)"
PYTHONPATH="$top/tests/protocols" /usr/bin/python3 -m aiosmtpd -n -l "127.0.0.1:$smtp_port" \
  -c smtp_keeper.Keeper "$demo/mail" >"$demo/smtp.log" 2>&1 &
smtp_pid=$!
for _ in $(seq 100); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$smtp_port") 2>/dev/null; then break; fi
  sleep 0.1
done

# The connection's password in the settings file is scrambled; this is the
# settings file's scrambling (core/scrambler.cpp) of the database password.
scrambled="$(/usr/bin/python3 -c '
import sys
key = b"wqplmzkxhrgjsuvnoycbkhoyifxqwlmp"
print("".join("%02X" % (b ^ key[i % len(key)]) for i, b in enumerate(sys.argv[1].encode("cp1251"))))
' ZRPWKLQDVXB7)"
settings="$build/bin/Relaybird.ini"
cat >"$settings" <<INI
[Service]
AccessLogPath=$demo/log
TempDir=$demo/temp
TimeoutDelay=0
TimeoutConnect=1
TimeoutReconnect=1
[Connection]
Item_0=0#RELAYBIRD_DEMO#kobaltix5#$scrambled#$database
[Protocols]
MAIL=1
[MAIL]
SmtpHost=127.0.0.1
SmtpPort=$smtp_port
SmtpSecurity=0
SenderAddress=notify@orvanta.example
SenderName=Служба уведомлений Орванта
Period=1
PeriodType=0
Logging=1
ResultStatement=select orvanta5_bd.record_outcome(:ID, :ID_TYPE, :OUTCOME, :ERROR_TEXT)
INI

echo "== Running the service ($build/bin/relaybird, RELAYBIRD_FOREGROUND=1) for $notices notices"
started=$SECONDS
RELAYBIRD_FOREGROUND=1 "$build/bin/relaybird" >"$demo/service.out" 2>&1 &
service_pid=$!
shown=-1
while [ $((SECONDS - started)) -lt "$limit" ] && kill -0 "$service_pid" 2>/dev/null; do
  settled="$(query "select count(distinct id) from notice_outcome")"
  if [ "$settled" != "$shown" ]; then
    echo "   $settled of $notices notices delivered or given up after $((SECONDS - started)) s"
    shown=$settled
  fi
  [ "$settled" -lt "$notices" ] || break
  sleep 1
done
kill -TERM "$service_pid"
status=0
wait "$service_pid" || status=$?
service_pid=""
echo "== The service stopped on SIGTERM (exit status $status)"

query "select id, id_type, outcome, coalesce(error_text, '') from notice_outcome order by recorded_at" |
  /usr/bin/python3 "$top/scripts/demo/report.py" "$demo/mail" "$demo/log" "$settings" "$((SECONDS - started))"
