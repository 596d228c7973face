#!/usr/bin/env bash
# Installs what is missing, builds everything, registers every built in-process server
# in the sample run's registry store and opens the web browser on the bundled sample
# site, served on 127.0.0.1, with the image band shown when one is registered
# (BAND=<title or CLSID> chooses another). Arguments go to morvelle-browser.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

export MORVELLE_CONFIG_HOME="${MORVELLE_CONFIG_HOME:-$PWD/build/sample-run/config}"
export MORVELLE_DATA_HOME="${MORVELLE_DATA_HOME:-$PWD/build/sample-run/data}"
mkdir -p "$MORVELLE_CONFIG_HOME" "$MORVELLE_DATA_HOME"

# Every built module that is an in-process server (the test modules stay out).
find build -name '*.so' -not -path 'build/tests/*' -not -name 'libmorvelle-*.so' -print0 |
    while IFS= read -r -d '' module; do
        build/tools/morvelle-register "$PWD/$module" >/dev/null 2>&1 || true
    done

# The sample site on a free local port, for as long as the browser runs.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory resources/sample-site >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT

band=(--band "${BAND:-Brisquel}")
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "run-browser: no display; set DISPLAY, or run it under xvfb-run -a" >&2
    exit 1
fi
build/platform/host/morvelle-browser "${1:-http://127.0.0.1:$port/}" "${band[@]}" "${@:2}"
