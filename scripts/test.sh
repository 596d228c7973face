#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest:
# first a plain build, then a build with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the concurrency tests under ThreadSanitizer, then each fuzz target for a fixed
# run count.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/source-check.sh

jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan-suppressions.txt}

run_build() {
    local dir=$1 sanitize=$2 filter=$3 type=${4:-RelWithDebInfo}
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DMORVELLE_SANITIZE="$sanitize" >/dev/null
    cmake --build "$dir" -j "$jobs"
    if [ -n "$filter" ]; then
        ctest --test-dir "$dir" -j "$jobs" --timeout 300 -R "$filter"
    else
        ctest --test-dir "$dir" -j "$jobs" --timeout 300
    fi
}

echo "== plain build"
run_build build "" ""
echo "== screen tests (GTK and WebKit under Xvfb; plain build only)"
GTK_A11Y=none NO_AT_BRIDGE=1 xvfb-run -a ctest --test-dir build --timeout 300 -L screen
echo "== address and undefined-behaviour sanitizers (a debug build, so assertions such as the lock rule are on)"
run_build build-asan "address,undefined" "" Debug
echo "== thread sanitizer (concurrency tests)"
# Test names of the threaded machinery: queues, windows and messages, locks, jobs,
# the browser pool and the crawl.
run_build build-tsan "thread" "${TSAN_TESTS:-Thread|Window|Message|Timer|Lock|Job|Queue|Browser|Pool|Crawl|Extraction|Url|Registry|Listener}"
echo "== fuzz targets (clang, libFuzzer, address and undefined-behaviour sanitizers)"
bash scripts/fuzz.sh --ci
echo "all tests passed"
