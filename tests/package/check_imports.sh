#!/usr/bin/env bash
# Checks the shipped release binaries: stripped, and importing nothing but
# Windows system DLLs and each other (no MinGW runtime DLL). The camera
# library's own table check (check_abi.sh) runs on vorn_uvc.dll, so its
# SonixCamera.dll imports are the undecorated vendor names.
# Usage: check_imports.sh <objdump> <nm> <binary>...
set -uo pipefail
objdump=$1
nm=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

# Lower case; what a clean Windows installation provides.
system_dlls="kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll shlwapi.dll"
system_dlls+=" ole32.dll oleaut32.dll advapi32.dll gdiplus.dll msvcrt.dll ws2_32.dll"
shipped=""
for bin in "$@"; do shipped+=" $(basename "$bin" | tr 'A-Z' 'a-z')"; done

fail=0
for bin in "$@"; do
  name=$(basename "$bin")
  if [ ! -f "$bin" ]; then
    echo "$name: missing"; fail=1; continue
  fi
  dlls=$("$objdump" -p "$bin" | awk '/DLL Name:/ {print tolower($NF)}' | sort -u)
  [ -n "$dlls" ] || { echo "$name: no import table found"; fail=1; }
  for dll in $dlls; do
    case " $system_dlls $shipped " in
      *" $dll "*) ;;
      *) case "$dll" in
           api-ms-win-*) ;;
           *) echo "$name imports $dll, which is neither a system DLL nor shipped"; fail=1 ;;
         esac ;;
    esac
  done
  if "$objdump" -h "$bin" | grep -q '\.debug'; then
    echo "$name carries debug sections"; fail=1
  fi
  if "$nm" "$bin" 2>/dev/null | grep -q .; then
    echo "$name carries a symbol table (not stripped)"; fail=1
  fi
  echo "$name: $(echo $dlls)"
  if [ "$name" = vorn_uvc.dll ]; then
    bash "$here/../uvc/check_abi.sh" "$bin" "$objdump" || fail=1
  fi
done
[ "$fail" -eq 0 ] && echo "release binaries: stripped, system imports only"
exit "$fail"
