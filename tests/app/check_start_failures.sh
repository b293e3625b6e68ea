#!/usr/bin/env bash
# Starts the real program where no window can be opened: without DISPLAY, with a display nobody
# serves, and with an unknown platform plugin. Each start must end at once with status 1 and one line
# on standard error that starts with "ramulon:" and names what is missing.
# Usage: check_start_failures.sh <ramulon executable>
set -uo pipefail
program=$1
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

# A display number no server holds: xvfb-run -a counts up from 99, so search well above it.
unused=""
for n in $(seq 4000 4100); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then unused=$n; break; fi
done
[ -n "$unused" ] || { echo "no unused display number found"; exit 1; }

failed=0
check() {
  local name=$1 expected=$2
  shift 2
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" >/dev/null 2>"$errors"
  local status=$?
  local lines
  lines=$(wc -l <"$errors")
  if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] || ! grep -q '^ramulon: ' "$errors" ||
     ! grep -qF -- "$expected" "$errors"; then
    echo "$name: status $status, $lines lines on stderr, expected status 1 and one line naming '$expected':"
    cat "$errors"
    failed=1
  else
    echo "$name: $(cat "$errors")"
  fi
}

check "no DISPLAY" "DISPLAY" timeout 20 "$program"
check "unserved display" ":$unused" DISPLAY=":$unused" timeout 20 "$program"
check "unknown platform" '"nonsense"' timeout 20 "$program" -platform nonsense
exit $failed
