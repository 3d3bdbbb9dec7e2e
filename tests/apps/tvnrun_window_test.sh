#!/usr/bin/env bash
# Starts Tvnrun on the demo course under a virtual X server, checks that the
# presentation window appears, presses keys and clicks (the welcome page ends
# with its narration, the name page goes on with Enter, the questions end on
# their timers, the result and rich-text pages on any key, the film page by
# itself, the two notes pages with a click on Done), checks that the program
# ends by itself with exit code 0 and that SDL's disk driver received the
# narration. With TVN_CHECK_WELCOME_PICTURE set, a screenshot of the welcome
# page must show the demo's picture (its gradient) where the course puts it;
# the sound is then paced slower, so the narrated page stays up for seconds.
# Usage: tvnrun_window_test.sh <Tvnrun> <course file>
set -u

program=$1
course=$2
tools="Xvfb xwininfo xdotool"
[ -n "${TVN_CHECK_WELCOME_PICTURE:-}" ] && tools="$tools xwd od"
. "$(dirname "$0")/xvfb_session.sh"
require_tools $tools
enter_virtual_display "$0" "$@"

use_virtual_display
log=$(mktemp)
audio=$(mktemp)
shot=$(mktemp)
trap 'rm -f "$log" "$audio" "$shot"' EXIT
# The sound goes to a file: the narration must be in it. Each buffer of 1024
# samples (23 ms) waits the delay; 100 ms keeps the narrated page up for about
# nine seconds.
delay=10
[ -n "${TVN_CHECK_WELCOME_PICTURE:-}" ] && delay=100
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" SDL_DISKAUDIODELAY=$delay
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

# The red, green and blue of a pixel of an XWD screenshot (32 bits a pixel).
pixel() {
  local file=$1 x=$2 y=$3
  read -r header _ _ _ _ _ _ order _ _ _ bpp line _ _ _ _ _ _ colours < <(od -An -tu4 --endian=big -N80 -v "$file" | tr -s ' \n' ' ')
  [ "$bpp" = 32 ] || return 1
  local offset=$((header + colours * 12 + y * line + x * 4))
  read -r b0 b1 b2 b3 < <(od -An -tu1 -j "$offset" -N4 "$file")
  if [ "$order" = 0 ]; then echo "$b2 $b1 $b0"; else echo "$b1 $b2 $b3"; fi
}

if [ -n "${TVN_CHECK_WELCOME_PICTURE:-}" ]; then
  # The welcome picture (96 x 64 at 272,200 of the page) is a gradient from red
  # on the left to blue on the right; a quarter of the way across its red is
  # about 191 and its blue about 64, whatever the row. The rows searched allow
  # for a menu bar above the page.
  deadline=$((SECONDS + 120))
  seen=""
  last="nothing yet"
  while [ -z "$seen" ]; do
    kill -0 "$pid" 2>/dev/null || { echo "FAIL: Tvnrun ended before the welcome picture was seen"; cat "$log"; exit 1; }
    [ $SECONDS -lt $deadline ] || { echo "FAIL: the welcome picture did not show within 120 s (last: $last)"; kill "$pid"; exit 1; }
    if xwd -id "$window" -silent >"$shot" 2>/dev/null; then
      for y in 232 252 272 212; do
        read -r r g b < <(pixel "$shot" 296 "$y") || continue
        last="$r $g $b at 296,$y"
        if [ "$r" -ge 170 ] && [ "$r" -le 215 ] && [ "$b" -ge 40 ] && [ "$b" -le 90 ] && [ "$g" -le 140 ]; then
          seen=$last
          break
        fi
      done
    fi
    [ -n "$seen" ] || sleep 0.2
  done
  echo "the welcome picture shows ($seen)"
fi

# The questions' timers, any key and the notes pages' Done button (540,425 on
# the page, where the pages before them have nothing to click) finish the
# waiting tasks; the rest of the course runs through and the program ends. A
# key or click sent before the window took input is sent again.
deadline=$((SECONDS + 240))
while kill -0 "$pid" 2>/dev/null; do
  if [ $SECONDS -ge $deadline ]; then
    echo "FAIL: Tvnrun did not end at the end of the course within 240 s"; kill "$pid"; cat "$log"; exit 1
  fi
  xdotool mousemove --window "$window" 540 425 click 1 mousemove --window "$window" 50 50 key Return space 2>/dev/null
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
