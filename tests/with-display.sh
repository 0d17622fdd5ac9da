#!/usr/bin/env bash
# Runs a command with an X display: the caller's if it has one, otherwise a
# private Xvfb server that lives exactly as long as the command.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
fifo=$(mktemp -u)
mkfifo "$fifo"
# -noreset: by default the server resets whenever its last client leaves, and
# a test process connecting during the reset fails to open the display.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"
rm -f "$fifo"
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=":$number"
"$@"
