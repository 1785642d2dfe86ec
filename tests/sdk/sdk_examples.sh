#!/usr/bin/env bash
# The SDK used as an integrator uses it, from an sdk folder alone:
#  - examples/cmake: configured with find_package(vorn_uvc) and the MinGW
#    toolchain, built, and run under Wine against the simulated camera;
#  - tests/sdk/msvc_client.c: compiled for Microsoft's ABI
#    (clang --target=<cpu>-pc-windows-msvc), linked by lld-link against
#    lib/vorn_uvc.lib, and run under Wine.
# The processor is the SDK's own (its DLL's): i386, or x86-64 for the 64-bit
# twin. --build-only builds and checks both and runs nothing: the shipped
# 32-bit SDK on a machine that runs no 32-bit code.
# Usage: sdk_examples.sh [--build-only] <sdk folder> <scratch folder> [SonixCamera.dll]
# Running needs WINEPREFIX, a prefix for that processor.
set -uo pipefail
run=1
if [ "${1:-}" = --build-only ]; then
  run=0
  shift
fi
sdk=$(cd "$1" && pwd)
work=$2
sim=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

test=sdk_examples
. "$root/tests/support/checks.sh"
# quietly LOG COMMAND...: the command's output goes to LOG, and to this log
# when it fails.
quietly() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 && return 0
  sed 's/^/  | /' "$log"
  return 1
}

pe_machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] && od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}
case $(pe_machine "$sdk/bin/vorn_uvc.dll") in
014c) triplet=i686-w64-mingw32 toolchain=mingw-i686 msvc_target=i686-pc-windows-msvc lld_flags=(/machine:x86 /safeseh:no) ;;
8664) triplet=x86_64-w64-mingw32 toolchain=mingw-x86_64 msvc_target=x86_64-pc-windows-msvc lld_flags=(/machine:x64) ;;
*) echo "FAIL - $sdk/bin/vorn_uvc.dll is not a Windows DLL"; exit 1 ;;
esac
objdump=$triplet-objdump
rm -rf "$work"
mkdir -p "$work"

# Names a program imports from vorn_uvc.dll, and the names the DLL exports.
imports_from_library() {
  "$objdump" -p "$1" | awk '
    /DLL Name:/ {dll = $NF; next}
    dll == "vorn_uvc.dll" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ {print $NF}' | sort -u
}
exports=$("$objdump" -p "$sdk/bin/vorn_uvc.dll" |
  awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[[:space:]]*$/ {on=0} on {print $NF}' | sort)
imports_exported() {
  local names
  names=$(imports_from_library "$1")
  [ -n "$names" ] && [ -z "$(comm -23 <(echo "$names") <(echo "$exports"))" ]
}

# run_here NAME EXE: runs EXE in its own folder with the simulated camera
# beside it; its output in $work/NAME.txt.
run_here() {
  local name=$1 exe=$2 rc
  cp "$sim" "$(dirname "$exe")/"
  (cd "$(dirname "$exe")" && "$root/tools/wine-run.sh" "./$(basename "$exe")") >"$work/$name.txt" 2>&1
  rc=$?
  [ $rc -eq 0 ] && return 0
  echo "  $name exited with $rc and printed:"
  sed 's/^/  | /' "$work/$name.txt"
  return 1
}

echo "# examples/cmake with find_package, MinGW ($triplet)"
build=$work/cmake-build
check "examples/cmake configures against the sdk folder" quietly "$work/cmake-configure.log" \
  cmake -S "$sdk/examples/cmake" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DCMAKE_PREFIX_PATH="$sdk"
check "examples/cmake builds" quietly "$work/cmake-build.log" cmake --build "$build"
exe=$build/vorn_uvc_example.exe
# The link line, or the response file it reads its libraries from.
check "the CMake package gave MinGW's import library" \
  grep -qsF "$sdk/lib/libvorn_uvc.dll.a" "$build/CMakeFiles/vorn_uvc_example.dir/link.txt" \
  "$build/CMakeFiles/vorn_uvc_example.dir/linkLibs.rsp"
check "the example imports only what vorn_uvc.dll exports" imports_exported "$exe"
check "vorn_uvc.dll was copied beside the example" cmp -s "$build/vorn_uvc.dll" "$sdk/bin/vorn_uvc.dll"
if [ $run = 1 ]; then
  check "the CMake example runs against the simulated camera" run_here cmake-example "$exe"
  check "the CMake example lists the camera" grep -q "Camera 1: Vorn UC-20 Camera" "$work/cmake-example.txt"
fi

echo "# a Microsoft-ABI program ($msvc_target, lld-link, lib/vorn_uvc.lib)"
msvc=$work/msvc
mkdir -p "$msvc"
check "the client compiles for Microsoft's ABI with the SDK's header" quietly "$work/msvc-compile.log" \
  clang --target="$msvc_target" -ffreestanding -O1 -Wall -Wextra -Werror -c \
  -I"$sdk/include" -I"$here/msvc_include" "$here/msvc_client.c" -o "$msvc/msvc_client.obj"
check "lld-link links it against vorn_uvc.lib" quietly "$work/msvc-link.log" \
  lld-link /nologo /subsystem:console /entry:entry /nodefaultlib "${lld_flags[@]}" \
  /out:"$msvc/msvc_client.exe" "$msvc/msvc_client.obj" "$sdk/lib/vorn_uvc.lib" "/usr/$triplet/lib/libkernel32.a"
check "it imports undecorated names that vorn_uvc.dll exports" imports_exported "$msvc/msvc_client.exe"
if [ $run = 1 ]; then
  cp "$sdk/bin/vorn_uvc.dll" "$msvc/"
  check "the Microsoft-ABI client runs against the simulated camera" run_here msvc-client "$msvc/msvc_client.exe"
fi

finish
