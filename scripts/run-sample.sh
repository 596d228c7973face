#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the main job on the bundled
# sample site: an image extraction by the command-line driver, which prints its
# progress and the path of the view's allImages.htm. Arguments go to the driver
# (build/tools/morvelle-crawl --help), e.g. --crawl-only or a start URL.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

# The run keeps its registry store (settings, the formatter's registration) and its data
# folder (the storage folder with the views) under the build folder, unless the caller
# chose others, so that the user's own store is left alone. The page-writing job creates
# the gallery formatter from the module registered there.
export MORVELLE_CONFIG_HOME="${MORVELLE_CONFIG_HOME:-$PWD/build/sample-run/config}"
export MORVELLE_DATA_HOME="${MORVELLE_DATA_HOME:-$PWD/build/sample-run/data}"
mkdir -p "$MORVELLE_CONFIG_HOME" "$MORVELLE_DATA_HOME"
build/tools/morvelle-register "$PWD/build/formatter/libCorvane.so" >/dev/null
exec build/tools/morvelle-crawl "$@"
