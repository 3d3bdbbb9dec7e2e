#!/usr/bin/env bash
# Installs the example distribution with "setup -s" into a fresh home, checks
# that the course and every one of its media files arrived unchanged, then
# plays the installed course with the installed Tvnrun under a virtual X
# server (tvnrun_window_test.sh): the narration is heard and the welcome
# page shows the demo's picture.
# Usage: installed_demo_test.sh <distribution folder>
set -u

distribution=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$distribution" "$work/medium"
export HOME="$work/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME XDG_CONFIG_HOME
if ! (cd "$work/medium" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/timeout 120 ./setup -s); then
  echo "FAIL: setup -s did not complete"
  cat "$work/medium/setup.log" 2>/dev/null
  exit 1
fi
installed="$HOME/.local/share/tavelon/drive_c/TAVELON/DEMO"
media=0
for file in "$work/medium"/*; do
  name=$(basename "$file")
  case "$name" in
    setup | autorun | INSTALL.INF | setup.log) continue ;;
  esac
  cmp -s "$file" "$installed/$name" || { echo "FAIL: $name was not installed as it is"; exit 1; }
  case "$name" in
    *.BMP | *.PNG | *.WAV | *.FLC | *.AVI) media=$((media + 1)) ;;
  esac
done
[ "$media" -ge 6 ] || { echo "FAIL: only $media media files in the distribution"; exit 1; }
echo "setup installed the course and its $media media files"

TVN_CHECK_WELCOME_PICTURE=1 "$(dirname "$0")/tvnrun_window_test.sh" "$installed/Tvnrun" "$installed/demo.tvn"
