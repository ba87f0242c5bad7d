#!/bin/bash
# The Debian package: built with cpack into a temporary folder, its control
# fields read, its content unpacked with dpkg-deb -x and the packaged program
# run. Argument: the build folder.
set -u
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$tmp"/quillmore_*.deb 2>/dev/null)
[ -f "$deb" ] || { cat "$tmp/cpack.log"; echo "FAIL: no quillmore_*.deb"; exit 1; }

version=$(sed -nE 's/^CMAKE_PROJECT_VERSION:STATIC=(.*)/\1/p' "$build/CMakeCache.txt")
[ "$(dpkg-deb -f "$deb" Package)" = quillmore ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "package version, not $version-1"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 'libstdc\+\+6' 'libncursesw?6' libssl3 zlib1g libcairo2 'libpng16-16'; do
  echo "$depends" | grep -qE "(^|, )($library) " || fail "Depends: $depends lacks $library"
done
# Only runtime libraries: nothing to build with, nothing beyond what the figures need.
echo "$depends" | grep -qE -- '-dev|fontconfig|libx11' && fail "Depends: $depends holds more"
[ "$(dpkg-deb -f "$deb" Recommends)" = fonts-dejavu-core ] || fail "Recommends: fonts-dejavu-core"
dpkg-deb -f "$deb" Description | grep -q 'dose coefficients' || fail "no description"
# Lintian's errors are policy violations a Debian archive would reject.
lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log"; fail "lintian"; }

dpkg-deb -x "$deb" "$tmp/root" || fail "dpkg-deb -x"
for file in usr/bin/quillmore usr/bin/quillmore-sample-data usr/share/man/man5/quillmore-data.5.gz \
  usr/share/bash-completion/completions/quillmore-batch usr/share/doc/quillmore/README.md \
  usr/share/doc/quillmore/copyright usr/share/doc/quillmore/changelog.Debian.gz; do
  [ -e "$tmp/root/$file" ] || fail "$file not in the package"
done
cd "$tmp" || exit 1
[ "$("$tmp/root/usr/bin/quillmore-batch" --version)" = "quillmore-batch $version" ] ||
  fail "packaged quillmore-batch --version"

# The Python module is a package of its own, python3-quillmore, imported
# by Debian's python3 from its unpacked dist-packages, in another folder.
if [ -d "$build/python/quillmore" ]; then
  pydeb=$(ls "$tmp"/python3-quillmore_*.deb 2>/dev/null)
  [ -f "$pydeb" ] || fail "no python3-quillmore_*.deb"
  depends=$(dpkg-deb -f "$pydeb" Depends)
  for package in python3 python3-numpy python3-pandas libc6; do
    echo "$depends" | grep -qE "(^|, )$package( |,|$)" || fail "python3-quillmore Depends: $depends lacks $package"
  done
  dpkg-deb -c "$deb" | grep -q python3 && fail "the module is in the quillmore package too"
  lintian --fail-on error "$pydeb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log"; fail "lintian"; }
  dpkg-deb -x "$pydeb" "$tmp/pyroot" || fail "dpkg-deb -x python3-quillmore"
  site="$tmp/pyroot/usr/lib/python3/dist-packages"
  readelf -S "$site"/quillmore/_core.*.so | grep -qE '\.symtab|\.debug_info' &&
    fail "packaged module is not stripped"
  PYTHONPATH="$site" /usr/bin/python3 -c 'import quillmore; print(quillmore.__file__)' \
    >"$tmp/import" 2>&1 || fail "packaged module: $(cat "$tmp/import")"
  grep -q "^$site/quillmore/__init__.py$" "$tmp/import" || fail "imported $(cat "$tmp/import")"
fi

[ "$failures" -eq 0 ] && echo "package_test: all passed"
exit "$failures"
