#!/usr/bin/env bash
# Starts Tvnrun on the demo course under a virtual X server and ends the
# session under it, once with SIGTERM and once with SIGHUP: each time the
# runtime must close as when its main frame closes, with exit code 0, and
# take its DDE socket with it.
# Usage: tvnrun_session_end_test.sh <Tvnrun> <demo course>
set -u

program=$1
course=$2
. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb
enter_virtual_display "$0" "$@"

use_virtual_display
export SDL_AUDIODRIVER=dummy
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
use_own_xdg_folders "$work"
sockets="$work/runtime/tavelon-dde"

# The sockets of the process: their names carry its pid.
sockets_of() { find "$sockets" -maxdepth 1 -name "*$1-*" 2>/dev/null; }

for signal in TERM HUP; do
  "$program" "$course" >"$work/log" 2>&1 &
  pid=$!
  # Start-up on a busy machine may take long: the socket says it is running.
  deadline=$((SECONDS + 120))
  until [ -n "$(sockets_of "$pid")" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "FAIL: Tvnrun ended before SIG$signal"; cat "$work/log"; exit 1
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "FAIL: Tvnrun did not offer its DDE service"; kill -KILL "$pid"; cat "$work/log"; exit 1
    fi
    sleep 0.2
  done
  kill "-$signal" "$pid"
  deadline=$((SECONDS + 10))
  while kill -0 "$pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      echo "FAIL: Tvnrun did not end within 10 s of SIG$signal"; kill -KILL "$pid"; cat "$work/log"; exit 1
    fi
    sleep 0.1
  done
  wait "$pid"
  status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAIL: Tvnrun ended with $status on SIG$signal"; cat "$work/log"; exit 1
  fi
  if [ -n "$(sockets_of "$pid")" ]; then
    echo "FAIL: the DDE socket stayed after SIG$signal: $(sockets_of "$pid")"; exit 1
  fi
  echo "SIG$signal ended Tvnrun with status 0"
done
