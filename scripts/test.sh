#!/usr/bin/env bash
# The whole test suite: a sanitizer build (AddressSanitizer and
# UndefinedBehaviorSanitizer) and the normal build, each run by CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(nproc)

bash scripts/setup.sh build-asan -DSTROKEDESK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd build-asan && ctest -j"$jobs" --output-on-failure --timeout 300)

bash scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest -j"$jobs" --output-on-failure --timeout 300)
