#!/usr/bin/env bash
# Builds the Debian package in ./build (or the folder given as $1), checks it
# unpacked as the test command does (the package_unpacked test, which builds
# it) and runs lintian on it when lintian is installed; prints the package's
# path last.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
[[ -f $dir/CMakeCache.txt ]] || bash scripts/setup.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$dir"
ctest --test-dir "$dir" -R '^package_unpacked$' --output-on-failure
package=$(ls -t "$dir"/strokedesk_*.deb | head -n 1)
if command -v lintian >/dev/null; then
  lintian --info "$package"
  echo "lintian: no errors"
fi
echo "$package"
