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

# The leak checker of the address-sanitizer build has, rarely, crashed in its own thread
# (its tracer) at the final check of a test program whose tests had all passed: a fault
# of the checker, not of the program. When every failed test shows that crash, those
# tests run once more, and their second run decides; any other failure fails at once.
run_tests() {
    local dir=$1
    shift
    if ctest --test-dir "$dir" -j "$jobs" --timeout 300 "$@"; then
        return 0
    fi
    local failed="$dir/Testing/Temporary/LastTestsFailed.log"
    local log="$dir/Testing/Temporary/LastTest.log"
    [ -s "$failed" ] && [ -f "$log" ] || return 1
    local count crashes
    count=$(wc -l < "$failed")
    crashes=$(grep -c "^Tracer caught signal" "$log" || true)
    [ "$crashes" -ge "$count" ] || return 1
    echo "== $count test(s) failed only by a crash of the leak checker's tracer: run once more"
    ctest --test-dir "$dir" --timeout 300 --rerun-failed
}

run_build() {
    local dir=$1 sanitize=$2 filter=$3 type=${4:-RelWithDebInfo}
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DMORVELLE_SANITIZE="$sanitize" >/dev/null
    cmake --build "$dir" -j "$jobs"
    if [ -n "$filter" ]; then
        run_tests "$dir" -R "$filter"
    else
        run_tests "$dir"
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
