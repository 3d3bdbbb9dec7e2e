#!/usr/bin/env bash
# setup's wizard under a virtual X server while it copies a large file from a
# slow medium (the test's stand-in reads 4 MiB a second), after a small one:
#   ping-f3  the copying dialog answers the window manager's ping within
#            200 ms; F3, then Yes to the exit question, stops the copy: the
#            large file's hidden copy is gone and UNINSTAL.INF lists the small
#            file and its folders before "Incomplete Installation!" is
#            answered; setup then ends with 1;
#   term     SIGTERM (a logout) ends setup with 1, nothing hidden left behind
#            and UNINSTAL.INF listing the small file and its folders;
# both without a sanitizer's report.
# Usage: setup_copy_window_test.sh <setup> <x_peer> <case>
set -u

program=$1
xpeer=$2
case=$3
. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb xwininfo xdotool
enter_virtual_display "$0" "$@"

# What setup may take to stop, from the moment it was asked: nominally under
# a second; the sanitizers on a loaded machine are given room, far below the
# large file's sixteen seconds.
limit_ms=${TVN_WAIT_LIMIT_MS:-3000}
ping_limit_ms=200
caption="Slow Demo"

use_virtual_display
use_own_home
mkdir -p "$work/medium"
medium="$work/medium"
cp "$program" "$medium/setup"
printf '[dialog]\ncaption = "%s"\n[data]\ndefdir = "C:\\SLOW"\nuninstall = TRUE\n[default.files]\n1:SMALL.TXT, <defdir>docs\\\n1:BIG.DAT, <defdir>\n1:AFTER.TXT, <defdir>\n' \
  "$caption" >"$medium/INSTALL.INF"
echo small >"$medium/SMALL.TXT"
echo after >"$medium/AFTER.TXT"
head -c $((64 << 20)) /dev/zero >"$medium/BIG.DAT"
product="$HOME/.local/share/tavelon/drive_c/SLOW"
log="$work/setup.out"
(cd "$medium" && TVN_TEST_SOURCE_RATE=$((4 << 20)) exec ./setup) >"$log" 2>&1 &
pid=$!

fail() {
  echo "FAIL ($case): $*"
  cat "$log"
  exit 1
}
now_ms() { date +%s%3N; }

# The id of a shown top-level window of that name narrower than the screen,
# other than the ids given.
find_window() {
  local name=$1
  shift
  xwininfo -root -tree 2>/dev/null | grep "\"$name\"" | while read -r id _ rest; do
    case " $* " in *" $id "*) continue ;; esac
    xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" || continue
    geometry=$(echo "$rest" | grep -o '[0-9]*x[0-9]*+-\?[0-9]*+-\?[0-9]*' | head -1)
    [ "${geometry%%x*}" -lt 1024 ] 2>/dev/null || continue
    echo "$id"
    break
  done
}
wait_window() {
  local deadline=$((SECONDS + 120)) found=""
  while [ -z "$found" ]; do
    kill -0 "$pid" 2>/dev/null || fail "setup ended before a \"$1\" window appeared"
    [ $SECONDS -lt $deadline ] || fail "no \"$1\" window within 120 s"
    found=$(find_window "$@")
    [ -n "$found" ] || sleep 0.1
  done
  echo "$found"
}
# Enter on a window until it goes (a key sent before it took input is sent again).
press_enter() {
  local id=$1 deadline=$((SECONDS + 120))
  while xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable"; do
    kill -0 "$pid" 2>/dev/null || return 0
    [ $SECONDS -lt $deadline ] || fail "Enter did not close window $id"
    xdotool mousemove --window "$id" 20 20 key Return 2>/dev/null
    sleep 0.5
  done
}
# The hidden copies in the install folder (a glob: the polls below stay cheap).
shopt -s nullglob
staged() {
  local copies=("$product"/.~*)
  echo ${#copies[@]}
}
# UNINSTAL.INF names the small file and the folders setup made, and not the large file.
check_uninstall_log() {
  local inf="$product/UNINSTAL.INF"
  grep -q "^\"$product/docs/SMALL.TXT\"" "$inf" 2>/dev/null || return 1
  grep -q "^\[created.directories\]" "$inf" || return 1
  grep -q "^\"$product/docs\"" "$inf" || return 1
  ! grep -q "BIG.DAT\|AFTER.TXT" "$inf"
}
# From the moment asked: the large file's hidden copy goes within the limit,
# then UNINSTAL.INF is complete.
wait_for_stop() {
  until [ "$(staged)" = 0 ]; do
    [ $(($(now_ms) - asked)) -le 60000 ] || fail "the copy did not stop after $1"
    sleep 0.01
  done
  local took=$(($(now_ms) - asked))
  echo "$1 stopped the copy in $took ms"
  [ "$took" -le "$limit_ms" ] || fail "the copy took $took ms to stop (limit $limit_ms ms)"
  local deadline=$((SECONDS + 60))
  until check_uninstall_log; do
    [ $SECONDS -lt $deadline ] || fail "UNINSTAL.INF is not complete: $(cat "$product/UNINSTAL.INF")"
    sleep 0.02
  done
}
# Waits up to 60 s for setup to end, with no sanitizer report; its exit status in status.
wait_for_end() {
  local deadline=$((SECONDS + 60))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && fail "setup did not end"
    sleep 0.02
  done
  wait "$pid"
  status=$?
  pid=
  grep -q "ERROR: AddressSanitizer\|runtime error:" "$log" && fail "a sanitizer reported an error"
}

startup=$(wait_window "$caption")
press_enter "$startup"
directory=$(wait_window "$caption" "$startup")
press_enter "$directory"
deadline=$((SECONDS + 120))
until [ -n "$(echo "$product"/.~BIG.DAT.*)" ]; do
  kill -0 "$pid" 2>/dev/null || fail "setup ended before it copied the large file"
  [ $SECONDS -lt $deadline ] || fail "the large file's copy did not begin"
  sleep 0.02
done
sleep 1  # well inside the large file
copying=$(wait_window "$caption")

case $case in
  ping-f3)
    answer=$("$xpeer" ping "$copying" 5000) || fail "the copying dialog did not answer the window manager's ping"
    echo "during the copy the ping was $answer"
    ms=$(echo "$answer" | awk '{print $3}')
    [ "$ms" -le "$ping_limit_ms" ] || fail "the ping took $ms ms (limit $ping_limit_ms ms)"
    xdotool mousemove --window "$copying" 20 20 key F3 2>/dev/null
    question=$(wait_window "$caption" "$copying")
    [ "$(staged)" -ge 1 ] || fail "the copy did not wait for the exit question"
    asked=$(now_ms)
    xdotool mousemove --window "$question" 20 20 key Return 2>/dev/null
    # The copy stops and its hidden copy goes; the log is complete while "Incomplete Installation!" waits.
    wait_for_stop "F3 and Yes"
    [ -e "$product/BIG.DAT" ] && fail "the large file was installed"
    incomplete=$(wait_window "$caption" "$copying" "$question")
    press_enter "$incomplete"
    wait_for_end
    ;;
  term)
    asked=$(now_ms)
    kill -TERM "$pid"
    wait_for_stop SIGTERM
    # The program's end comes after the sanitizers' exit checks.
    wait_for_end
    echo "and setup ended after $(($(now_ms) - asked)) ms"
    [ "$(staged)" = 0 ] || fail "a hidden copy was left: $(ls -A "$product")"
    ;;
  *)
    echo "unknown case $case"
    exit 2
    ;;
esac
[ "$status" = 1 ] || fail "setup ended with $status, not 1 (an incomplete installation)"
echo "PASS ($case)"
