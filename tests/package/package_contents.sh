#!/usr/bin/env bash
# The packages as files, without running anything: the zip holds exactly its
# listed files and the installer its components, each byte for byte the
# build's own, and every program and library in them is built for the
# build's processor (i386 for the shipped packages). This is what is checked
# of the shipped 32-bit packages on a machine that runs no 32-bit code.
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
  [sdk/vorn_uvc.h]=$root/vorn_uvc/vorn_uvc.h
  [sdk/libvorn_uvc.dll.a]=$build/lib/libvorn_uvc.dll.a
  [sdk/example.c]=$root/packaging/sdk/example.c
  [sdk/README.txt]=$root/packaging/sdk/README.txt
)
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
sdk/README.txt
sdk/example.c
sdk/libvorn_uvc.dll.a
sdk/vorn_uvc.h
simulated-camera/
simulated-camera/README.txt
simulated-camera/SonixCamera.dll
vorn_ctl.exe
vorn_uvc.dll"
listed=$(unzip -Z1 "$zip" | sort)
check "the zip holds exactly the listed files" test "$listed" = "$(sort <<<"$expected")"
[ "$listed" = "$(sort <<<"$expected")" ] || diff <(sort <<<"$expected") <(echo "$listed")
check "the zip unpacks" unzip -q "$zip" -d "$work/zip"
compare_tree "$work/zip" zip Vorn_Controls.exe vorn_uvc.dll vorn_ctl.exe sdk/vorn_uvc.h sdk/libvorn_uvc.dll.a \
  sdk/example.c sdk/README.txt simulated-camera/SonixCamera.dll
check "the zip's read-me names the version" grep -q "Vorn Controls $version" "$work/zip/README.txt"

echo "# the installer"
# 7-Zip reads the installer's data block: the files of every component, the
# installer's own plug-ins and the uninstaller it writes.
listed=$(7z l -ba -slt "$setup" | sed -n 's/^Path = //p' | grep -v '^\$PLUGINSDIR/' | sort)
expected="SonixCamera.dll
Uninstall.exe
Vorn_Controls.exe
sdk/README.txt
sdk/example.c
sdk/libvorn_uvc.dll.a
sdk/vorn_uvc.h
vorn_ctl.exe
vorn_uvc.dll"
check "the installer holds the program, the SDK and the simulated camera" test "$listed" = "$expected"
[ "$listed" = "$expected" ] || diff <(echo "$expected") <(echo "$listed")
check "the installer unpacks" 7z x -y -o"$work/setup" "$setup" >/dev/null
compare_tree "$work/setup" installer Vorn_Controls.exe vorn_uvc.dll vorn_ctl.exe sdk/vorn_uvc.h \
  sdk/libvorn_uvc.dll.a sdk/example.c sdk/README.txt SonixCamera.dll
check "the installer itself is built for machine $want_machine" test "$(pe_machine "$setup")" = "$want_machine"

finish
