#!/usr/bin/env bash
# Starts Tvnrun on the demo course under a virtual X server, checks that the
# presentation window appears, presses keys (the welcome page ends with its
# narration, the name page goes on with Enter, the questions end on their
# timers, the result and rich-text pages on any key, the film page by itself), checks that the program
# ends by itself with exit code 0 and that SDL's disk driver received the
# narration.
# Usage: tvnrun_window_test.sh <Tvnrun> <course file>
set -u

program=$1
course=$2
for tool in Xvfb xwininfo xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (scripts/bootstrap installs it)"
    exit 77
  fi
done

if [ -z "${TVN_INSIDE_XVFB:-}" ]; then
  export TVN_INSIDE_XVFB=1
  exec "$(dirname "$0")/in_virtual_display.sh" "$0" "$@"
fi

unset QT_QPA_PLATFORM
# Under the sanitizers: the session bus library's own allocations are not ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"
log=$(mktemp)
audio=$(mktemp)
trap 'rm -f "$log" "$audio"' EXIT
# The sound goes to a file: the narration must be in it.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" SDL_DISKAUDIODELAY=10
"$program" "$course" >"$log" 2>&1 &
pid=$!

# Generous deadlines: a loaded machine may take long to start a Qt program.
deadline=$((SECONDS + 120))
window=""
while [ -z "$window" ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: Tvnrun ended before its window appeared"; cat "$log"; exit 1
  fi
  if [ $SECONDS -ge $deadline ]; then
    echo "FAIL: no presentation window within 120 s"; kill "$pid"; cat "$log"; exit 1
  fi
  window=$(xwininfo -root -tree 2>/dev/null | grep '"Presentation Window"' | awk '{print $1}' | head -1)
  # A window is listed as soon as it exists; wait until it is mapped too.
  if [ -n "$window" ] && ! xwininfo -id "$window" 2>/dev/null | grep -q "Map State: IsViewable"; then
    window=""
  fi
  [ -n "$window" ] || sleep 0.2
done
echo "window $window appeared and is shown"

# The question's timer and then any key finish the waiting tasks; the rest of the course runs through and
# the program ends. A key sent before the window took input is sent again.
deadline=$((SECONDS + 120))
while kill -0 "$pid" 2>/dev/null; do
  if [ $SECONDS -ge $deadline ]; then
    echo "FAIL: Tvnrun did not end at the end of the course"; kill "$pid"; cat "$log"; exit 1
  fi
  xdotool mousemove --window "$window" 50 50 key Return space 2>/dev/null
  for _ in $(seq 1 10); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
done
wait "$pid"
status=$?
if [ $status -ne 0 ]; then
  echo "FAIL: Tvnrun exited with $status"; cat "$log"; exit 1
fi
echo "Tvnrun ended cleanly"
# Silence is all zero bytes; the narration is not.
sounding=$(tr -d '\000' <"$audio" | head -c 4096 | wc -c)
if [ "$sounding" -eq 0 ]; then
  echo "FAIL: nothing was played (the disk driver's file holds only silence)"; exit 1
fi
echo "the narration was played"
