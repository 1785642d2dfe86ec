#!/usr/bin/env bash
# The shipped program on the screens users have: for each work area and
# scale an X display of that size, a Wine desktop as large, the scale set in
# the prefix, and window_screens_check.exe driving Vorn_Controls.exe in it.
# One Wine start per screen, in a prefix of its own
# (<build>/wineprefix-screens), so the shared test prefix keeps its scale.
#   tests/window/screens_test.sh <build folder> [WxH:DPI[:resize] ...]
# VORN_SCREENS_DISPLAYS="FIRST LAST" chooses the X display numbers tried
# (default 110 119).
set -euo pipefail
build=$(cd "$1" && pwd)
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
screens=("$@")
if [ ${#screens[@]} -eq 0 ]; then
  # 1366x768 and 1280x800 laptops at 100 %, 1920x1080 at 125 % and 150 %,
  # 2560x1440 at 200 %, each less its task bar; 1920x1080 at 100 %; and a
  # 1440p screen at 100 % with room for the window at 1.5 times its size.
  screens=(1366x728:96 1280x752:96 1920x1020:120 1920x1008:144 2560x1344:192 1920x1032:96 2560x1400:96:resize)
fi
read -r first_display last_display <<<"${VORN_SCREENS_DISPLAYS:-110 119}"

export WINEPREFIX=$build/wineprefix-screens WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe="
VORN_WINE_DESKTOP=0 "$root/tools/wine-run.sh" --init "$build"
out=$build/screens-test
mkdir -p "$out"

xvfb_pid=""
stop() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=""
}
trap stop EXIT

start_display() {
  local n size=$1 dpi=$2
  for n in $(seq "$first_display" "$last_display"); do
    { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
    Xvfb ":$n" -screen 0 "${size}x24" -dpi "$dpi" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "no X display could be started in $first_display..$last_display" >&2
  return 1
}

# Wine's drive Z: is the root folder.
windows_path() { local p=$1; echo "Z:${p//\//\\}"; }

failed=0
started=$SECONDS
for screen in "${screens[@]}"; do
  IFS=: read -r size dpi resize <<<"$screen"
  start_display "$size" "$dpi"
  xml=$out/$size-$dpi.xml
  rm -f "$xml"
  args=(--dpi "$dpi")
  [ "$resize" = resize ] && args+=(--resize)
  begun=$SECONDS
  # The program ends the desktop when its last window closes.
  "$root/tools/wine-run.sh" explorer "/desktop=vorn-screens,$size" "$(windows_path "$build/bin/window_screens_check.exe")" \
    "${args[@]}" "--gtest_output=xml:$(windows_path "$xml")" >"$out/$size-$dpi.log" 2>&1 || true
  stop
  if [ -s "$xml" ] && grep -q 'tests="1"' "$xml" && grep -q '<testsuites[^>]* failures="0"' "$xml"; then
    echo "ok   $screen ($((SECONDS - begun)) s): $(grep -m1 '^work area' "$out/$size-$dpi.log" || true)"
  else
    echo "FAIL $screen ($((SECONDS - begun)) s), log $out/$size-$dpi.log:"
    grep -v '^\(bit\[\|Success\|AWB\|No\. \|Camera is\|open camera\)' "$out/$size-$dpi.log" | tail -40
    failed=1
  fi
done
echo "$((SECONDS - started)) s for ${#screens[@]} screens"
exit $failed
