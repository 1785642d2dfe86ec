#!/usr/bin/env bash
# The portable zip at work: once unpacked with the
# simulated camera copied beside the program, the program runs (its About
# box shows the version), vorn_ctl answers, and the SDK works from sdk/
# alone: its example built by hand and with CMake, and a program built for
# Microsoft's ABI against vorn_uvc.lib, each run against the simulated camera.
# Usage: zip_test.sh <release build folder> <version> <C compiler for Windows>
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
cc=$3
test=zip
. "$(dirname "$0")/package_env.sh"
prepare

# What the zip holds is package_contents.sh's check; this one runs it.
dir="$work/Vorn Controls"
check "the zip unpacks" unzip -q "$zip" -d "$dir"
check "the note says where the simulated camera goes" grep -q "beside Vorn_Controls.exe" "$dir/simulated-camera/README.txt"
cp "$dir/simulated-camera/SonixCamera.dll" "$dir/"

win=$(winpath "$dir")
check "the unpacked program runs with the simulated camera, About shows v$version" drive <<EOF
run "$win\\Vorn_Controls.exe"
window Vorn Camera Control Tool
menu 32774
window About Vorn Controls Tool
wait-text 1039 v$version
window Vorn Camera Control Tool
click 2
exit 0
EOF

console version "$dir" ./vorn_ctl.exe --version
check "vorn_ctl.exe --version prints $version" shows version "vorn_ctl $version"

# The SDK on its own: only the files of sdk/. By hand, as its read-me says.
check "the SDK example builds from sdk/" "$cc" -Wall -o "$dir/example.exe" "$dir/sdk/examples/cmake/main.c" \
  -I"$dir/sdk/include" -L"$dir/sdk/lib" -lvorn_uvc
console example "$dir" ./example.exe
check "the SDK example finds the camera" shows example "Camera 1: Vorn UC-20 Camera"
check "the SDK example moves the brightness" shows example "Brightness now 0"
wineserver -w
# With CMake's find_package, and for Microsoft's linker.
examples_log=$work/sdk-examples.txt
run_examples() {
  bash "$root/tests/sdk/sdk_examples.sh" "$dir/sdk" "$work/sdk-examples" "$dir/simulated-camera/SonixCamera.dll" \
    >"$examples_log" 2>&1
}
check "the SDK's CMake and Microsoft-ABI examples build and run" run_examples
sed 's/^/  /' "$examples_log"
wineserver -w

finish
