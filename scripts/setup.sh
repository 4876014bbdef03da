#!/usr/bin/env bash
# Installs what StrokeDesk needs to build, test and run on Debian 12 (as root),
# then configures and builds it in ./build (or the folder given as $1 with the
# CMake options that follow).
set -euo pipefail
cd "$(dirname "$0")/.."

# Building, checking and linting the Debian package (scripts/package.sh).
package_tools=(dpkg-dev file gzip man-db lintian)
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-svg-dev libgl-dev ncompress zlib1g-dev locales
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth nasm)
missing=()
for p in "${packages[@]}" "${package_tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
