#!/usr/bin/env bash
# Opens the index.html of a real run in headless Chromium, as a person opens it in a browser, at a
# laptop's width and at a phone's, and checks what they would see: every picture loaded (the animation
# among them) and no text running past the edge of its box or of the window. The page itself has no
# script; a copy of the run's folder gets one that reports what the browser laid out. Screenshots of
# both widths are left in the output folder to be looked at.
# It installs chromium where missing.
# Usage: scripts/check_report.sh [OUTPUT_FOLDER]   (default build/report-check; made anew)
#   RAMULON_EVOLVE  the tool that makes the run (default build/evolve/ramulon-evolve)
# Exit status 0 when every check passed; otherwise 1, with one line saying what failed.
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "check_report: $*"; }
fail() {
  echo "check_report: FAILED: $*" >&2
  exit 1
}

scripts/install_missing.sh check_report chromium >/dev/null

tool=${RAMULON_EVOLVE:-build/evolve/ramulon-evolve}
[ -x "$tool" ] || fail "no tool at $tool (set RAMULON_EVOLVE)"
out=${1:-build/report-check}
rm -rf "$out"
mkdir -p "$out"
out=$(realpath "$out")

# Two presses, so that the table and the comparisons have more than one entry.
"$tool" --seed 11 --presses 2 --generations 3 --out "$out/run" >/dev/null 2>"$out/run.log" ||
  fail "the run failed: $(tail -n 1 "$out/run.log")"

cp -r "$out/run" "$out/probe"
# Reports, once everything has loaded, each picture that did not load and each element whose text is
# wider than its box or runs past the window's right edge.
cat >"$out/probe.js" <<'SCRIPT'
<script>
window.addEventListener("load", () => {
  const problems = [];
  const name = (e) => e.tagName.toLowerCase() + (e.className ? "." + e.className : "") +
                      " \"" + (e.textContent || e.getAttribute("src") || "").trim().slice(0, 40) + "\"";
  const images = document.querySelectorAll("img");
  for (const img of images)
    if (!img.complete || img.naturalWidth === 0) problems.push("picture not loaded: " + img.getAttribute("src"));
  const width = document.documentElement.clientWidth;
  if (document.documentElement.scrollWidth > width) problems.push("the page is wider than the window");
  for (const e of document.body.querySelectorAll("*")) {
    if (e.tagName === "SCRIPT" || e.tagName === "STYLE") continue;
    const box = e.getBoundingClientRect();
    if (box.right > width + 0.5) problems.push("past the right edge: " + name(e));
    if (getComputedStyle(e).display !== "inline" && e.scrollWidth > e.clientWidth + 1)
      problems.push("text wider than its box: " + name(e));
  }
  const report = document.createElement("pre");
  report.id = "probe";
  report.textContent = "images " + images.length + "\n" + problems.join("\n");
  document.body.appendChild(report);
});
</script>
SCRIPT
sed -e '/<\/body>/{r '"$out/probe.js" -e 'd}' "$out/run/index.html" >"$out/probe/index.html"
echo '</body></html>' >>"$out/probe/index.html"

browse() {
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --no-first-run --virtual-time-budget=10000 "$@" \
    2>>"$out/chromium.log"
}

pictures=$(grep -o '<img ' "$out/run/index.html" | wc -l)
[ "$pictures" -ge 4 ] || fail "index.html shows $pictures pictures; the animation, two comparisons and the plot make 4"
for size in 1280,900 390,844; do
  width=${size%,*}
  report=$(browse --window-size="$size" --dump-dom "file://$out/probe/index.html" |
           sed -n '/<pre id="probe">/,/<\/pre>/p' | sed -e 's/<[^>]*>//g')
  [ -n "$report" ] || fail "at $width pixels Chromium gave back no report (see $out/chromium.log)"
  loaded=$(echo "$report" | sed -n 's/^images //p')
  [ "$loaded" = "$pictures" ] || fail "at $width pixels the browser found $loaded pictures of $pictures"
  problems=$(echo "$report" | sed 1d | sed '/^$/d')
  [ -z "$problems" ] || fail "at $width pixels: $(echo "$problems" | head -n 3 | tr '\n' ';')"
  # Tall enough for the whole page, so that the screenshot shows all of it.
  browse --window-size="$width,5000" --screenshot="$out/index-$width.png" "file://$out/run/index.html" >/dev/null
  colours=$(convert "$out/index-$width.png" -format '%k' info:)
  [ "$colours" -gt 1000 ] || fail "the screenshot at $width pixels has only $colours colours: the pictures are missing"
  say "$width pixels wide: $pictures pictures loaded, no text past its box; screenshot $out/index-$width.png"
done
say "passed"
