#!/usr/bin/env bash
# Starts the real program under Xvfb, finds its window "Ramulon", checks that both panels show a
# picture, saves a screenshot, presses Escape and expects the program to end.
# Usage: check_window.sh <ramulon executable> <screenshot folder>
set -euo pipefail
program=$1
shots=$2
mkdir -p "$shots"
export RAMULON_PROGRAM="$program" RAMULON_SHOTS="$shots"
exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$(dirname "$0")/drive_window.sh"
