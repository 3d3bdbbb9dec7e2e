#!/usr/bin/env bash
# Runs a command under a virtual X server of its own (1024x768, 24 bits).
# The server picks a free display number itself (-displayfd) and reports it
# once it accepts connections, so tests started side by side never race for
# the same display. It never resets: a server that resets when its last
# client leaves (a window query between two steps of a test) drops a program
# whose connection it had only just accepted. The server ends with the
# command; the command's status is returned.
# Usage: in_virtual_display.sh <command> [arguments...]
set -u

if ! command -v Xvfb >/dev/null; then
  echo "SKIP: Xvfb is missing (scripts/bootstrap installs it)"
  exit 77
fi

number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$number_file" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$number_file"' EXIT

deadline=$((SECONDS + 60))
until [ -s "$number_file" ] && grep -q '^[0-9][0-9]*$' "$number_file"; do
  if ! kill -0 "$server" 2>/dev/null; then
    echo "FAIL: the virtual X server did not start"
    exit 1
  fi
  if [ $SECONDS -ge $deadline ]; then
    echo "FAIL: the virtual X server did not report its display within 60 s"
    exit 1
  fi
  sleep 0.1
done
export DISPLAY=":$(head -1 "$number_file")"
"$@"
