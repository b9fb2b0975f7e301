#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks it: the files are
# in their places, the dependencies are declared, and the installed
# tarnwell-cli, unpacked into a scratch folder (not installed into the
# system), finds its tables beside itself.
#   CheckDebianPackage.sh BUILD_DIRECTORY
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "cpack could not build the package"
fi
packages=("$scratch"/out/tarnwell_*.deb)
[[ -f ${packages[0]} ]] || fail "no tarnwell_*.deb in $scratch/out"
package=${packages[0]}
echo "package: $(basename "$package")"

# Column 6 of dpkg-deb -c is the path; links carry "-> target" after it.
listing=$(dpkg-deb -c "$package")
paths=$(awk '{print $6}' <<<"$listing")
for path in ./usr/lib/tarnwell/tarnwell ./usr/lib/tarnwell/tarnwell-cli \
            ./usr/lib/tarnwell/ellips.csv ./usr/lib/tarnwell/projs.csv \
            ./usr/bin/tarnwell ./usr/bin/tarnwell-cli \
            ./usr/share/applications/tarnwell.desktop ./usr/share/icons/hicolor/128x128/apps/tarnwell.png \
            ./usr/share/doc/tarnwell/manual/index.html ./usr/share/doc/tarnwell/manual/images/page0-point.png; do
  grep -qxF -- "$path" <<<"$paths" || fail "$path is not in the package"
done
for program in tarnwell tarnwell-cli; do
  grep -qF -- "./usr/bin/$program -> ../lib/tarnwell/$program" <<<"$listing" || fail "/usr/bin/$program is no link to the program"
done

[[ $(dpkg-deb -f "$package" Package) == tarnwell ]] || fail "package name"
[[ $(dpkg-deb -f "$package" Version) == 1.0.0.1 ]] || fail "version $(dpkg-deb -f "$package" Version)"
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6gui6 libqt6core6 libproj libalglib libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends names no $library"
done
# (Read whole before grep: a grep -q that stops early would break the pipe.)
info=$(dpkg-deb -I "$package")
grep -q "^ Description: coordinate conversion" <<<"$info" || fail "no description"

# The unpacked tree as installed: the link in bin leads to the program, and
# the program to its tables.
dpkg-deb -x "$package" "$scratch/root"
ellipsoids=$("$scratch/root/usr/bin/tarnwell-cli" ellipsoids) || fail "tarnwell-cli ellipsoids failed"
grep -q '^WGS84,6378137,' <<<"$ellipsoids" || fail "the installed tarnwell-cli lists no WGS84: $ellipsoids"
[[ $(grep -c . <<<"$ellipsoids") == $(grep -c . "$scratch/root/usr/lib/tarnwell/ellips.csv") ]] ||
  fail "the installed tarnwell-cli does not list every ellipsoid of its table"
[[ -f "$scratch/root/usr/lib/tarnwell/@TARNWELL_MANUAL_FROM_PROGRAM@/index.html" ]] ||
  fail "the manual is not where the installed program looks for it"
echo "package checked"
