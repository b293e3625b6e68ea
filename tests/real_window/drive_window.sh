#!/usr/bin/env bash
# Runs inside xvfb-run: see check_window.sh.
set -euo pipefail
"$RAMULON_PROGRAM" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

window=""
for _ in $(seq 1 150); do
  window=$(xdotool search --onlyvisible --name '^Ramulon$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "no visible window named Ramulon appeared"
  exit 1
fi
sleep 2
import -window root "$RAMULON_SHOTS/main_window.png"

# Both panels must show something other than black: the trees, lit by the headlight.
eval "$(xdotool getwindowgeometry --shell "$window")"
for panel in left right; do
  if [ $panel = left ]; then px=$((X + 29)); else px=$((X + 416)); fi
  lit=$(convert "$RAMULON_SHOTS/main_window.png" -crop "308x361+${px}+$((Y + 29))" -threshold 8% \
        -format '%[fx:mean]' info:)
  echo "$panel panel: fraction of lit pixels $lit"
  awk -v m="$lit" 'BEGIN { exit !(m > 0.001) }' || { echo "$panel panel shows no picture"; exit 1; }
done

xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 1 50); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.2
done
if kill -0 $pid 2>/dev/null; then
  echo "Escape did not end the program"
  exit 1
fi
wait $pid
trap - EXIT
echo "window shown, panels lit, Escape ended the program"
