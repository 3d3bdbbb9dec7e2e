#!/usr/bin/env bash
# Runs a command on a virtual X server of its own with openbox managing its
# windows; the command's status is returned. Skips (77) without Xvfb or openbox.
# Usage: with_window_manager.sh <command> [arguments...]
set -u

. "$(dirname "$0")/xvfb_session.sh"
require_tools Xvfb openbox xprop
enter_virtual_display "$0" "$@"

home=$(mktemp -d)
HOME="$home" openbox --sm-disable >/dev/null 2>&1 &
manager=$!
trap 'kill "$manager" 2>/dev/null; wait "$manager" 2>/dev/null; rm -rf "$home"' EXIT

# The manager is ready once it names itself on the root window. Generous: a loaded machine starts slowly.
deadline=$((SECONDS + 60))
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
  if ! kill -0 "$manager" 2>/dev/null; then
    echo "FAIL: openbox did not start"; exit 1
  fi
  if [ $SECONDS -ge $deadline ]; then
    echo "FAIL: openbox did not take the display within 60 s"; exit 1
  fi
  sleep 0.2
done
"$@"
