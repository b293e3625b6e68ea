#!/usr/bin/env bash
# Sets up and builds Ramulon if needed, then runs the whole test suite.
# Usage: scripts/test.sh [--sanitize | --tsan]
#   --tsan runs the tests that draw on several threads, and those of the stop-signal thread, under the
#   thread sanitizer; reports from inside Mesa's driver are left out (tests/tsan_suppressions.txt says
#   which), every other one fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh "$@"
if [ "${1:-}" = "--tsan" ]; then
  export QT_QPA_PLATFORM=offscreen
  export MESA_SHADER_CACHE_DIR="$PWD/build-tsan/mesa_shader_cache"
  export TSAN_OPTIONS="suppressions=$PWD/tests/tsan_suppressions.txt detect_deadlocks=0 exitcode=66 ${TSAN_OPTIONS:-}"
  build-tsan/tests/display_tests --gtest_filter='GLView.*'
  build-tsan/tests/evolve_tests --gtest_filter='InterruptRequest.*'
  exec build-tsan/tests/evolution_tests --gtest_filter='EvaluationPool.*:RenderingPaths.*:EvolverTraining.*'
fi
build_dir=build
[ "${1:-}" = "--sanitize" ] && build_dir=build-sanitize
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
