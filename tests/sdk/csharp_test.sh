#!/usr/bin/env bash
# Compiles the C# binding with its test (Debian's mcs) and runs it with mono
# against the native library; DllImport("vorn_uvc") finds libvorn_uvc.so
# through mono's own name mapping on LD_LIBRARY_PATH.
# Usage: csharp_test.sh <scratch folder> <folder of libvorn_uvc.so> <vorn_uvc.h> <scenario>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$1 libs=$2 header=$3 scenario=$4
command -v mcs >/dev/null && command -v mono >/dev/null || { echo "mcs and mono are needed (tools/install-deps.sh)"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
mcs -nologo -warnaserror+ -out:"$work/csharp_binding_test.exe" \
  "$here/../../packaging/sdk/csharp/VornUvc.cs" "$here/csharp_binding_test.cs"
LD_LIBRARY_PATH=$libs${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} mono "$work/csharp_binding_test.exe" "$header" "$scenario"
