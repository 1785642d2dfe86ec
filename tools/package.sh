#!/usr/bin/env bash
# Builds the release preset (optimised, stripped, static runtime) and makes
# the downloads with CPack in build/release/packages/:
#   Vorn-Controls-<version>-win32-setup.exe   the installer (NSIS)
#   Vorn-Controls-<version>-win32.zip         the portable form
#   SHA256SUMS                                over both
# Installs what is missing first (NSIS among it). Prints the sizes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "${JOBS:-2}"

build=$root/build/release
packages=$build/packages
rm -rf "$packages"
(cd "$build" && cpack -C Release >/dev/null)
(cd "$packages" && sha256sum -- *.exe *.zip >SHA256SUMS)

echo
echo "Release binaries (as shipped in the zip):"
unzip -l "$packages"/*.zip | awk '$4 ~ /\.(exe|dll)$/ {printf "%10s  %s\n", $1, $4}'
echo "Packages in $packages:"
(cd "$packages" && stat -c '%10s  %n' -- *.exe *.zip SHA256SUMS)
