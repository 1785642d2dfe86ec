#!/usr/bin/env bash
# Installs the Debian packages the builds, tests and demo need; skips what is
# already there, so a second run costs a few dpkg queries.
set -euo pipefail

pkgs=(cmake make g++ gcc googletest libbenchmark-dev libjpeg-dev libstb-dev nlohmann-json3-dev
      clang libclang-rt-14-dev
      g++-mingw-w64-i686 binutils-mingw-w64-i686
      wine xvfb xauth imagemagick x11-utils
      nsis zip unzip p7zip-full procps
      python3 mono-mcs mono-runtime lld llvm)  # the SDK: its bindings, vorn_uvc.lib, its Microsoft-ABI example
# The Windows programs are tested under the Wine this machine can run: the
# 32-bit one where 32-bit x86 code runs, else the 64-bit one with the 64-bit
# test build (tools/wine-arch.sh).
if [ "$("$(dirname "$0")/wine-arch.sh")" = win32 ]; then
  pkgs+=(wine32:i386)
else
  pkgs+=(wine64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
fi

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync serves an index that doesn't match its release
# file, and the i386 packages then can't be resolved; it settles within
# minutes, so both steps are retried before giving up.
for attempt in 1 2 3 4 5 6; do
  if $SUDO apt-get update -q 2>&1 | tee /dev/stderr | grep -q '^E:'; then
    echo "install-deps: the package index was incomplete (attempt $attempt)" >&2
  fi
  $SUDO apt-get install -y -q "${missing[@]}" && exit 0
  # With one architecture's security index missing, the two architectures'
  # candidates differ and multiarch pairs can't be resolved; the release's
  # own versions agree on both.
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] && $SUDO apt-get install -y -q -t "$codename" "${missing[@]}" && exit 0
  [ "$attempt" -lt 6 ] && sleep 30
done
echo "install-deps: could not install ${missing[*]}" >&2
exit 1
