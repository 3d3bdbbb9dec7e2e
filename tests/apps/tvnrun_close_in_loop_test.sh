#!/usr/bin/env bash
# A close of the course or the program's end that comes through the DDE
# service while one of the course's own loops runs inside a task step (the
# wait of a move, a transition, the pump at a task's end) ends that loop,
# waits until it has returned and is then carried out once: no use of freed
# memory, nothing of the task after the loop runs, the course does not go on
# to its next task, and the program ends with 0.
# Usage: tvnrun_close_in_loop_test.sh <Tvnrun> <dde_peer> <move|effect|finish> <close|quit>
set -u

program=$1
peer=$2
course=$3
command=$4
work=$(mktemp -d)
pid=
finish() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "FAIL ($course, $command): $*"
  cat "$work/log"
  exit 1
}

mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"
"$peer" write "$work" || { echo "FAIL: the courses could not be written"; exit 1; }
cd "$work" || exit 1

"$program" "$work/$course.tvn" >"$work/log" 2>&1 &
pid=$!
# After a close another course is opened and started: those commands keep
# their order, so it starts once the close has been carried out.
case $command in
  close) words=("[close($work/$course.tvn)]" "[open($work/other.tvn)]" "[start($work/other.tvn)]") ;;
  quit) words=("[quit()]") ;;
esac
# The peer's command is acknowledged when the runtime takes it from its queue,
# which only the loop does while it runs.
said=$("$peer" send 120 --after "$work/inloop.txt" "${words[@]}") || fail "the runtime did not take the command"
if [ "$course" = finish ]; then
  # The step that waits pumps nothing: the conversation must be open before.
  [ "$said" = "connected before $work/inloop.txt" ] || fail "the peer connected too late ($said)"
fi

# Waits up to 120 s for the program to end; 0 when it did.
wait_for_end() {
  local deadline=$((SECONDS + 120))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
  return 0
}

if [ "$command" = close ]; then
  deadline=$((SECONDS + 120))
  until [ -e "$work/other.txt" ]; do
    kill -0 "$pid" 2>/dev/null || fail "Tvnrun ended under the loop"
    [ $SECONDS -ge $deadline ] && fail "the close was never carried out"
    sleep 0.2
  done
  # The loop lasts 30 s; the close ended it long before.
  lasted=$(($(stat -c %Y "$work/other.txt") - $(stat -c %Y "$work/inloop.txt")))
  [ "$lasted" -lt 10 ] || fail "the loop ran its $lasted s instead of ending at the close"
  # The next task would begin 2 s after the loop (at once after the task's end).
  sleep 4
  kill -0 "$pid" 2>/dev/null || fail "Tvnrun ended when the course closed"
  [ -e "$work/after.txt" ] && fail "the task went on after its loop was ended"
  [ -e "$work/next.txt" ] && fail "the course went on to its next task instead of closing"
  "$peer" send 60 "[quit()]" >/dev/null || fail "the runtime did not take the quit"
fi
wait_for_end || fail "Tvnrun did not end"
wait "$pid"
status=$?
pid=
grep -q "ERROR: AddressSanitizer" "$work/log" && fail "AddressSanitizer reported an error"
[ "$status" -eq 0 ] || fail "Tvnrun ended with $status"
echo "the $command during the $course loop waited for the loop and was carried out"
