#!/usr/bin/env bash
# Sets up and builds Ramulon if needed, then runs the whole test suite.
# Usage: scripts/test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh "$@"
build_dir=build
[ "${1:-}" = "--sanitize" ] && build_dir=build-sanitize
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
