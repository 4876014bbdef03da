#!/usr/bin/env bash
# The whole test suite: the libFuzzer harnesses for a bounded time (clang), a
# sanitizer build (AddressSanitizer and UndefinedBehaviorSanitizer) and the
# normal build, each run by CTest; the normal build's summary comes last.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(nproc)

bash scripts/setup.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DSTROKEDESK_FUZZ=ON -DSTROKEDESK_SANITIZE=ON \
  -DSTROKEDESK_FUZZ_SECONDS=15
(cd build-fuzz && ctest -j"$jobs" -L fuzz --output-on-failure)

bash scripts/setup.sh build-asan -DSTROKEDESK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd build-asan && ctest -j"$jobs" --output-on-failure --timeout 300)

bash scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest -j"$jobs" --output-on-failure --timeout 300)
