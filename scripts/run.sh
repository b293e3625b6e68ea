#!/usr/bin/env bash
# Sets up and builds Ramulon if needed, then starts it on the current display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "ramulon: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session or under xvfb-run" >&2
  exit 1
fi
scripts/setup.sh
exec build/app/ramulon
