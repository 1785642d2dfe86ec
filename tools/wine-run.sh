#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the build folder's own
# 32-bit prefix (created on first use). ctest uses it as the emulator.
#   tools/wine-run.sh prog.exe args...    run (the prefix is <build>/wineprefix)
#   tools/wine-run.sh --init <build>      only create the prefix
# The prefix is 32-bit for the win32 build and 64-bit for the win64 one:
# WINEARCH when set, else the program's own PE header, else the build's
# toolchain, else what tools/wine-arch.sh finds this machine runs.
# VORN_WINE_DESKTOP=0 creates a prefix whose windows go straight to the display.
# VORN_WINE_FONTS=1 puts Wine's own fonts into the prefix (the demo and the
# screenshots: window captions and dialogs look as on Windows).
set -euo pipefail

# Wine's own fonts (Marlett, which draws the caption buttons; Tahoma, the
# dialog font) are installed in /usr/share/wine/fonts, but this Wine build
# looks for them at "Z:\usr\share\wine\../fonts", a path its file layer
# does not resolve, so no prefix gets them and the caption buttons show the
# letters "0 1 r". Fonts in the prefix's own Fonts folder are found.
install_wine_fonts() {
  local from=/usr/share/wine/fonts to=$WINEPREFIX/drive_c/windows/Fonts
  [ -f "$from/marlett.ttf" ] || return 0
  [ -f "$to/marlett.ttf" ] && return 0
  mkdir -p "$to"
  cp "$from"/* "$to"/
}

init_prefix() {
  # v2: all windows live in a Wine virtual desktop. Without a window manager
  # on Xvfb every show or hide of a top-level window otherwise waits ~2 s.
  if [ ! -f "$WINEPREFIX/.vorn-ready-2" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
      flock 9
      if [ ! -f "$WINEPREFIX/.vorn-ready-2" ]; then
        [ -f "$WINEPREFIX/.vorn-ready" ] || "$wine" wineboot --init >/dev/null 2>&1 || true
        if [ "${VORN_WINE_DESKTOP:-1}" = 1 ]; then
          "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || true
          "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1000 /f >/dev/null 2>&1 || true
        fi
        wineserver --wait || true
        touch "$WINEPREFIX/.vorn-ready" "$WINEPREFIX/.vorn-ready-2"
      fi
    ) 9>"$WINEPREFIX.lock"
  fi
  if [ "${VORN_WINE_FONTS:-0}" = 1 ]; then install_wine_fonts; fi
}

here=$(cd "$(dirname "$0")" && pwd)

# win32 or win64 from a PE file's machine field, nothing for other files.
pe_arch() {
  [ -f "$1" ] || return 0
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [ -n "$pe" ] || return 0
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
  014c) echo win32 ;;
  8664) echo win64 ;;
  esac
}
build_arch() {
  case $(grep -s '^CMAKE_TOOLCHAIN_FILE' "$1/CMakeCache.txt") in
  *x86_64*) echo win64 ;;
  *i686* | *i386*) echo win32 ;;
  esac
}
# Debian's wine and wineboot commands take the 32-bit loader whenever it is
# installed; a 64-bit prefix names the 64-bit one.
use_arch() {
  export WINEARCH=$1
  wine=wine
  if [ "$WINEARCH" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
    export WINELOADER=$wine
  fi
}

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts on a closed network.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ "${1:-}" = "--init" ]; then
  arch=${WINEARCH:-$(build_arch "$2")}
  use_arch "${arch:-$("$here/wine-arch.sh")}"
  export WINEPREFIX=${WINEPREFIX:-$(cd "$2" && pwd)/wineprefix}
  init_prefix
  exit 0
fi

# Wine's service processes (services.exe, winedevice.exe, rpcss.exe...) are
# started by whichever program first needs them and keep that program's
# stderr open for as long as any Wine program of the prefix runs. A caller
# that waits for the end of the program's pipes, as ctest does, then waits
# long after the program has ended: a test passes and still times out. So
# Wine's stderr goes to a file of this run, passed on when the program ends;
# stdout stays direct (no service process keeps it).
run_wine() {
  local err pid status=0
  err=$(mktemp "${TMPDIR:-/tmp}/wine-run-stderr.XXXXXX")
  # (a background command's stdin would otherwise be /dev/null)
  if { : <&0; } 2>/dev/null; then "$@" <&0 2>"$err" & else "$@" 2>"$err" & fi
  pid=$!
  trap 'kill -TERM "$pid" 2>/dev/null' TERM INT HUP
  # A trapped signal ends a wait early; wait again until the program is gone.
  while :; do
    status=0
    wait "$pid" || status=$?
    kill -0 "$pid" 2>/dev/null || break
  done
  cat "$err" >&2
  rm -f "$err"
  return "$status"
}

exe=$1
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$(cd "$(dirname "$exe")/.." && pwd)/wineprefix"
fi
arch=${WINEARCH:-$(pe_arch "$exe")}
[ -n "$arch" ] || arch=$(build_arch "$(dirname "$WINEPREFIX")")
use_arch "${arch:-$("$here/wine-arch.sh")}"
init_prefix
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run_wine xvfb-run -a -s "-screen 0 1600x1000x24" "$wine" "$@"
else
  run_wine "$wine" "$@"
fi
