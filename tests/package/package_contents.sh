#!/usr/bin/env bash
# The packages as files, without running anything: the zip holds exactly its
# listed files and the installer its components, each byte for byte the
# build's own, and every program and library in them is built for the
# build's processor (i386 for the shipped packages); the SDK is the same in
# both, its import libraries name exactly the DLL's exports, and its examples
# build from it. This is what is checked of the shipped 32-bit packages on a
# machine that runs no 32-bit code.
# Usage: package_contents.sh <release build folder> <version>
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
test=contents
. "$(dirname "$0")/package_env.sh"
for f in "$setup" "$zip"; do
  [ -f "$f" ] || { echo "$f is missing: run tools/package.sh first"; exit 1; }
done
rm -rf "$work"
mkdir -p "$work"

# The PE header's machine field: 014c i386, 8664 x86-64.
pe_machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] && od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}
want_machine=014c
[ "$arch" = win64 ] && want_machine=8664

# package path -> file of the build it must equal
declare -A built=(
  [Vorn_Controls.exe]=$build/bin/Vorn_Controls.exe
  [vorn_uvc.dll]=$build/bin/vorn_uvc.dll
  [vorn_ctl.exe]=$build/bin/vorn_ctl.exe
  [sdk/README.txt]=$root/packaging/sdk/README.txt
  [sdk/sdk.md]=$root/docs/sdk.md
  [sdk/include/vorn_uvc.h]=$root/vorn_uvc/vorn_uvc.h
  [sdk/lib/vorn_uvc.lib]=$build/lib/vorn_uvc.lib
  [sdk/lib/libvorn_uvc.dll.a]=$build/lib/libvorn_uvc.dll.a
  [sdk/lib/vorn_uvc.def]=$build/lib/vorn_uvc.def
  [sdk/lib/cmake/vorn_uvc/vorn_uvcConfig.cmake]=$root/packaging/sdk/cmake/vorn_uvcConfig.cmake
  [sdk/lib/cmake/vorn_uvc/vorn_uvcConfigVersion.cmake]=$build/packaging/sdk/vorn_uvcConfigVersion.cmake
  [sdk/bin/vorn_uvc.dll]=$build/bin/vorn_uvc.dll
  [sdk/python/vorn_uvc.py]=$root/packaging/sdk/python/vorn_uvc.py
  [sdk/csharp/VornUvc.cs]=$root/packaging/sdk/csharp/VornUvc.cs
  [sdk/examples/cmake/CMakeLists.txt]=$root/packaging/sdk/examples/cmake/CMakeLists.txt
  [sdk/examples/cmake/main.c]=$root/packaging/sdk/examples/cmake/main.c
)
# The SDK's files, the same in both packages.
sdk_files=$(printf '%s\n' "${!built[@]}" | grep '^sdk/' | sort)
# compare_tree DIR WHAT PATH...: each PATH under DIR equals the build's file,
# and each binary is built for the wanted processor.
compare_tree() {
  local dir=$1 what=$2 p from
  shift 2
  for p in "$@"; do
    from=${built[$p]:-$build/bin/SonixCamera.dll}
    check "$what: $p is the build's own" cmp -s "$dir/$p" "$from"
    case $p in
    *.exe | *.dll) check "$what: $p is built for machine $want_machine" test "$(pe_machine "$dir/$p")" = "$want_machine" ;;
    esac
  done
}

echo "# the zip"
expected="README.txt
Vorn_Controls.exe
sdk/
sdk/bin/
sdk/csharp/
sdk/examples/
sdk/examples/cmake/
sdk/include/
sdk/lib/
sdk/lib/cmake/
sdk/lib/cmake/vorn_uvc/
sdk/python/
$sdk_files
simulated-camera/
simulated-camera/README.txt
simulated-camera/SonixCamera.dll
vorn_ctl.exe
vorn_uvc.dll"
listed=$(unzip -Z1 "$zip" | sort)
check "the zip holds exactly the listed files" test "$listed" = "$(sort <<<"$expected")"
[ "$listed" = "$(sort <<<"$expected")" ] || diff <(sort <<<"$expected") <(echo "$listed")
check "the zip unpacks" unzip -q "$zip" -d "$work/zip"
compare_tree "$work/zip" zip Vorn_Controls.exe vorn_uvc.dll vorn_ctl.exe $sdk_files simulated-camera/SonixCamera.dll
check "the zip's read-me names the version" grep -q "Vorn Controls $version" "$work/zip/README.txt"

echo "# the installer"
# 7-Zip reads the installer's data block: the files of every component, the
# installer's own plug-ins and the uninstaller it writes.
listed=$(7z l -ba -slt "$setup" | sed -n 's/^Path = //p' | grep -v '^\$PLUGINSDIR/' | sort)
expected=$(sort <<EOF
SonixCamera.dll
Uninstall.exe
Vorn_Controls.exe
$sdk_files
vorn_ctl.exe
vorn_uvc.dll
EOF
)
check "the installer holds the program, the SDK and the simulated camera" test "$listed" = "$expected"
[ "$listed" = "$expected" ] || diff <(echo "$expected") <(echo "$listed")
check "the installer unpacks" 7z x -y -o"$work/setup" "$setup" >/dev/null
compare_tree "$work/setup" installer Vorn_Controls.exe vorn_uvc.dll vorn_ctl.exe $sdk_files SonixCamera.dll
check "the installer itself is built for machine $want_machine" test "$(pe_machine "$setup")" = "$want_machine"

echo "# the SDK"
check "the zip's sdk folder and the installer's are the same" diff -r "$work/zip/sdk" "$work/setup/sdk"
sdk=$work/zip/sdk
[ "$arch" = win64 ] && objdump=x86_64-w64-mingw32-objdump || objdump=i686-w64-mingw32-objdump
exports=$("$objdump" -p "$sdk/bin/vorn_uvc.dll" |
  awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[[:space:]]*$/ {on=0} on {print $NF}' | sort)
def_names=$(awk '/^EXPORTS/ {on=1; next} on && NF {print $1}' "$sdk/lib/vorn_uvc.def" | sort)
check "vorn_uvc.def names exactly the DLL's $(wc -w <<<"$exports") exports" test "$def_names" = "$exports"
# Microsoft's linker looks for __imp__name on i386 (cdecl's underscore), __imp_name on x86-64.
if [ "$arch" = win64 ]; then lib_format=coff-x86-64 decoration=; else lib_format=coff-i386 decoration=_; fi
lib_names=$(llvm-nm "$sdk/lib/vorn_uvc.lib" 2>/dev/null | awk '$2 == "T" && $3 ~ /^__imp_/ {print $3}' |
  sed "s/^__imp_$decoration//" | sort)
check "vorn_uvc.lib imports exactly those exports" test "$lib_names" = "$exports"
# Its import descriptors are objects of the processor; the rest is one short import record per export.
check "vorn_uvc.lib is a $lib_format import library" \
  test "$(llvm-objdump -a "$sdk/lib/vorn_uvc.lib" | sed -n 's/.*file format //p' | grep -v COFF-import-file | sort -u)" = "$lib_format"
[ "$arch" = win64 ] && pointer=8 || pointer=4
version_file=$sdk/lib/cmake/vorn_uvc/vorn_uvcConfigVersion.cmake
package_version_is() {
  grep -qF "PACKAGE_VERSION \"$version\"" "$version_file" &&
    grep -qF "NOT CMAKE_SIZEOF_VOID_P STREQUAL \"$pointer\"" "$version_file"
}
check "the CMake package is version $version, for $((pointer * 8))-bit programs only" package_version_is
# Built, not run: this is the check the shipped SDK gets where no 32-bit code runs.
examples_log=$work/sdk-examples.txt
build_examples() { bash "$root/tests/sdk/sdk_examples.sh" --build-only "$sdk" "$work/sdk-examples" >"$examples_log" 2>&1; }
check "the SDK's examples build from the zip's sdk folder" build_examples
sed 's/^/  /' "$examples_log"

finish
