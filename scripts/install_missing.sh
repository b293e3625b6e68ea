#!/usr/bin/env bash
# Installs those of the given Debian packages that are missing, without recommends, as root or through
# sudo. Prints the packages it installed on standard output (nothing when all were there); apt's own
# output goes to standard error.
# Usage: scripts/install_missing.sh WHO PACKAGE...   (WHO names the caller in the "installing" line)
set -euo pipefail
who=$1
shift
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "$who: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq >&2
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
echo "${missing[*]}"
