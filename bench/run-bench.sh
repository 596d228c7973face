#!/usr/bin/env bash
# Times the engine's command-line driver (build/tools/morvelle-crawl) against wget and
# httrack on a generated site served on 127.0.0.1 by morvelle-bench-site. Run by hand,
# never in CI.
#
#   bash bench/run-bench.sh crawl   [--pages N] [--images K] [--delay-ms D] [--depth d] [--build DIR]
#   bash bench/run-bench.sh extract [--pages N] [--images K] [--delay-ms D] [--depth d] [--build DIR]
#                                   [--httrack yes|no]
#   bash bench/run-bench.sh thumbs  [--files N] [--build DIR] [--other-build DIR] [--montage PNG]
#   bash bench/run-bench.sh shared-names [--pictures N,N...] [--downloads yes|no|both]
#                                   [--limit-s S] [--build DIR]
#   bash bench/run-bench.sh hostile [--build DIR]
#   bash bench/run-bench.sh mp3-list [--links N,N...] [--build DIR]
#
# crawl:   the driver's --crawl-only run beside `wget --recursive` at the same depth,
#          pictures refused (pages only).
# extract: the driver's whole extraction (downloads, thumbnails, view pages; no image
#          limit, no size filter) beside `wget --recursive` keeping only pictures and
#          `httrack` at the same depth.
# thumbs:  the thumbnails of N pictures of about one megapixel (JPEG), made one after the
#          other on one processor by morvelle-bench-thumbs (the thumbnail job's step) and by
#          vipsthumbnail (libvips-tools, installed here when missing) into the same 100 x 100
#          box; --other-build times another build's morvelle-bench-thumbs on the same files
#          (an earlier version of the code). Prints the rates, and how far the thumbnails
#          lie apart (their sizes, and the mean difference of their pixels, 0 to 255);
#          --montage writes the first few side by side for a look.
# shared-names: one page whose N pictures all share one file name, extracted by the image
#          band's pipeline (morvelle-bench-shared-names) for each N (1000,10000,100000),
#          with downloads and thumbnails (yes), fast (no: the view lists the remote
#          addresses) or both; prints wall and CPU time and how long a window on the
#          main thread took to answer meanwhile. A size still running after --limit-s
#          seconds (600) ends the run.
# hostile: the driver's whole extraction, depth 1, of the bench site's hostile page (a
#          page sent at 100 bytes a second; among 22 good pictures one sent at 3 bytes a
#          second, one whose server stalls after the head, one of 200 MB), with the
#          product's own timing: how long the guards let such a site hold it.
# mp3-list: Tallowmere's MP3 list (morvelle-bench-mp3-list) for each N (1000,10000,
#          100000) links: the dialog's steps for each link found and each download ended,
#          wall and CPU time, and per link.
# Prints wall times, their ratios, pages/s and images/s, and each program's peak memory
# (/usr/bin/time -v). Installs wget, httrack and time with apt-get when missing.
# Defaults: 341 pages (depth 4 reaches them all), 3 pictures per page, 20 ms per
# response, depth 4, build folder build-bench (configured RelWithDebInfo).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '5,12p' "$0" | sed 's/^# *//' >&2; exit 2; }
mode=${1:-}
[ "$mode" = crawl ] || [ "$mode" = extract ] || [ "$mode" = thumbs ] ||
    [ "$mode" = shared-names ] || [ "$mode" = hostile ] || [ "$mode" = mp3-list ] || usage
shift
pages=341 images=3 delay=20 depth=4 build=build-bench httrack=yes
files=200 other_build='' montage=''
shared_pictures=1000,10000,100000 shared_downloads=both limit_s=600
mp3_links=1000,10000,100000
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || usage
    case $1 in
        --pages) pages=$2 ;;
        --images) images=$2 ;;
        --delay-ms) delay=$2 ;;
        --depth) depth=$2 ;;
        --build) build=$2 ;;
        --httrack) httrack=$2 ;;
        --files) files=$2 ;;
        --other-build) other_build=$2 ;;
        --montage) montage=$2 ;;
        --pictures) shared_pictures=$2 ;;
        --downloads) shared_downloads=$2 ;;
        --limit-s) limit_s=$2 ;;
        --links) mp3_links=$2 ;;
        *) usage ;;
    esac
    shift 2
done

if [ "$mode" = thumbs ]; then
    exec bash "$(dirname "$0")/thumbnail-bench.sh" "$files" "$build" "$other_build" "$montage"
fi

if [ "$mode" = mp3-list ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --target morvelle-bench-mp3-list -j 4 >/dev/null
    echo "machine: $(nproc) processors; load $(cut -d' ' -f1-3 /proc/loadavg)"
    exec "$build/bench/morvelle-bench-mp3-list" --links "$mp3_links"
fi

if [ "$mode" = shared-names ]; then
    case $shared_downloads in
        yes | no) kinds=("$shared_downloads") ;;
        both) kinds=(no yes) ;;
        *) usage ;;
    esac
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --target morvelle-bench-shared-names Corvane morvelle-register \
        -j 4 >/dev/null
    work=$(mktemp -d /tmp/morvelle-bench-XXXXXX)
    trap 'rm -rf "$work"' EXIT
    export MORVELLE_CONFIG_HOME="$work/config" MORVELLE_DATA_HOME="$work/data"
    mkdir -p "$MORVELLE_CONFIG_HOME" "$MORVELLE_DATA_HOME"
    "$build/tools/morvelle-register" "$PWD/$build/formatter/libCorvane.so" >/dev/null
    echo "machine: $(nproc) processors, $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo); $(uname -sr); load $(cut -d' ' -f1-3 /proc/loadavg)"
    for kind in "${kinds[@]}"; do
        "$build/bench/morvelle-bench-shared-names" --pictures "$shared_pictures" \
            --downloads "$kind" --limit-s "$limit_s" || true
    done
    exit 0
fi

# --- Programs ---------------------------------------------------------------
missing=()
command -v wget >/dev/null || missing+=(wget)
[ -x /usr/bin/time ] || missing+=(time)
[ "$mode" = extract ] && [ "$httrack" = yes ] && ! command -v httrack >/dev/null &&
    missing+=(httrack)
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(morvelle-crawl morvelle-bench-site)
[ "$mode" != crawl ] && targets+=(Corvane morvelle-register)
cmake --build "$build" --target "${targets[@]}" -j 4 >/dev/null

work=$(mktemp -d /tmp/morvelle-bench-XXXXXX)
export MORVELLE_CONFIG_HOME="$work/config" MORVELLE_DATA_HOME="$work/data"
mkdir -p "$MORVELLE_CONFIG_HOME" "$MORVELLE_DATA_HOME"

# --- The site ---------------------------------------------------------------
# The server stops when its standard input, our pipe, closes.
hostile_site=no
[ "$mode" = hostile ] && hostile_site=yes pages=1 images=0 delay=0 depth=1
coproc SITE { exec "$build/bench/morvelle-bench-site" --pages "$pages" \
    --images-per-page "$images" --delay-ms "$delay" --hostile "$hostile_site" 2>/dev/null; }
site_pid=$SITE_PID
stop_site() {
    exec {SITE[1]}>&- 2>/dev/null || true
    wait "$site_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap stop_site EXIT
read -r line <&"${SITE[0]}"
start=$(sed -n 's/.* start=\([^ ]*\).*/\1/p' <<<"$line")
per_depth=$(sed -n 's/.*pages-per-depth=\([^ ]*\).*/\1/p' <<<"$line")
IFS=, read -r -a reach <<<"$per_depth"
if [ "$depth" -lt "${#reach[@]}" ]; then expected=${reach[$depth]}; else expected=${reach[-1]}; fi

nproc_=$(nproc)
mem=$(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)
echo "machine: $nproc_ processors, $mem; $(uname -sr)"
echo "site: $pages pages, $images pictures per page, $delay ms per response; depth $depth reaches $expected pages ($((expected * images)) pictures)"

# run NAME COMMAND...: times one program; its output goes to $work/NAME.out.
declare -A wall rss
run() {
    local name=$1
    shift
    local begin end
    begin=$(date +%s.%N)
    /usr/bin/time -v -o "$work/$name.time" "$@" >"$work/$name.out" 2>&1 || true
    end=$(date +%s.%N)
    wall[$name]=$(echo "$end - $begin" | bc -l)
    rss[$name]=$(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$work/$name.time")
}
count() { find "$@" -type f 2>/dev/null | wc -l; }
pictures() { find "$1" -type f \( -name '*.jpg' -o -name '*.png' -o -name '*.gif' \) 2>/dev/null | wc -l; }
rate() { echo "scale=1; $1 / ${wall[$2]}" | bc -l; }
line() {  # name items label
    printf '%-28s %8.2f s  %6.1f MiB  %s\n' "$1" "${wall[$1]}" "${rss[$1]}" "$2"
}
ratio() { printf '%-28s %.2f\n' "$1" "$(echo "${wall[$2]} / ${wall[$3]}" | bc -l)"; }

if [ "$mode" = hostile ]; then
    hostile=$(sed -n 's/.* hostile=\([^ ]*\).*/\1/p' <<<"$line")
    "$build/tools/morvelle-register" "$PWD/$build/formatter/libCorvane.so" >/dev/null
    run driver "$build/tools/morvelle-crawl" --depth 1 --max-images 0 --min-width 0 \
        --min-height 0 --view hostile "$hostile"
    view=$(find "$MORVELLE_DATA_HOME" -type d -path '*/hostile' | head -1)
    echo
    echo "program                        wall      peak RSS  result"
    line driver "$(pictures "$view/images") of 25 pictures stored ($(du -sh "$view/images" | cut -f1)), $(count "$view" -maxdepth 1 -name '*.htm') view pages"
elif [ "$mode" = crawl ]; then
    run driver "$build/tools/morvelle-crawl" --crawl-only --depth "$depth" "$start"
    driver_pages=$(sed -n 's/^\([0-9]*\) pages visited.*/\1/p' "$work/driver.out")
    run wget wget --recursive --level="$depth" --reject=jpg,jpeg,png,gif -e robots=off \
        --no-verbose -P "$work/wget" "$start"
    wget_pages=$(count "$work/wget" -name '*.htm')
    echo
    echo "program                        wall      peak RSS  result"
    line driver "${driver_pages:-?} pages, $(rate "${driver_pages:-0}" driver) pages/s"
    line wget "$wget_pages pages, $(rate "$wget_pages" wget) pages/s"
    ratio "driver / wget" driver wget
else
    "$build/tools/morvelle-register" "$PWD/$build/formatter/libCorvane.so" >/dev/null
    run driver "$build/tools/morvelle-crawl" --depth "$depth" --max-images 0 --min-width 0 \
        --min-height 0 --view bench "$start"
    driver_images=$(pictures "$(find "$MORVELLE_DATA_HOME" -type d -path '*/bench/images' | head -1)")
    driver_thumbs=$(pictures "$(find "$MORVELLE_DATA_HOME" -type d -path '*/bench/thumbs' | head -1)")
    driver_pages=$(count "$(find "$MORVELLE_DATA_HOME" -type d -name bench | head -1)" -maxdepth 1 -name '*.htm')
    run wget wget --recursive --level="$depth" --page-requisites --accept=jpg,jpeg,png,gif \
        -e robots=off --no-verbose -P "$work/wget" "$start"
    wget_images=$(pictures "$work/wget")
    if [ "$httrack" = yes ]; then
        run httrack httrack "$start" -O "$work/httrack" -r$((depth + 1)) -n -c8 -s0 \
            --disable-security-limits -q -%v0 -I0
        httrack_images=$(pictures "$work/httrack")
        httrack_pages=$(count "$work/httrack" -path '*127.0.0.1*' -name '*.htm*')
    fi
    echo
    echo "program                        wall      peak RSS  result"
    line driver "$driver_images images, $driver_thumbs thumbnails, $driver_pages view pages; $(rate "$driver_images" driver) images/s"
    line wget "$wget_images images; $(rate "$wget_images" wget) images/s"
    [ "$httrack" = yes ] &&
        line httrack "$httrack_images images, $httrack_pages pages; $(rate "$httrack_images" httrack) images/s"
    ratio "driver / wget" driver wget
    [ "$httrack" = yes ] && ratio "driver / httrack" driver httrack
fi
if ! grep -q . "$work/driver.out"; then echo "the driver printed nothing"; fi
tail -n 3 "$work/driver.out" | sed 's/^/driver: /'
