#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the fuzz targets (clang and its
# libFuzzer runtime) need; does nothing when all of them are there. Runs without
# questions (CI has no standard input).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libcurl4-openssl-dev libgumbo-dev libpugixml-dev libfreeimage-dev
    libcairo2-dev libpango1.0-dev fonts-dejavu-core fonts-dejavu-extra
    libcpp-httplib-dev libgtest-dev libgmock-dev nodejs
    clang libclang-rt-14-dev
    libgtk-4-dev libwebkitgtk-6.0-dev xvfb xauth python3
    libvips-dev libxtst-dev xdg-utils
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null; then
    $sudo apt-get update </dev/null
    $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
fi
