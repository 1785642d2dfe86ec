#!/usr/bin/env bash
# The installer under Wine: a silent per-user install with the simulated
# camera, the installed program and vorn_ctl at work, the uninstaller
# removing exactly what was installed; then a chosen folder where the
# vendor's SonixCamera.dll takes the simulated camera's place, and nothing
# replaces or removes it.
# Usage: install_test.sh <release build folder> <version>
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
test=install
. "$(dirname "$0")/package_env.sh"
prepare

forget_installation

program_files=(Vorn_Controls.exe vorn_uvc.dll vorn_ctl.exe sdk/include/vorn_uvc.h sdk/lib/vorn_uvc.lib
  sdk/lib/libvorn_uvc.dll.a sdk/lib/cmake/vorn_uvc/vorn_uvcConfig.cmake sdk/bin/vorn_uvc.dll
  sdk/python/vorn_uvc.py sdk/csharp/VornUvc.cs sdk/examples/cmake/main.c sdk/README.txt)

echo "# silent install with the simulated camera, default folder"
check "setup /S /SIMULATOR succeeds" wine "$setup" /S /SIMULATOR
for f in "${program_files[@]}" SonixCamera.dll Uninstall.exe; do
  check "installed $f in the user's local programs folder" test -f "$app/$f"
done
check "Vorn_Controls.exe is the release build" cmp -s "$app/Vorn_Controls.exe" "$build/bin/Vorn_Controls.exe"
check "SonixCamera.dll is the simulated camera" cmp -s "$app/SonixCamera.dll" "$build/bin/SonixCamera.dll"
check "a Start-menu entry" test -f "$shortcut"
check "installed programs entry has version $version" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "installed programs entry names the uninstaller" \
  test "$(reg_value "$uninstall_key" UninstallString)" = "\"$app_win\\Uninstall.exe\""
installed=$(cd "$app" && find . -type f | sort)

echo "# the installed program: window, live picture, a snapshot, exit"
check "the program starts, shows its window, saves a snapshot and exits with 0" drive <<EOF
run "$app_win\\Vorn_Controls.exe"
window Vorn Camera Control Tool
click 1
wait-text 1 Stop Camera
wait-video 1025
click 1029
wait-file $app_win\\images\\*.jpg
click 2
exit 0
EOF
snapshot=$(ls "$app/images/"*.jpg 2>/dev/null | head -1)

console list "$app" ./vorn_ctl.exe list
check "vorn_ctl.exe list from the install folder finds the camera" shows list "Vorn UC-20 Camera"

echo "# the user's own files beside the program"
echo "PropName,Value,DataType" >"$app/my-camera.csv"
echo "illuminate=TRUE" >"$app/vorn_settings.cfg"
echo "2026-01-01 burned" >"$app/firmware-history.log"
mkdir -p "$app/config"
echo "illuminate=TRUE" >"$app/config/vorn_settings.cfg"
user_files=$(cd "$app" && find . -type f | sort | comm -13 <(echo "$installed") -)
user_sums=$(cd "$app" && sha256sum $user_files)

echo "# silent uninstall"
check "Uninstall.exe /S succeeds" wine "$app/Uninstall.exe" /S
# It goes on from a copy of itself: wait until every process of the prefix ended.
wineserver -w
for f in $installed; do
  check "uninstall removed ${f#./}" test ! -e "$app/$f"
done
check "uninstall removed the sdk folder" test ! -e "$app/sdk"
check "uninstall removed the Start-menu entry" test ! -e "$shortcut"
check "uninstall removed the installed programs entry" reg_gone "$uninstall_key"
check "uninstall removed the program's registry key" reg_gone 'HKCU\Software\Vorn'
check "a snapshot was made in between" test -n "$snapshot"
unchanged() { (cd "$app" && sha256sum --quiet -c - <<<"$user_sums"); }
check "the user's files are all still there, unchanged" unchanged
check "the snapshot is still there" test -s "$snapshot"
rm -rf "$app"

echo "# a chosen folder (/D) and the vendor's SonixCamera.dll"
vendor_win='C:\VornCameras\Tool'
vendor_dir=$WINEPREFIX/drive_c/VornCameras/Tool
check "setup /S /D= succeeds" wine "$setup" /S "/D=$vendor_win"
check "installed into the chosen folder" test -f "$vendor_dir/Vorn_Controls.exe"
check "without /SIMULATOR no SonixCamera.dll is installed" test ! -e "$vendor_dir/SonixCamera.dll"
check "setup /S /SIMULATOR /D= adds the simulated camera" wine "$setup" /S /SIMULATOR "/D=$vendor_win"
check "the simulated camera is in the chosen folder" cmp -s "$vendor_dir/SonixCamera.dll" "$build/bin/SonixCamera.dll"
# The user puts the vendor's library in its place.
printf 'the camera vendor library\n' >"$vendor_dir/SonixCamera.dll"
check "setup /S /SIMULATOR /D= over it succeeds" wine "$setup" /S /SIMULATOR "/D=$vendor_win"
check "the vendor's SonixCamera.dll was kept" grep -q 'camera vendor library' "$vendor_dir/SonixCamera.dll"
check "Uninstall.exe /S succeeds" wine "$vendor_dir/Uninstall.exe" /S
wineserver -w
check "uninstall removed the program" test ! -e "$vendor_dir/Vorn_Controls.exe"
check "uninstall left the vendor's SonixCamera.dll" grep -q 'camera vendor library' "$vendor_dir/SonixCamera.dll"
check "only the vendor's library is left in the folder" test "$(cd "$vendor_dir" && find . | sort | tr '\n' ' ')" = ". ./SonixCamera.dll "
rm -rf "$WINEPREFIX/drive_c/VornCameras"

finish
