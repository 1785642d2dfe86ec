#!/usr/bin/env bash
# Builds the Windows tool and runs it under Wine against the simulated camera.
#   tools/run.sh
# Installs what is missing first. With a display ($DISPLAY) the tool opens
# there; without one it runs on a virtual X display, a screenshot of the
# running window is saved (the path is printed), and it keeps running until
# interrupted (Ctrl-C). Set SONIXCAM_SIM to a scenario file to choose the
# simulated cameras; without it the simulator's built-in camera is used.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# --- what the build and the run need --------------------------------------
tools/install-deps.sh

# --- build ------------------------------------------------------------------
# The 32-bit build, or the 64-bit one on a machine that runs no 32-bit code.
arch=$(tools/wine-arch.sh)
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" --target Vorn_Controls -j "${JOBS:-2}"
build=$root/build/$arch
exe=$build/bin/Vorn_Controls.exe
# The demo's own prefix: its windows go to the user's display as they are,
# while the test prefix keeps everything in a virtual desktop.
export WINEPREFIX=$build/wineprefix-demo VORN_WINE_DESKTOP=0 VORN_WINE_FONTS=1
tools/wine-run.sh --init "$build"

# --- display ------------------------------------------------------------------
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  . tools/xvfb.sh
  start_xvfb 70 99 || exit 1
fi

# --- run ------------------------------------------------------------------------
echo "Starting $exe (DISPLAY=$DISPLAY)"
if [ $headless -eq 1 ]; then
  # No window manager on the virtual display: a Wine desktop draws the
  # window frames so the screenshot looks like the program on Windows.
  tools/wine-run.sh explorer "/desktop=vorn,1600x1000" "$exe" &
else
  tools/wine-run.sh "$exe" &
fi
app_pid=$!

# Give the program time to start Wine, open the camera and draw its window
# (bounded; SHOT_DELAY seconds, 8 by default).
for _ in $(seq $((${SHOT_DELAY:-8} * 10))); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$app_pid" 2>/dev/null; then
  echo "Vorn_Controls.exe has ended (it ends at once when it finds no usable camera)" >&2
fi

if [ $headless -eq 1 ]; then
  mkdir -p "$build/screenshots"
  shot=$build/screenshots/vorn_controls_$(date +%Y%m%d_%H%M%S).png
  if import -window root "$shot"; then
    echo "Screenshot: $shot"
  else
    echo "could not save a screenshot" >&2
  fi
fi

echo "Running; press Ctrl-C to stop."
wait "$app_pid" || true
