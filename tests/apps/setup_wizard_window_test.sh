#!/usr/bin/env bash
# Runs the real setup from a copy of the example distribution folder under a
# virtual X server: Enter through Startup and Directory installs the demo
# course into a fresh home; a screenshot taken while the final message shows
# has the background's gradient and the message dialog on it; setup ends by
# itself with status 0.
# Usage: setup_wizard_window_test.sh <distribution folder>
set -u

distribution=$1
. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb xwininfo xdotool xwd od
enter_virtual_display "$0" "$@"

use_virtual_display
unset XDG_DATA_HOME XDG_CONFIG_HOME
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$distribution" "$work/medium"
export HOME="$work/home"
mkdir -p "$HOME"
log="$work/setup.out"
(cd "$work/medium" && exec ./setup) >"$log" 2>&1 &
pid=$!

fail() {
  echo "FAIL: $*"
  kill "$pid" 2>/dev/null
  cat "$log"
  exit 1
}

wait_window() {
  local name=$1 other=${2:-} deadline=$((SECONDS + 120)) found=""
  while [ -z "$found" ]; do
    kill -0 "$pid" 2>/dev/null || fail "setup ended before \"$name\" appeared"
    [ $SECONDS -lt $deadline ] || fail "no \"$name\" window within 120 s"
    found=$(find_shown_window "$name" $other)
    [ -n "$found" ] || sleep 0.2
  done
  echo "$found"
}

# Enter on a dialog until another window takes its place (a key sent before
# the window took input is sent again).
press_enter() {
  local id=$1 name=$2 deadline=$((SECONDS + 120))
  while [ "$(find_shown_window "$name" | cut -d' ' -f1)" = "$id" ]; do
    kill -0 "$pid" 2>/dev/null || return 0
    [ $SECONDS -lt $deadline ] || fail "Enter did not close window $id"
    xdotool mousemove --window "$id" 20 20 key Return 2>/dev/null
    sleep 0.5
  done
}

# The red, green and blue of a pixel of an XWD screenshot (32 bits a pixel).
pixel() {
  local file=$1 x=$2 y=$3
  read -r header _ _ _ _ _ _ order _ _ _ bpp line _ _ _ _ _ _ colours < <(od -An -tu4 --endian=big -N80 -v "$file" | tr -s ' \n' ' ')
  [ "$bpp" = 32 ] || fail "screenshot has $bpp bits a pixel"
  local offset=$((header + colours * 12 + y * line + x * 4))
  read -r b0 b1 b2 b3 < <(od -An -tu1 -j "$offset" -N4 "$file")
  if [ "$order" = 0 ]; then echo "$b2 $b1 $b0"; else echo "$b1 $b2 $b3"; fi
}

read -r startup _ < <(wait_window "Tavelon Demo")
echo "Startup is shown ($startup)"
press_enter "$startup" "Tavelon Demo"
read -r directory _ < <(wait_window "Tavelon Demo" "$startup")
echo "Directory is shown ($directory)"
press_enter "$directory" "Tavelon Demo"
read -r message geometry < <(wait_window "Install Application")
echo "the final message is shown ($message, $geometry)"
shot="$work/shot.xwd"
sleep 1  # the dialog paints once it is shown
xwd -root -silent >"$shot" || fail "no screenshot"
[ -n "${TVN_KEEP_SHOT:-}" ] && cp "$shot" "$TVN_KEEP_SHOT"

# The background's lowest band at the bottom right: 3-pixel bands, band 250 is (0,0,5).
read -r r g b < <(pixel "$shot" 1000 750)
[ "$r $g $b" = "0 0 5" ] || fail "background at 1000,750 is $r $g $b, not 0 0 5"
# Inside the message dialog: a grey face, not the gradient.
dx=$(echo "$geometry" | cut -d+ -f2)
dy=$(echo "$geometry" | cut -d+ -f3)
read -r r g b < <(pixel "$shot" $((dx + 4)) $((dy + 4)))
[ "$r" = "$g" ] && [ "$g" = "$b" ] && [ "$r" -gt 100 ] || fail "message dialog at $((dx + 4)),$((dy + 4)) is $r $g $b"

# The message closes itself after 3 s and setup ends.
deadline=$((SECONDS + 120))
while kill -0 "$pid" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "setup did not end after the final message"
  sleep 0.2
done
wait "$pid"
status=$?
[ "$status" = 0 ] || fail "setup ended with $status"

installed="$HOME/.local/share/tavelon/drive_c/TAVELON/DEMO"
cmp -s "$distribution/demo.tvn" "$installed/demo.tvn" || fail "demo.tvn was not installed as it is"
[ -x "$installed/Tvnrun" ] || fail "Tvnrun was not installed as a program"
grep -q "demo.tvn" "$installed/UNINSTAL.INF" || fail "UNINSTAL.INF does not name demo.tvn"
echo "PASS: installed into $installed"
