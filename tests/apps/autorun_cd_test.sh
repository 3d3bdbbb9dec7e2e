#!/usr/bin/env bash
# Lays out a course CD (the autorun program, INSTALL.INF, a stand-in runtime
# "Tvnrun" that records its arguments, and the demo course), starts autorun
# from it and checks that the runtime was started on the demo course, with
# the course as one argument.
# Usage: autorun_cd_test.sh <autorun> <course file>
set -u

program=$1
course=$2
cd_dir=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$cd_dir" "$home"' EXIT

cp "$program" "$cd_dir/autorun"
cp "$course" "$cd_dir/Demo Course.tvn"
cat >"$cd_dir/Tvnrun" <<'SCRIPT'
#!/bin/sh
for argument in "$@"; do printf '%s\n' "$argument"; done >"$(dirname "$0")/started.txt"
SCRIPT
chmod +x "$cd_dir/Tvnrun"
printf '[progman.groups]\r\nDemo\r\n\r\n[Demo]\r\nStart,<defdir>Tvnrun,"<defsrc>Demo Course.tvn"\r\n' >"$cd_dir/INSTALL.INF"

export HOME=$home QT_QPA_PLATFORM=offscreen
unset XDG_DATA_HOME XDG_CONFIG_HOME
# autorun never waits for the runtime; a box it should not show would hang it.
timeout 60 "$cd_dir/autorun" "$cd_dir/" || { echo "FAIL: autorun did not end by itself"; exit 1; }
for _ in $(seq 1 100); do
  [ -s "$cd_dir/started.txt" ] && break
  sleep 0.1
done
expected="$cd_dir/Demo Course.tvn"
if [ "$(cat "$cd_dir/started.txt" 2>/dev/null)" != "$expected" ]; then
  echo "FAIL: the runtime got '$(cat "$cd_dir/started.txt" 2>/dev/null)', expected '$expected'"
  exit 1
fi
echo "autorun started the runtime on the demo course"
