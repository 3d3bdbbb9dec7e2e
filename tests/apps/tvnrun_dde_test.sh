#!/usr/bin/env bash
# Starts Tvnrun on a course that waits for a key under a virtual X server; a
# peer program opens a second course and quits the runtime through its DDE
# service, and the runtime must end by itself with exit code 0.
# Usage: tvnrun_dde_test.sh <Tvnrun> <dde_peer>
set -u

program=$1
peer=$2
if ! command -v Xvfb >/dev/null; then
  echo "SKIP: Xvfb is missing (scripts/bootstrap installs it)"
  exit 77
fi
if [ -z "${TVN_INSIDE_XVFB:-}" ]; then
  export TVN_INSIDE_XVFB=1
  exec "$(dirname "$0")/in_virtual_display.sh" "$0" "$@"
fi

unset QT_QPA_PLATFORM
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A runtime folder, settings and data of this test's own.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
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
