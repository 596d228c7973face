#!/usr/bin/env bash
# A look at the gallery pages in a real browser: writes one sample page of every style
# through the built Corvane (registered in a throw-away registry store), opens each in
# headless Chromium, saves a screenshot, and checks that every picture and link of
# the page names a file that exists.
#
#     bash tools/check-pages-in-chromium.sh [build folder] [screenshot folder]
#
# Defaults: build, and <build folder>/page-check. Needs Debian's chromium package
# (apt-get install -y chromium) and node; neither the tests nor
# scripts/install-deps.sh install chromium: this check is run by hand.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
shots=${2:-$build/page-check}
chromium=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$chromium" ]; then
    echo "check-pages-in-chromium: no chromium; install Debian's package: apt-get install -y chromium" >&2
    exit 2
fi
for tool in "$build/tools/morvelle-register" "$build/tools/morvelle-sample-gallery" \
            "$build/formatter/libCorvane.so"; do
    [ -e "$tool" ] || { echo "check-pages-in-chromium: $tool is missing; build first" >&2; exit 2; }
done

work=$(mktemp -d /tmp/morvelle-page-check-XXXXXX)
trap 'rm -rf "$work"' EXIT
export MORVELLE_CONFIG_HOME="$work/config"
mkdir -p "$MORVELLE_CONFIG_HOME" "$work/gallery" "$shots"

"$build/tools/morvelle-register" "$build/formatter/libCorvane.so"
pages=$("$build/tools/morvelle-sample-gallery" "$work/gallery" tests/fixtures/formatter/pictures/*)

status=0
for page in $pages; do
    style=$(basename "$page" .htm)
    common=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run
            --disable-background-networking --disable-component-update --disable-sync
            --window-size=1000,800 --virtual-time-budget=2000)
    "$chromium" "${common[@]}" --user-data-dir="$(mktemp -d "$work/profile-XXXXXX")" \
        --screenshot="$shots/$style.png" "file://$page" > "$work/$style.log" 2>&1 || {
        echo "$style: chromium failed (see below)"; cat "$work/$style.log"; status=1; }
    "$chromium" "${common[@]}" --user-data-dir="$(mktemp -d "$work/profile-XXXXXX")" \
        --dump-dom "file://$page" > "$shots/$style.dom.html" 2> "$work/$style.dom.log" || status=1
    # Every src and href of the page as the browser read it, and every picture the
    # slide show's script loads, must name a file.
    node - "$page" "$shots/$style.dom.html" <<'SCRIPT' || status=1
const fs = require('fs');
const { pathToFileURL, fileURLToPath } = require('url');
const [page, dom] = process.argv.slice(2);
const text = fs.readFileSync(dom, 'utf8');
const base = pathToFileURL(page);
let checked = 0, missing = 0;
for (const match of text.matchAll(/\b(src|href)="([^"]*)"|newImage\('([^']*)'\)/g)) {
    if (match[3] !== undefined) match[1] = 'newImage', match[2] = match[3];
    const value = match[2].replace(/&amp;/g, '&');
    if (/^(mailto:|javascript:|#)/i.test(value) || value === '') continue;
    const url = new URL(value, base);
    if (url.protocol !== 'file:') continue;
    checked++;
    if (!fs.existsSync(fileURLToPath(url))) {
        missing++;
        console.log(`  missing: ${match[1]}="${match[2]}" -> ${fileURLToPath(url)}`);
    }
}
console.log(`${require('path').basename(page)}: ${checked} local pictures and links, ${missing} missing`);
process.exit(missing ? 1 : 0);
SCRIPT
done
"$build/tools/morvelle-register" "$build/formatter/libCorvane.so" /u
echo "screenshots and page texts in $shots"
exit $status
