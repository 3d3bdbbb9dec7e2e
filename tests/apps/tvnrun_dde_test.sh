#!/usr/bin/env bash
# Starts Tvnrun on a course that waits for a key under a virtual X server; a
# peer program opens a second course and quits the runtime through its DDE
# service, and the runtime must end by itself with exit code 0.
# Usage: tvnrun_dde_test.sh <Tvnrun> <dde_peer>
set -u

program=$1
peer=$2
. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb
enter_virtual_display "$0" "$@"

use_virtual_display
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
use_own_xdg_folders "$work"
"$peer" write "$work" || { echo "FAIL: the courses could not be written"; exit 1; }

"$program" "$work/first.tvn" >"$work/log" 2>&1 &
pid=$!
if ! "$peer" send 120 "[open($work/second.tvn)]" "[quit()]"; then
  echo "FAIL: the runtime did not take the commands"; kill "$pid"; cat "$work/log"; exit 1
fi

deadline=$((SECONDS + 120))
while kill -0 "$pid" 2>/dev/null; do
  if [ $SECONDS -ge $deadline ]; then
    echo "FAIL: Tvnrun did not quit"; kill "$pid"; cat "$work/log"; exit 1
  fi
  sleep 0.2
done
wait "$pid"
status=$?
if [ "$status" -ne 0 ]; then
  echo "FAIL: Tvnrun ended with $status"; cat "$work/log"; exit 1
fi
echo "Tvnrun opened the course and quit on request"
