#!/usr/bin/env bash
# Tvnrun's waits under a virtual X server, driven as a desktop and other
# programs drive it:
#   end-<effect|film|sound|nested>-<quit|term|delete>
#       the DDE quit, SIGTERM or the window's close button (WM_DELETE_WINDOW)
#       during a 30 s transition, a 30 s film played with "wait", a 30 s
#       sound played with "wait", or that sound's wait inside a time event's
#       task that runs within the wait of a move, ends the program within its
#       limit, with 0 and no sanitizer report; nothing of the task after the
#       wait runs (no program started, no file written);
#   close-<endless|box|sound|nested>
#       a close of the course during a move that never ends, under a box
#       nobody answers, or during those sound waits is carried out within the
#       limit (an open and a start sent after it wait for it): the wait
#       returns, nothing of the task after it runs, the course does not go on
#       and a later start finds it closed;
#   start-<endless|box>
#       [open(y)][start(y)] under that move or box: y's first task runs within
#       the limit, and the course under the wait goes no further;
#   reopen-endless
#       [close(x)][open(x)][start(x)] under that move leaves x open and playing;
#   answer-sound
#       during the sound's wait the window answers the window manager's ping
#       and the DDE service a request within 200 ms, and a click on the page
#       is handled only after the sound;
#   resize-effect
#       five resizes of the window during the transition, as a learner
#       maximises the window during a wipe: the program goes on without a
#       sanitizer's report, shows the whole page in the resized window once
#       the transition is over (the screenshot is compared with the page drawn
#       as the course gives it) and ends with 0 at the quit.
# Usage: tvnrun_wait_test.sh <Tvnrun> <dde_peer> <x_peer> <case>
set -u

program=$1
peer=$2
xpeer=$3
case=$4
. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb xwininfo xdotool ffmpeg
[ "$case" = resize-effect ] && require_tools xwd convert compare
enter_virtual_display "$0" "$@"

# What the program may take to carry out a close or a start, from the moment
# it was asked: nominally well under a second. Ending the program also takes
# the sanitizers' exit checks, which on a loaded machine took up to 12 s: its
# limit leaves them room and stays far below the 29 s the waits had left.
limit_ms=${TVN_WAIT_LIMIT_MS:-3000}
end_limit_ms=${TVN_END_LIMIT_MS:-18000}
answer_limit_ms=200

use_virtual_display
export SDL_AUDIODRIVER=dummy
work=$(mktemp -d)
pid=
finish() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
use_own_xdg_folders "$work"
fail() {
  echo "FAIL ($case): $*"
  cat "$work/log"
  exit 1
}
now_ms() { date +%s%3N; }
# Waits up to the seconds given for the file; 0 when it came.
wait_for_file() {
  local deadline=$((SECONDS + $2))
  until [ -e "$1" ]; do
    kill -0 "$pid" 2>/dev/null || return 1
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.02
  done
}
# Waits up to 60 s for the program to end; 0 when it did.
wait_for_end() {
  local deadline=$((SECONDS + 60))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.02
  done
}
presentation_window() {
  xwininfo -root -tree 2>/dev/null | grep '"Presentation Window"' | awk '{print $1}' | head -1
}
# The program ended by itself with 0 and without a sanitizer's report.
check_clean_end() {
  wait "$pid"
  local status=$?
  pid=
  grep -q "ERROR: AddressSanitizer\|runtime error:" "$work/log" && fail "a sanitizer reported an error"
  [ "$status" -eq 0 ] || fail "Tvnrun ended with $status"
}
# The other course's first task runs within the limit from the moment the
# commands were sent ($asked).
other_course_starts_in_time() {
  wait_for_file "$work/other.txt" 60 || fail "$1: the other course never started"
  local took=$(($(now_ms) - asked))
  echo "$1: the other course started in $took ms"
  [ "$took" -le "$limit_ms" ] || fail "$1: the other course started after $took ms (limit $limit_ms ms)"
}
# Nothing of the task after its wait ran, nor the task after it.
check_task_stopped() {
  [ -e "$work/started.txt" ] && fail "the task started its program once its wait was ended"
  [ -e "$work/after.txt" ] && fail "the task went on once its wait was ended"
  [ -e "$work/next.txt" ] && fail "the course went on to its next task instead of closing"
  return 0
}
quit_program() {
  "$peer" send 60 "[quit()]" >/dev/null || fail "the runtime did not take the quit"
  wait_for_end || fail "Tvnrun did not end after the quit"
  check_clean_end
}

IFS=- read -r kind loop how <<<"$case"
"$peer" write "$work" || fail "the courses could not be written"
if [ "$loop" = film ]; then
  ffmpeg -v error -f lavfi -i testsrc=size=80x60:rate=10 -f lavfi -i sine=frequency=440:sample_rate=8000 -t 30 \
    -c:v mjpeg -c:a pcm_s16le -ac 1 "$work/film.avi" || fail "ffmpeg made no film"
fi
cd "$work" || exit 1
"$program" "$work/$loop.tvn" >"$work/log" 2>&1 &
pid=$!

case $kind in
  end)
    wait_for_file "$work/inloop.txt" 120 || fail "the course never came to its wait"
    sleep 1  # well inside the wait
    [ -e "$work/after.txt" ] && fail "the wait had ended before the close came"
    # From the moment of asking: a program that cannot take the command until
    # its wait ends answers late.
    asked=$(now_ms)
    case $how in
      quit) "$peer" send 60 "[quit()]" >/dev/null || fail "the runtime did not take the quit" ;;
      term) kill -TERM "$pid" ;;
      delete)
        window=$(presentation_window)
        [ -n "$window" ] || fail "no presentation window"
        "$xpeer" close "$window" || fail "the close request could not be sent"
        ;;
    esac
    wait_for_end || fail "Tvnrun did not end"
    took=$(($(now_ms) - asked))
    echo "the $how during the $loop wait ended the program in $took ms"
    [ "$took" -le "$end_limit_ms" ] || fail "the program took $took ms to end (limit $end_limit_ms ms)"
    check_clean_end
    # A program the task started would have written its file by now.
    sleep 1
    check_task_stopped
    ;;
  close)
    "$peer" send 120 --take "$work/inloop.txt" "[close($work/$loop.tvn)]" "[open($work/other.tvn)]" \
      "[start($work/other.tvn)]" >/dev/null || fail "the runtime did not take the commands"
    asked=$(now_ms)
    # The open and the start wait for the close, which waits for the wait to return.
    other_course_starts_in_time "the close during the $loop wait"
    # The next task would begin 2 s after the wait; a course still open starts again.
    sleep 3
    check_task_stopped
    "$peer" send 60 "[start($work/$loop.tvn)]" >/dev/null || fail "the runtime did not take the start"
    sleep 2
    [ -e "$work/inloop.txt" ] && fail "the course was still open"
    quit_program
    ;;
  start)
    "$peer" send 120 --take "$work/inloop.txt" "[open($work/other.tvn)]" "[start($work/other.tvn)]" >/dev/null ||
      fail "the runtime did not take the commands"
    asked=$(now_ms)
    other_course_starts_in_time "the start under the $loop wait"
    sleep 3
    check_task_stopped
    quit_program
    ;;
  reopen)
    "$peer" send 120 --take "$work/inloop.txt" "[close($work/$loop.tvn)]" "[open($work/$loop.tvn)]" \
      "[start($work/$loop.tvn)]" >/dev/null || fail "the runtime did not take the commands"
    wait_for_file "$work/inloop.txt" 60 || fail "the course did not open and start again after its close"
    echo "the course was closed, opened and started again in the order sent"
    quit_program
    ;;
  answer)
    wait_for_file "$work/inloop.txt" 120 || fail "the course never came to its wait"
    sleep 1
    window=$(presentation_window)
    [ -n "$window" ] || fail "no presentation window"
    ping=$("$xpeer" ping "$window" 5000) || fail "the window did not answer the window manager's ping"
    request=$("$peer" request 60 --after "$work/inloop.txt" size | grep "answered in") || fail "the DDE request failed"
    xdotool mousemove --window "$window" 100 100 click 1 2>/dev/null
    [ -e "$work/after.txt" ] && fail "the sound's wait had ended before the test was done"
    echo "during the sound: the ping was $ping, the DDE request $request"
    for answer in "$ping" "$request"; do
      ms=$(echo "$answer" | awk '{print $3}')
      [ "$ms" -le "$answer_limit_ms" ] || fail "an answer took $ms ms (limit $answer_limit_ms ms)"
    done
    deadline=$((SECONDS + 60))
    until [ -e "$work/after.txt" ]; do
      [ -e "$work/clicked.txt" ] && fail "the click was handled during the sound's wait"
      [ $SECONDS -ge $deadline ] && fail "the sound's wait never ended"
      sleep 0.02
    done
    wait_for_file "$work/clicked.txt" 30 || fail "the click was lost"
    quit_program
    ;;
  resize)
    wait_for_file "$work/inloop.txt" 120 || fail "the course never came to its transition"
    window=$(presentation_window)
    [ -n "$window" ] || fail "no presentation window"
    # Larger, smaller, larger again: the last size is larger than any before,
    # so part of the window was never drawn before it.
    for size in "900 650" "640 480" "1000 700" "520 400" "1010 740"; do
      # shellcheck disable=SC2086
      xdotool windowsize "$window" $size 2>/dev/null || fail "the window could not be resized to $size"
      sleep 0.4
    done
    [ -e "$work/after.txt" ] && fail "the transition was over before the resizes were done"
    wait_for_file "$work/after.txt" 120 || fail "the transition never ended (the program ended or hung)"
    echo "five resizes during the transition, and the program went on"
    # The page at the window's size: the background it shows beside the box
    # (at a point the window always had) and the box at (10,10)-(410,50), red
    # with a black border. The last 20 pixels of each side are left out: the
    # scroll bars of a window smaller than the page are there.
    shot="$work/shot.png"
    expected="$work/expected.png"
    differing=unknown
    deadline=$((SECONDS + 60))
    until [ "$differing" = 0 ]; do
      kill -0 "$pid" 2>/dev/null || fail "Tvnrun ended before the page was seen"
      [ $SECONDS -ge $deadline ] && fail "the page is not shown whole in the resized window ($differing pixels differ)"
      sleep 0.2
      xwd -id "$window" -silent 2>/dev/null | convert xwd:- "$shot" 2>/dev/null || continue
      read -r width height < <(convert "$shot" -format '%w %h' info:)
      page="$((width - 20))x$((height - 20))"
      background=$(convert "$shot" -format '%[pixel:p{480,300}]' info:)
      convert -size "$page" "xc:$background" +antialias -fill 'rgb(200,0,0)' -stroke black -strokewidth 1 \
        -draw 'rectangle 10,10 409,49' "$expected"
      convert "$shot" -crop "$page+0+0" +repage "$shot"
      differing=$(compare -metric AE "$shot" "$expected" null: 2>&1)
    done
    echo "the page is shown whole in the ${width}x${height} window"
    quit_program
    ;;
  *)
    echo "unknown case $case"
    exit 2
    ;;
esac
echo "PASS ($case)"
