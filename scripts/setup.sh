#!/usr/bin/env bash
# Installs the Debian packages Ramulon needs (only those missing), then configures and builds.
# Usage: scripts/setup.sh [--sanitize]   (the sanitizer build goes to build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make
  qt6-base-dev qt6-qpa-plugins
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libgtest-dev
  xvfb xauth fonts-dejavu-core imagemagick xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-sanitize
  options+=(-DRAMULON_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DRAMULON_BUILD_BENCH=OFF)
fi
if [ -n "${CI:-}" ]; then
  options+=(-DRAMULON_WARNINGS_AS_ERRORS=ON)
fi

cmake -S . -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
