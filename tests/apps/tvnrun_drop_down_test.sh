#!/usr/bin/env bash
# Plays a course with a drop-down list in Tvnrun under a virtual X server:
# the closed field shows its choice and the bordered rich-text editor beside
# it its frame; a click opens the list right below the field; a click on the
# list's second row chooses MEDIUM, and Done stores it (the course's next task
# writes the variable into a file before the course ends). With
# TVN_SCREENSHOT_DIR set, the screen is kept there as PNG files.
# Usage: tvnrun_drop_down_test.sh <Tvnrun> <drop_down_course>
set -u

program=$1
writer=$2
. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb xwininfo xdotool xwd ffmpeg od
enter_virtual_display "$0" "$@"

use_virtual_display
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
use_own_xdg_folders "$work"
"$writer" "$work/sizes.tvn" "$work/result.txt" || { echo "FAIL: the course could not be written"; exit 1; }

fail() {
  echo "FAIL: $1"
  cat "$work/log"
  exit 1
}

"$program" "$work/sizes.tvn" >"$work/log" 2>&1 &
pid=$!

# Generous deadlines: a loaded machine may take long to start a Qt program.
deadline=$((SECONDS + 120))
window=""
while [ -z "$window" ]; do
  kill -0 "$pid" 2>/dev/null || fail "Tvnrun ended before its window appeared"
  [ $SECONDS -lt $deadline ] || fail "no presentation window within 120 s"
  window=$(xwininfo -root -tree 2>/dev/null | grep '"Presentation Window"' | awk '{print $1}' | head -1)
  if [ -n "$window" ] && ! xwininfo -id "$window" 2>/dev/null | grep -q "Map State: IsViewable"; then
    window=""
  fi
  [ -n "$window" ] || sleep 0.2
done
left=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print $4}')
top=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ {print $4}')
echo "window $window is shown at $left,$top"

# A window as an X window dump (the root for the whole screen); kept as PNG when asked.
# A popup list is dumped by its own id: a dump of the root shows it black on Xvfb.
shot() {
  xwd -id "$2" -silent -out "$work/$1.xwd" || return 1
  if [ -n "${TVN_SCREENSHOT_DIR:-}" ]; then
    ffmpeg -loglevel error -y -i "$work/$1.xwd" "$TVN_SCREENSHOT_DIR/$1.png"
  fi
  return 0
}
# "r g b" lines of a column of a dump: <dump> <x> <y> <rows>, in the dumped window.
column() {
  ffmpeg -loglevel error -i "$work/$1.xwd" -vf "crop=1:$4:$2:$3" -f rawvideo -pix_fmt rgb24 - | od -An -tu1 -v -w3
}
# The first and last row (from 0) of the first run of highlighted pixels (blue well above red) in a column.
highlight_run() {
  column "$@" | awk '{ blue = ($3 > $1 + 60) }
                     blue && first == "" { first = NR - 1 }
                     !blue && first != "" && last == "" { last = NR - 2 }
                     END { if (first != "") print first, (last == "" ? NR - 1 : last) }'
}
# How many pixels of a column are dark.
dark_count() {
  column "$@" | awk '$1 + $2 + $3 < 200 { n++ } END { print n + 0 }'
}
# The id, left, top, width and height of a shown top-level window of Tvnrun other than the presentation window.
popup_window() {
  local id geometry
  xwininfo -root -tree 2>/dev/null | awk -v main="$window" '/"Tvnrun": \("Tvnrun"/ && $1 != main {
      split($0, a, ")  "); split(a[2], g, " "); print $1, g[1] }' |
    while read -r id geometry; do
      xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" || continue
      echo "$id $geometry" | sed -E 's/^([^ ]+) ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \4 \5 \2 \3/'
      break
    done
}

# The page is drawn: LARGE in the field (page 60,90 at the view's top left).
deadline=$((SECONDS + 60))
until shot closed "$window" && [ "$(dark_count closed 75 90 40)" -gt 0 ]; do
  [ $SECONDS -lt $deadline ] || fail "the drop-down field shows no text within 60 s"
  sleep 0.5
done
echo "the closed field shows its choice"
# The editor's frame: a dark line on the rectangle's top (page 320,90), its background right inside.
edge=$(column closed 400 88 5 | awk 'NR == 3 { print $1 + $2 + $3 }')
inside=$(column closed 400 88 5 | awk 'NR == 5 { print $1, $2, $3 }')
[ "$edge" -lt 200 ] || fail "the bordered editor shows no frame on its top edge ($edge)"
[ "$inside" = "255 250 180" ] || fail "the editor's background is not right inside its frame ($inside)"
echo "the bordered editor shows its frame"

# A click on the field opens the list right below it, as wide as the field;
# the current entry (LARGE, the third) is highlighted.
deadline=$((SECONDS + 60))
popup=""
while [ -z "$popup" ]; do
  [ $SECONDS -lt $deadline ] || fail "no open list within 60 s"
  xdotool mousemove --window "$window" 150 100 click 1 2>/dev/null
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    popup=$(popup_window)
    [ -n "$popup" ] && break
    sleep 0.5
  done
done
read -r list listLeft listTop listWidth listHeight <<<"$popup"
echo "the list is open at $listLeft,$listTop, $listWidth x $listHeight"
[ "$listLeft" -eq $((left + 60)) ] && [ "$listWidth" -eq 220 ] || fail "the list is not as wide as the field, under it"
fieldHeight=$((listTop - top - 90))
[ "$fieldHeight" -gt 0 ] && [ "$fieldHeight" -lt 40 ] || fail "the list does not open right below the field ($fieldHeight)"
[ $((fieldHeight + listHeight)) -le 160 ] && [ $((fieldHeight + listHeight)) -ge 120 ] ||
  fail "the list does not take the rest of the asked height ($listHeight)"
run=""
deadline=$((SECONDS + 30))
while [ -z "$run" ]; do
  [ $SECONDS -lt $deadline ] || fail "the open list shows no highlighted entry"
  sleep 0.5
  shot open "$list"
  run=$(highlight_run open 100 0 "$listHeight")
done
read -r first last <<<"$run"
rowHeight=$((last - first + 1))
echo "LARGE is highlighted on rows $first..$last of the list"
[ "$(dark_count open 20 0 "$first")" -gt 0 ] || fail "the entries above the highlighted one show no text"

# The second row lies right above the third.
xdotool mousemove --window "$list" 100 $((first - rowHeight / 2)) click 1 2>/dev/null
sleep 1
shot chosen "$window"
[ -z "$(popup_window)" ] || fail "the list stayed open after a choice"
xdotool mousemove --window "$window" 130 320 click 1 2>/dev/null

deadline=$((SECONDS + 60))
while kill -0 "$pid" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "Tvnrun did not end after Done"
  sleep 0.2
done
wait "$pid"
status=$?
pid=""
[ $status -eq 0 ] || fail "Tvnrun exited with $status"
stored=$(cat "$work/result.txt" 2>/dev/null)
[ "$stored" = "MEDIUM" ] || fail "the course stored '$stored', not MEDIUM"
echo "the second row's entry was stored: $stored"
