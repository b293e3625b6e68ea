#!/usr/bin/env bash
# Makes the .deb and checks it as a Debian system sees it: lintian, the AppStream and desktop-entry
# validators and the man pages' roff, whether apt resolves its dependencies here (without installing
# anything), the licence text against LICENSE, and the unpacked ramulon-evolve answering --version and
# --help and running a press on three render workers, the helper it starts found where the package puts
# it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/package.sh >/dev/null
deb=$(ls build-package/ramulon_*.deb)
version=$(dpkg-deb -f "$deb" Version)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
failed=0
fail() {
  echo "check_package: $*" >&2
  failed=1
}

echo "check_package: $deb" >&2
dpkg-deb -I "$deb" >&2

# Errors fail; the warnings that remain are printed for the record.
lintian --fail-on error --tag-display-limit 0 "$deb" >&2 || fail "lintian reports errors"

dpkg-deb -x "$deb" "$unpacked"
for metainfo in "$unpacked"/usr/share/metainfo/*.metainfo.xml; do
  report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli rejects $(basename "$metainfo")"
  grep -E '^(E|W):' <<<"$report" >&2 && fail "appstreamcli warns about $(basename "$metainfo")"
done
report=$(desktop-file-validate "$unpacked"/usr/share/applications/ramulon.desktop 2>&1) ||
  fail "desktop-file-validate rejects ramulon.desktop"
grep -E 'error|warning' <<<"$report" >&2 && fail "desktop-file-validate warns about ramulon.desktop"
for page in "$unpacked"/usr/share/man/man1/*.1.gz; do
  report=$(zcat "$page" | groff -ww -z -man 2>&1)
  [ -z "$report" ] || fail "$(basename "$page"): $report"
done
bash -n "$unpacked"/usr/share/bash-completion/completions/ramulon-evolve || fail "the completion is not valid bash"
# The licence text the package gives, its " ." lines blank again, is LICENSE's below the copyright line.
copyright="$unpacked/usr/share/doc/ramulon/copyright"
cmp -s <(awk -v RS= 'index($0, "License: MIT\n") == 1' "$copyright" | sed '1d; s/^ //; s/^\.$//') \
  <(sed '1,/^Copyright /d' LICENSE | sed '1{/^$/d}') || fail "the licence in $copyright is not the one in LICENSE"

apt-get install --simulate "./$deb" >/dev/null || fail "apt cannot resolve the package's dependencies"

# The unpacked program, before anything is installed: only system libraries, no LD_LIBRARY_PATH.
evolve="$unpacked/usr/bin/ramulon-evolve"
text=$("$evolve" --version) || fail "ramulon-evolve --version failed"
line=${text%%$'\n'*}
[ "$line" = "ramulon-evolve $version" ] || fail "ramulon-evolve --version says '$line', not 'ramulon-evolve $version'"
grep -qx 'License MIT: <https://opensource.org/license/mit>' <<<"$text" || fail "ramulon-evolve --version names no MIT licence"
"$evolve" --help | grep -q '^Usage: ramulon-evolve' || fail "ramulon-evolve --help shows no usage"
[ -x "$unpacked/usr/libexec/ramulon/ramulon-render-worker" ] || fail "the render worker is not in /usr/libexec/ramulon"
result=$("$evolve" --generations 1 --jobs 3 --out "$unpacked/run" 2>"$unpacked/run.err") ||
  fail "a press with three workers failed: $(tail -n 1 "$unpacked/run.err")"
[ "$result" = "Current best fitness is 0.011144" ] || fail "a press with three workers ended with '$result'"
grep -q '"workers": 3,' "$unpacked/run/run.json" || fail "run.json does not say that three workers scored the run"
! grep -q '^ramulon:' "$unpacked/run.err" || fail "the press with three workers said: $(grep '^ramulon:' "$unpacked/run.err")"

[ "$failed" -eq 0 ] && echo "check_package: $deb passes" >&2
exit "$failed"
