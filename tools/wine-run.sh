#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the build folder's own
# 32-bit prefix (created on first use). ctest uses it as the emulator.
#   tools/wine-run.sh prog.exe args...    run (the prefix is <build>/wineprefix)
#   tools/wine-run.sh --init <build>      only create the prefix
set -euo pipefail

init_prefix() {
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
}

export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts on a closed network.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ "${1:-}" = "--init" ]; then
  export WINEPREFIX=${WINEPREFIX:-$(cd "$2" && pwd)/wineprefix}
  init_prefix
  exit 0
fi

exe=$1
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$(cd "$(dirname "$exe")/.." && pwd)/wineprefix"
fi
init_prefix
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" wine "$@"
fi
exec wine "$@"
