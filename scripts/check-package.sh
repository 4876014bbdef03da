#!/usr/bin/env bash
# Builds the Debian package of a configured build and checks it unpacked into
# a scratch folder, without installing anything:
#   check-package.sh BUILD PACKAGE [FILE...]
# PACKAGE is the file name the build must give it, FILEs the paths the package
# must hold (relative to its root). The unpacked strokedesk runs a batch
# against the unpacked rc7sim, every program has a manual page that man
# opens without a warning, and strokedesk-trace (when packaged) answers
# --help.
set -euo pipefail
build=$(realpath "$1")
package=$2
shift 2
here=$(dirname "$(realpath "$0")")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}

rm -f "$build/$package"
if ! cmake --build "$build" --target package >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "the package target"
  exit 1
fi
[[ -f $build/$package ]] || { fail "no $package in $build"; exit 1; }
tree=$scratch/root
dpkg-deb -x "$build/$package" "$tree"
echo "unpacked $package:"
dpkg-deb -I "$build/$package" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Recommends\):/  \1:/p'

for file in usr/bin/strokedesk usr/bin/rc7sim "$@"; do
  [[ -e $tree/$file ]] || fail "the package has no $file"
done
# Libraries belong in the private library folder, not among the programs.
stray=$(find "$tree/usr/bin" -name '*.so*')
[[ -z $stray ]] || fail "libraries among the programs: $stray"

# A batch of the unpacked program against the unpacked simulator; the user's
# StrokeDesk.ini stays out of it.
if XDG_CONFIG_HOME=$scratch/config bash "$here/batch-demo.sh" "$tree/usr/bin" "$tree/usr/share/strokedesk/demo.pms" \
    >"$scratch/batch.log" 2>&1; then
  echo "batch run of the unpacked strokedesk: exit code 0"
else
  cat "$scratch/batch.log" >&2
  fail "the batch run of the unpacked strokedesk"
fi

if [[ -x $tree/usr/bin/strokedesk-trace ]]; then
  if "$tree/usr/bin/strokedesk-trace" --help >/dev/null; then
    echo "strokedesk-trace --help: exit code 0"
  else
    fail "strokedesk-trace --help"
  fi
fi

for program in "$tree"/usr/bin/*; do
  page=$tree/usr/share/man/man1/$(basename "$program").1.gz
  if [[ ! -f $page ]]; then
    fail "no manual page for $(basename "$program")"
    continue
  fi
  if MANWIDTH=80 man --warnings -l "$page" >"$scratch/page.txt" 2>"$scratch/page.err" && [[ ! -s $scratch/page.err ]] \
      && [[ -s $scratch/page.txt ]]; then
    echo "man -l $(basename "$page"): $(wc -l <"$scratch/page.txt") lines"
  else
    cat "$scratch/page.err" >&2
    fail "man -l $(basename "$page")"
  fi
done
exit $failed
