#!/usr/bin/env bash
# The end of the session (SIGTERM) while uninstal asks its question and while
# autorun shows a message, under a virtual X server: each program ends by
# itself within the limit, with 0 and no sanitizer report, and uninstal has
# removed nothing.
# Usage: setup_tools_session_end_test.sh <uninstal> <autorun>
set -u

uninstal=$1
autorun=$2
. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb xwininfo
enter_virtual_display "$0" "$@"

# Nominally well under a second; the sanitizers' exit checks on a loaded machine are given room.
limit_ms=${TVN_WAIT_LIMIT_MS:-8000}

use_virtual_display
use_own_home
product="$HOME/.local/share/tavelon/drive_c/KEPT"
mkdir -p "$product" "$work/cd"
echo kept >"$product/KEPT.TXT"
printf '[dialog]\r\n\tcaption = "Kept Demo"\r\n\ttext1 = "Removes it."\r\n\r\n[default.files]\r\n"%s/KEPT.TXT"\r\n\r\n[default.directory]\r\n"%s"\r\n' \
  "$product" "$product" >"$product/UNINSTAL.INF"
log="$work/out"

fail() {
  echo "FAIL: $*"
  cat "$log"
  exit 1
}
now_ms() { date +%s%3N; }
# Starts the program, waits for its window of that name, sends SIGTERM and waits for the end.
end_at_window() {
  local name=$1 deadline=$((SECONDS + 120))
  shift
  "$@" >"$log" 2>&1 &
  pid=$!
  until xwininfo -root -tree 2>/dev/null | grep -q "\"$name\""; do
    kill -0 "$pid" 2>/dev/null || fail "$1 ended before its \"$name\" window"
    [ $SECONDS -lt $deadline ] || fail "no \"$name\" window within 120 s"
    sleep 0.1
  done
  sleep 1  # the window takes its input
  local asked
  asked=$(now_ms)
  kill -TERM "$pid"
  deadline=$((SECONDS + 60))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "$1 did not end after SIGTERM"
    sleep 0.02
  done
  wait "$pid"
  local status=$?
  pid=
  local took=$(($(now_ms) - asked))
  echo "SIGTERM ended $(basename "$1") in $took ms with $status"
  [ "$status" = 0 ] || fail "$1 ended with $status"
  [ "$took" -le "$limit_ms" ] || fail "$1 took $took ms (limit $limit_ms ms)"
  grep -q "ERROR: AddressSanitizer\|runtime error:" "$log" && fail "a sanitizer reported an error"
  return 0
}

end_at_window "Kept Demo" "$uninstal" "$product/UNINSTAL.INF"
[ -e "$product/KEPT.TXT" ] || fail "uninstal removed a file after the session ended"
# autorun on a CD without its INSTALL.INF: the message that says so.
cp "$autorun" "$work/cd/autorun"
end_at_window "Tavelon Autorun" "$work/cd/autorun"
echo "PASS"
