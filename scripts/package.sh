#!/usr/bin/env bash
# Builds Ramulon in release mode and makes build-package/ramulon_<version>_amd64.deb with CPack.
# Install it with: cd build-package && sudo apt-get install ./ramulon_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --package
rm -f build-package/ramulon_*.deb
(cd build-package && cpack -G DEB >/dev/null)
ls build-package/ramulon_*.deb
