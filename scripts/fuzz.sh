#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer; tests/fuzz) in build-fuzz and runs each on its seed corpus.
#   scripts/fuzz.sh                          every target for 60 seconds
#   scripts/fuzz.sh --seconds 3600           every target for an hour
#   scripts/fuzz.sh --seconds 600 XmlTextFuzzer   one target for ten minutes
#   scripts/fuzz.sh --ci                     every target for its fixed run count (CI)
# A finding stops its target and fails the script; its input is kept under
# build-fuzz/findings/<target>/ (make it a plain regression test, tests/fuzz/README.md).
# Inputs that reach new code collect under build-fuzz/corpus/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
ci=0
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --ci) ci=1; shift ;;
        -h|--help) sed -n 2,10p "$0"; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done

# Runs per target in CI: together well under a minute on one core each.
declare -A ciRuns=(
    [PageReaderFuzzer]=15000
    [UrlRulesFuzzer]=100000
    [RegistryStoreFuzzer]=100000
    [XmlTextFuzzer]=100000
    [FormatterWritersFuzzer]=3000
    [PictureFuzzer]=3000
)
[ ${#targets[@]} -eq 0 ] && targets=(PageReaderFuzzer UrlRulesFuzzer RegistryStoreFuzzer
                                     XmlTextFuzzer FormatterWritersFuzzer PictureFuzzer)

dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVELLE_FUZZ=ON -DMORVELLE_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "${FUZZ_JOBS:-$(nproc)}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
root=$PWD
for target in "${targets[@]}"; do
    seeds=$root/tests/fuzz/corpus/$target
    findings=$root/$dir/findings/$target
    mkdir -p "$findings"
    if [ "$ci" -eq 1 ]; then
        # A fresh corpus each time and a fixed seed: the same runs on every CI pass.
        corpus=$(mktemp -d)
        budget=(-runs="${ciRuns[$target]}" -seed=1)
    else
        corpus=$root/$dir/corpus/$target
        mkdir -p "$corpus"
        budget=(-max_total_time="$seconds")
    fi
    echo "== $target (${budget[*]})"
    start=$(date +%s)
    log=$root/$dir/findings/$target.log
    set +e
    (cd "$findings" && "$root/$dir/tests/fuzz/$target" "${budget[@]}" -max_len=8192 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "$seeds" >"$log" 2>&1)
    code=$?
    set -e
    grep -E '^(Done|stat::number_of_executed_units)' "$log" || true
    if [ "$ci" -eq 1 ]; then rm -rf "$corpus"; fi
    if [ "$code" -ne 0 ] || compgen -G "$findings/crash-*" >/dev/null || compgen -G "$findings/timeout-*" >/dev/null ||
        compgen -G "$findings/oom-*" >/dev/null || compgen -G "$findings/leak-*" >/dev/null; then
        tail -n 60 "$log" >&2
        echo "$target: a finding is kept in $findings (whole output: $log)" >&2
        exit 1
    fi
    echo "$target: clean after $(( $(date +%s) - start )) s"
done
