#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the build folder's own
# 32-bit prefix (created on first use). Used by ctest as the emulator.
set -euo pipefail
exe=$1
if [ -z "${WINEPREFIX:-}" ]; then
  build=$(cd "$(dirname "$exe")/.." && pwd)
  export WINEPREFIX="$build/wineprefix"
fi
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts on a closed network.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.vorn-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.vorn-ready" ]; then
      wineboot --init >/dev/null 2>&1 || true
      wineserver --wait || true
      touch "$WINEPREFIX/.vorn-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" wine "$@"
fi
exec wine "$@"
