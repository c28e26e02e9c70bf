#!/usr/bin/env bash
# Runs a command with an X display: the current one when it answers, else a
# private Xvfb (GLX, 24-bit) started for the command and stopped after it.
set -euo pipefail

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi

# Xvfb picks a free display number itself and writes it to the file: checking
# /tmp/.X11-unix is not enough (another server, in a chroot or started at the
# same moment, may hold the number through its abstract socket).
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 +extension GLX -nolisten tcp \
     3>"$tmp/display" >"$tmp/log" 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; wait $xvfb_pid 2>/dev/null || true; rm -rf "$tmp"' EXIT
for _ in $(seq 1 200); do
  [ -s "$tmp/display" ] && break
  kill -0 $xvfb_pid 2>/dev/null || { cat "$tmp/log" >&2; echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$tmp/display" ] || { cat "$tmp/log" >&2; echo "Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"
for _ in $(seq 1 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
export QUILLMAR_HEADLESS=1
"$@"
