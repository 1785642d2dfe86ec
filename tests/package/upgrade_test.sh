#!/usr/bin/env bash
# Installer upgrades under Wine. The newer version is a test build of the
# same installer with only its version raised (the patch number): makensis
# again over CPack's script and the same files, with another VERSION. The
# programs inside keep their own version resources: the installer compares
# no file versions, so only its own version takes part in an upgrade. It is
# made in the test's scratch folder and never shipped.
#  - silently over this version, with the simulated camera and the SDK: the
#    program files are replaced, one entry under installed programs shows
#    the newer version, the components stay, the user's files stay, and the
#    upgraded installation uninstalls cleanly;
#  - silently over this version without either: they stay away;
#  - this version over the newer one: silently nothing changes and setup
#    exits with 2; interactively it asks first, and No changes nothing;
#  - the newer one again into another folder: the installation moves.
# Usage: upgrade_test.sh <release build folder> <version>
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
test=upgrade
. "$(dirname "$0")/package_env.sh"
prepare

nsi=$build/cpack/_CPack_Packages/$arch/NSIS/project.nsi
[ -f "$nsi" ] || { echo "$nsi is missing: run tools/package.sh first"; exit 1; }
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
newer_setup=$work/Vorn-Controls-$newer-$arch-setup.exe

echo "# the $newer test build of the installer"
check "makensis makes $(basename "$newer_setup")" \
  bash -c 'cd "$(dirname "$1")" && makensis -V1 -DVERSION="$2" -DOUTFILE="$3" "$1"' _ "$nsi" "$newer" "$newer_setup"
check "it carries version $newer" bash -c 'strings -el "$1" | grep -qx "$2"' _ "$newer_setup" "$newer"

installed_programs() {
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    grep -c 'DisplayName.*Vorn Controls'
}
component() { test "$(reg_value "$app_key\\Components\\$1" Installed)" = 0x1; }
no_component() { ! component "$1"; }
# The installation's files but the uninstaller (whose text names the
# version) and the user's files; their checksums.
user_file_list=$(printf './%s\n' "images/2026-01-01 10-00-00.jpg" my-camera.csv vorn_settings.cfg config/vorn_settings.cfg \
  firmware-history.log | sort)
program_files() { (cd "$app" && find . -type f ! -name Uninstall.exe | sort | comm -23 - <(echo "$user_file_list")); }
program_sums() { (cd "$app" && program_files | xargs -d '\n' sha256sum); }
user_files() {
  mkdir -p "$app/images" "$app/config"
  printf 'JFIF' >"$app/images/2026-01-01 10-00-00.jpg"
  echo "PropName,Value,DataType" >"$app/my-camera.csv"
  echo "illuminate=TRUE" | tee "$app/config/vorn_settings.cfg" >"$app/vorn_settings.cfg"
  echo "2026-01-01 burned" >"$app/firmware-history.log"
  (cd "$app" && xargs -d '\n' sha256sum <<<"$user_file_list")
}

echo "# $version with the simulated camera and the SDK, then $newer over it"
forget_installation
check "setup $version /S /SIMULATOR succeeds" wine "$setup" /S /SIMULATOR
sums=$(program_sums)
user_sums=$(user_files)
# Stand-ins for the earlier version's files: the upgrade must write them.
echo "version $version" >"$app/vorn_ctl.exe"
echo "version $version" >"$app/sdk/include/vorn_uvc.h"
check "setup $newer /S over it succeeds" wine "$newer_setup" /S
wineserver -w
program_files_are_new() { (cd "$app" && sha256sum --quiet -c - <<<"$sums"); }
check "the program files are replaced, the simulated camera and the SDK with them" program_files_are_new
check "no program file is left over or missing" test "$(program_files)" = "$(awk '{print $2}' <<<"$sums")"
check "a new uninstaller" test -f "$app/Uninstall.exe"
check "one entry under installed programs" test "$(installed_programs)" = 1
check "the entry shows version $newer" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$newer"
check "the simulated camera is still recorded as installed" component simulator
check "the SDK is still recorded as installed" component sdk
check "the Start-menu entry is there" test -f "$shortcut"
user_files_kept() { (cd "$app" && sha256sum --quiet -c - <<<"$user_sums"); }
check "the user's files are unchanged" user_files_kept
check "the upgraded installation uninstalls" wine "$app/Uninstall.exe" /S
wineserver -w
check "... leaving only the user's files" test "$(cd "$app" && find . -type f | sort)" = "$user_file_list"

echo "# $version without the simulated camera and the SDK, then $newer over it"
forget_installation
check "setup $version /S succeeds" wine "$setup" /S
# The SDK left out, as the components page leaves it (silent setup has no
# switch for that).
rm -rf "$app/sdk"
wine reg delete "$app_key\\Components\\sdk" /f >/dev/null 2>&1
sums=$(program_sums)
check "setup $newer /S over it succeeds" wine "$newer_setup" /S
wineserver -w
check "the simulated camera stays away" test ! -e "$app/SonixCamera.dll"
check "the SDK stays away" test ! -e "$app/sdk"
check "the simulated camera is not recorded as installed" no_component simulator
check "... nor the SDK" no_component sdk
check "the program files are the same" program_files_are_new
check "the entry shows version $newer" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$newer"

echo "# $version over $newer"
sums=$(program_sums)
registry() { wine reg query 'HKCU\Software\Vorn' /s 2>/dev/null; wine reg query "$uninstall_key" 2>/dev/null; }
before=$(registry)
wine "$setup" /S
status=$?
wineserver -w
check "a silent setup of the older version exits with 2 (it exited with $status)" test "$status" = 2
check "... and changes no file" program_files_are_new
check "... and no registry value" test "$(registry)" = "$before"
check "interactively it asks first; No ends it with 2" drive <<EOF
run "$(winpath "$setup")"
window Vorn Controls Setup
click 7
exit 2
EOF
check "... and changes nothing" program_files_are_new
check "the entry still shows version $newer" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$newer"

echo "# $newer again, into another folder"
moved_win='C:\VornCameras\Moved'
moved=$WINEPREFIX/drive_c/VornCameras/Moved
check "setup $newer /S /D= succeeds" wine "$newer_setup" /S "/D=$moved_win"
wineserver -w
check "the program is in the new folder" test -f "$moved/Vorn_Controls.exe"
check "the earlier folder is gone with its files" test ! -e "$app"
check "one entry under installed programs, at the new folder" \
  test "$(installed_programs):$(reg_value "$uninstall_key" InstallLocation)" = "1:$moved_win"

wine "$moved/Uninstall.exe" /S
wineserver -w
forget_installation
finish
