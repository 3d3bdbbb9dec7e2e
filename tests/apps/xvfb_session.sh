# Sourced by the tests that run programs on a virtual X server of their own
# (in_virtual_display.sh): the tools they need, the server, and what the
# programs see under it.

apps_dir=$(dirname "${BASH_SOURCE[0]}")

# Skips the test (77) when one of the tools is missing.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is missing (scripts/bootstrap installs it)"
      exit 77
    fi
  done
}

# Runs the script again (its path and arguments given) on a virtual X server
# of its own, once: under the server it returns.
enter_virtual_display() {
  if [ -z "${TVN_INSIDE_XVFB:-}" ]; then
    export TVN_INSIDE_XVFB=1
    exec "$apps_dir/in_virtual_display.sh" "$@"
  fi
}

# The programs use the X server, and under the sanitizers the session bus
# library's own allocations are not ours.
use_virtual_display() {
  unset QT_QPA_PLATFORM
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$apps_dir/lsan.supp"
}

# A runtime folder, settings and data of the test's own, below the folder given.
use_own_xdg_folders() {
  mkdir -m 700 "$1/runtime"
  export XDG_RUNTIME_DIR="$1/runtime" XDG_CONFIG_HOME="$1/config" XDG_DATA_HOME="$1/data"
}

# A folder of the test's own (work) with its home in it, removed at the end;
# the program whose id the test keeps in pid is killed first.
use_own_home() {
  work=$(mktemp -d)
  pid=
  trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
  unset XDG_DATA_HOME XDG_CONFIG_HOME
  export HOME="$work/home"
  mkdir -p "$HOME"
}
