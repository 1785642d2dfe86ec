#!/usr/bin/env bash
# The SDK's CMake package on its own: lays out an SDK folder around
# packaging/sdk/cmake/vorn_uvcConfig.cmake (and one without its DLL) and
# configures tests/sdk/cmake_package against them.
# Usage: cmake_package.sh <scratch folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$1
rm -rf "$work"
for sdk in "$work/sdk" "$work/incomplete"; do
  mkdir -p "$sdk/include" "$sdk/bin" "$sdk/lib/cmake/vorn_uvc"
  cp "$here/../../packaging/sdk/cmake/vorn_uvcConfig.cmake" "$sdk/lib/cmake/vorn_uvc/"
  touch "$sdk/include/vorn_uvc.h" "$sdk/bin/vorn_uvc.dll" "$sdk/lib/vorn_uvc.lib" "$sdk/lib/libvorn_uvc.dll.a"
done
rm "$work/incomplete/bin/vorn_uvc.dll"
cmake -S "$here/cmake_package" -B "$work/build" -DVORN_SDK="$work/sdk" -DVORN_SDK_INCOMPLETE="$work/incomplete"
