#!/usr/bin/env bash
# The whole test run: installs what is missing, builds the native (ASan+UBSan)
# and Windows presets, and runs every test: native first, then the threading
# tests under ThreadSanitizer, the bounded fuzzing runs, the Windows programs
# under Wine (GUI tests on an Xvfb display; the win32 build, or win64 where
# the machine runs no 32-bit code), and last the release build with its
# packages (tools/package.sh) and their tests. Exits non-zero when anything
# failed. A second run reuses what is installed and built.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
failed=()

tools/install-deps.sh || { echo "installing dependencies failed"; exit 1; }

step() { echo; echo "==== $*"; }

step "native build (gcc, ASan+UBSan)"
if cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs"; then
  step "native tests"
  ctest --preset native -j "$jobs" || failed+=(native)
else
  failed+=(native-build)
fi

if grep -q '"native-tsan"' CMakePresets.json && [ -f tests/threads/CMakeLists.txt ]; then
  step "native tests under ThreadSanitizer"
  if cmake --preset native-tsan >/dev/null && cmake --build --preset native-tsan -j "$jobs" --target threads_tests; then
    ctest --preset native-tsan -R threads || failed+=(tsan)
  else
    failed+=(tsan-build)
  fi
fi

if [ -x tools/fuzz.sh ]; then
  step "fuzzing (bounded)"
  tools/fuzz.sh || failed+=(fuzz)
fi

# The Windows programs run under the Wine this machine can run: the shipped
# 32-bit build, or where no 32-bit x86 code runs at all, the 64-bit build of
# the same sources (tools/wine-arch.sh).
arch=$(tools/wine-arch.sh)
[ "$arch" = win32 ] || echo "This machine runs no 32-bit x86 code: the Windows tests run the $arch build."
step "$arch build (MinGW-w64)"
if cmake --preset "$arch" >/dev/null && cmake --build --preset "$arch" -j "$jobs"; then
  tools/wine-run.sh --init "build/$arch"
  # One X display for all GUI tests; a user's display is left alone.
  xvfb_pid=""
  if [ -z "${DISPLAY:-}" ]; then
    . tools/xvfb.sh
    start_xvfb 90 120 || failed+=(xvfb)
  fi
  step "$arch tests under Wine (DISPLAY=${DISPLAY:-none})"
  # The soak test's full 100,000 frames take about 40 minutes under Wine
  # (VORN_SOAK_FRAMES=100000); the test run keeps it to a leak check.
  export VORN_SOAK_FRAMES=${VORN_SOAK_FRAMES:-5000}
  ctest --preset "$arch" -j "$jobs" || failed+=("$arch")
  WINEPREFIX=$root/build/$arch/wineprefix wineserver -k 2>/dev/null || true

  # The release build shares nothing with the test builds; it is built once
  # here and its packages are installed in a Wine prefix of their own.
  step "release build and packages"
  if JOBS=$jobs tools/package.sh release; then
    if [ "$arch" = win32 ]; then
      step "release binaries and package tests under Wine"
      ctest --preset release || failed+=(packages)
      WINEPREFIX=$root/build/release/wineprefix-package wineserver -k 2>/dev/null || true
    else
      # The shipped 32-bit files are checked as files; the installer and the
      # zip are run as their 64-bit twin, made from the same sources.
      step "release binaries and packages, checked as files"
      ctest --preset release -L static || failed+=(packages)
      step "64-bit twin of the packages under Wine"
      if JOBS=$jobs tools/package.sh release64; then
        ctest --preset release64 || failed+=(packages64)
        WINEPREFIX=$root/build/release64/wineprefix-package wineserver -k 2>/dev/null || true
      else
        failed+=(package64-build)
      fi
    fi
  else
    failed+=(package-build)
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
else
  failed+=("$arch-build")
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
exit 0
