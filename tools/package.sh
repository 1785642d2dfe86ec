#!/usr/bin/env bash
# Builds the release preset (optimised, stripped, static runtime) and makes
# the downloads with CPack in build/release/packages/:
#   Vorn-Controls-<version>-win32-setup.exe   the installer (NSIS)
#   Vorn-Controls-<version>-win32.zip         the portable form
#   SHA256SUMS                                over both
# Installs what is missing first (NSIS among it). Prints the sizes.
#   tools/package.sh [release|release64]
# release64 makes the 64-bit twin in build/release64 (-win64- in the names),
# which only the tests use, on machines that run no 32-bit code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=${1:-release}
case $preset in
release | release64) ;;
*) echo "usage: tools/package.sh [release|release64]" >&2; exit 2 ;;
esac

tools/install-deps.sh

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "${JOBS:-2}"

build=$root/build/$preset
packages=$build/packages
rm -rf "$packages"
(cd "$build" && cpack -C Release >/dev/null)
(cd "$packages" && sha256sum -- *.exe *.zip >SHA256SUMS)

echo
echo "Release binaries (as shipped in the zip):"
unzip -l "$packages"/*.zip | awk '$4 ~ /\.(exe|dll)$/ {printf "%10s  %s\n", $1, $4}'
echo "Packages in $packages:"
(cd "$packages" && stat -c '%10s  %n' -- *.exe *.zip SHA256SUMS)
