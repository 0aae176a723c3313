#!/usr/bin/env bash
# Runs a program on a private X server with a notification-area host:
# with_tray_host.sh PROGRAM [ARGS...]
set -euo pipefail
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $tray $xvfb 2>/dev/null || true; wait 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge bottom --align right --widthtype pixel --width 200 --height 24 >/dev/null 2>&1 &
tray=$!
sleep 1
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$(mktemp -d)" "$@"
