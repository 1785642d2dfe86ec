#!/usr/bin/env bash
# Prints the Windows build whose programs this machine can run under Wine:
#   win32  the shipped 32-bit build (32-bit Wine runs as 32-bit x86 Linux code)
#   win64  the 64-bit test build of the same sources, on machines whose
#          kernel or hypervisor runs no 32-bit x86 code at all (the 32-bit
#          Wine then fails with "Exec format error")
# VORN_WINE_ARCH=win32|win64 overrides the probe.
set -uo pipefail

case "${VORN_WINE_ARCH:-}" in
win32 | win64)
  echo "$VORN_WINE_ARCH"
  exit 0
  ;;
"") ;;
*)
  echo "VORN_WINE_ARCH must be win32 or win64, not '$VORN_WINE_ARCH'" >&2
  exit 2
  ;;
esac

# The smallest static i386 Linux program: exit(42).
probe=$(mktemp "${TMPDIR:-/tmp}/vorn-i386-probe.XXXXXX")
trap 'rm -f "$probe"' EXIT
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'\
'\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00'\
'\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
if [ $? -eq 42 ]; then echo win32; else echo win64; fi
