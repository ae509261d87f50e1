#!/usr/bin/env bash
# screenshot.sh OUT.png [PROJECT]: starts the built editor on PROJECT (default: the example project) on a
# virtual 1280x800 screen, waits for its main window and saves a screenshot of the screen. Builds nothing.
# SCREENSHOT_WINDOW (a grep -E pattern for the window's title) and SCREENSHOT_TIMEOUT (seconds) override
# what it waits for.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: scripts/screenshot.sh OUT.png [PROJECT]" >&2
  exit 64
fi
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
project=$(realpath -m "${2:-$root/examples/warehouse/warehouse.cme}")
editor=$root/build/bin/vyr-mission-editor
[ -x "$editor" ] || { echo "screenshot: $editor is not built (cmake --build --preset default)" >&2; exit 1; }
for tool in xvfb-run xwininfo import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

export SCREENSHOT_EDITOR=$editor SCREENSHOT_PROJECT=$project SCREENSHOT_OUT=$out
export SCREENSHOT_WINDOW=${SCREENSHOT_WINDOW:-'Mission Editor - \[|"vyr-mission-editor":'}
export SCREENSHOT_TIMEOUT=${SCREENSHOT_TIMEOUT:-30}
# The editor runs with its own scratch settings and registry, so a screenshot never touches the user's.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data VYR_REGISTRY_FILE=$scratch/registry.reg
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -u
  "$SCREENSHOT_EDITOR" "$SCREENSHOT_PROJECT" >/dev/null 2>&1 &
  editor_pid=$!
  waited=0
  until xwininfo -root -tree 2>/dev/null | grep -Eq "$SCREENSHOT_WINDOW"; do
    if ! kill -0 "$editor_pid" 2>/dev/null; then echo "screenshot: the editor ended early" >&2; exit 1; fi
    if [ "$waited" -ge $((SCREENSHOT_TIMEOUT * 10)) ]; then
      echo "screenshot: no main window after ${SCREENSHOT_TIMEOUT} s" >&2
      kill "$editor_pid"
      exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  sleep 1  # let the window paint
  status=0
  import -window root "$SCREENSHOT_OUT" || status=1
  kill "$editor_pid" 2>/dev/null
  wait "$editor_pid" 2>/dev/null
  exit $status
'
echo "screenshot: $out"
