#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the main job on the bundled
# sample site.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
if [ -x build/tools/morvelle-crawl ]; then
    exec build/tools/morvelle-crawl "$@"
fi
echo "Built. Runnable so far: the test programs under build/tests (run: ctest --test-dir build)."
