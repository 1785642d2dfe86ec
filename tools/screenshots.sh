#!/usr/bin/env bash
# Remakes the pictures of the user guide and the README in docs/screenshots/
# from the real program: Vorn_Controls.exe of the win32 build under Wine
# (win64 on a machine that runs no 32-bit code, tools/wine-arch.sh),
# against the simulated camera, driven by vorn_windriver. Run it whenever the
# window changes.
#   tools/screenshots.sh            every picture
#   tools/screenshots.sh NAME...    only these (file names without .png)
# Uses $DISPLAY (at least 1920x1080) when set, else a virtual X display. The
# program runs from C:\Vorn Controls in a Wine prefix of its own
# (build/<arch>/wineprefix-shots) that has Wine's own fonts, so the window
# looks as on Windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
targets=(Vorn_Controls vorn_uvc SonixCamera vorn_windriver vorn_ctl)
arch=$(tools/wine-arch.sh)
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" -j "${JOBS:-2}" --target "${targets[@]}"

build=$root/build/$arch
out=$root/docs/screenshots
work=$build/screenshots-work
export WINEPREFIX=$build/wineprefix-shots VORN_WINE_FONTS=1 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
tools/wine-run.sh --init "$build"
app="$WINEPREFIX/drive_c/Vorn Controls"
app_win='C:\Vorn Controls'
# %APPDATA%\Vorn Controls of the prefix: remembered settings and preferences.
user_data="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming/Vorn Controls"
version=$(sed -n 's/^#define VORN_VERSION_STRING "\(.*\)"$/\1/p' "$build/generated/vorn_version.h")

xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  . tools/xvfb.sh
  # As large as the largest screen a picture shows.
  start_xvfb 70 99 1920x1080
fi

rm -rf "$work"
mkdir -p "$work" "$out"
wanted=("$@")

# A fresh program folder: the built files, and a scenario when given.
fresh_app() {
  rm -rf "$app"
  mkdir -p "$app"
  cp "$build/bin/Vorn_Controls.exe" "$build/bin/vorn_uvc.dll" "$build/bin/SonixCamera.dll" "$app/"
  cp "$build/bin/vorn_ctl.exe" "$app/"
  rm -rf "$user_data"
  return 0
}

# picture NAME [START]: runs the driver steps on standard input after
# starting the program (START: other steps that start something), then saves
# the current window as docs/screenshots/NAME.png.
picture() {
  local name=$1
  local start=${2:-"run \"$app_win\\Vorn_Controls.exe\"
window Vorn Camera Control Tool"}
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " == *" $name "* ]]; then
    cat >/dev/null
    return 0
  fi
  local script=$work/$name.txt bmp=$work/$name.bmp
  {
    echo "$start"
    cat
    echo "shot Z:${bmp//\//\\}"
  } >"$script"
  local driver=("$build/bin/vorn_windriver.exe")
  # In a Wine desktop of a screen's size (see on_screen).
  [ -n "$screen" ] && driver=(explorer "/desktop=vorn-shots-$screen,$screen" "Z:${driver[0]//\//\\}")
  if ! tools/wine-run.sh "${driver[@]}" "Z:${script//\//\\}" >"$work/$name.log" 2>&1; then
    grep vorn_windriver "$work/$name.log" >&2 || tail -5 "$work/$name.log" >&2
    echo "screenshot $name failed" >&2
    exit 1
  fi
  # Few colours: a palette keeps the file small and exact.
  if [ "$(identify -format %k "$bmp")" -le 256 ]; then
    convert "$bmp" -alpha off -strip PNG8:"$out/$name.png"
  else
    convert "$bmp" -alpha off -strip -define png:compression-level=9 PNG24:"$out/$name.png"
  fi
  echo "$out/$name.png"
}

# on_screen SIZE: the next pictures run in a Wine desktop as large as SIZE
# (a screen's work area); an empty SIZE goes back to the prefix's own. The
# session ends at each change, so that no program sees the last screen.
screen=""
on_screen() {
  wineserver -k 2>/dev/null || true
  screen=$1
}

# --- the pictures -----------------------------------------------------------

fresh_app
picture main_window_idle <<'EOF'
wait-text 1 Start Camera
wait-still
EOF

fresh_app
picture live-camera <<'EOF'
click 1
wait-text 1 Stop Camera
wait-video 1025
EOF

fresh_app
picture tune-picture <<'EOF'
click 1
wait-text 1 Stop Camera
check 1047
wait-visible 1024
slide 1015 20
wait-contains 1024 Set Brightness to 20 successfully
slide 1019 80
wait-contains 1024 Set Saturation to 80 successfully
wait-video 1025
EOF

fresh_app
picture restore-defaults <<'EOF'
click 1
wait-text 1 Stop Camera
check 1047
wait-visible 1024
slide 1015 30
wait-contains 1024 Set Brightness to 30 successfully
menu 32775
wait-contains 1024 Camera defaults restored.
wait-video 1025
EOF

fresh_app
picture automatic-modes <<'EOF'
click 1
wait-text 1 Stop Camera
check 1047
wait-visible 1024
check 1002
wait-enabled 1009
slide 1009 -4
wait-contains 1024 Set Manual Exposure to -4 successfully
check 1005
wait-enabled 1011
wait-video 1025
EOF

fresh_app
picture snapshot-folder <<'EOF'
click 1
wait-text 1 Stop Camera
check 1032
click 1050
wait-window Browse for Folder
wait-video 1025
EOF

fresh_app
cat >"$app/my-camera.csv" <<'EOF'
PropName,Value,DataType
BRIGHTNESS,12,int
CONTRAST,40,int
SATURATION,72,int
SHARPNESS,4,int
GAMMA,110,int
AUTO_EXPOSURE,TRUE,bool
AEC_TARGET,140,int
AUTO_WHITE_BALANCE,TRUE,bool
EOF
picture load-config <<EOF
click 1
wait-text 1 Stop Camera
check 1047
wait-visible 1024
menu 32772
next-window Open
type 1148 $app_win\\my-camera.csv
click 1
window Vorn Camera Control Tool
wait-window Load Configuration
wait-contains 1024 Set Gamma to 110 successfully
wait-video 1025
EOF

fresh_app
# Remembered from an earlier run: the switch on, and the camera's file.
mkdir -p "$user_data/cameras"
printf '[settings]\r\nremember = true\r\n' >"$user_data/preferences.ini"
cat >"$user_data/cameras/564f524e.csv" <<'EOF'
PropName,Value,DataType
BRIGHTNESS,24,int
CONTRAST,44,int
SATURATION,80,int
SHARPNESS,3,int
GAMMA,100,int
AUTO_EXPOSURE,TRUE,bool
AEC_TARGET,128,int
AUTO_WHITE_BALANCE,TRUE,bool
ROTATE_180,FALSE,bool
EOF
picture remember-settings <<'EOF'
click 1
wait-text 1 Stop Camera
check 1047
wait-visible 1024
wait-contains 1024 Remembered settings applied.
wait-video 1025
open-menu 1 2
EOF

fresh_app
# Two configuration files used before, the recent one first.
for name in day night; do
  printf 'PropName,Value,DataType\r\nBRIGHTNESS,10,int\r\n' >"$app/$name.csv"
done
mkdir -p "$user_data"
printf '[recent]\r\nfile1 = %s\\day.csv\r\nfile2 = %s\\night.csv\r\n' "$app_win" "$app_win" \
  >"$user_data/preferences.ini"
picture recent-files <<'EOF'
click 1
wait-text 1 Stop Camera
wait-video 1025
open-menu 0 2
EOF

fresh_app
printf 'illuminate=TRUE\n' >"$app/vorn_settings.cfg"
picture startup-settings <<'EOF'
click 1
wait-text 1 Stop Camera
wait-visible 1051
wait-video 1025
EOF

fresh_app
# A whole burn takes 15 s, so the picture catches it on the way.
printf '[sim]\nburn_ms = 15000\n[camera]\n' >"$app/SonixCamera.ini"
python3 -c 'import sys; sys.stdout.buffer.write(b"SN9C" + bytes(32768 - 4))' >"$app/vorn-firmware.src"
picture firmware-update <<EOF
menu 32773
window Update Firmware
type 1027 $app_win\\vorn-firmware.src
click 1038
next-window Update Firmware
click 6
next-window Update Firmware
wait-progress 1044 40
EOF

fresh_app
cat >"$app/SonixCamera.ini" <<'EOF'
[camera]
[camera]
product = Vorn UC-20 Camera
[camera]
product = Vorn UC-20 Camera
EOF
picture several-cameras <<'EOF'
wait-visible 1052
drop 1052
wait-still
EOF

fresh_app
# The cable is pulled 15 s after the program loaded the simulator: time for
# the picture to start first.
printf '[camera]\nunplug_after_ms = 15000\n' >"$app/SonixCamera.ini"
picture camera-disconnected <<'EOF'
click 1
wait-text 1 Stop Camera
check 1047
wait-visible 1024
wait-video 1025
window Vorn Camera Control Tool - camera disconnected
wait-contains 1024 The camera was disconnected.
wait-text 1 Start Camera
wait-still
EOF

fresh_app
picture about <<EOF
menu 32774
window About Vorn Controls Tool
wait-text 1039 v$version
wait-still
EOF

# vorn_ctl in a console window: a script types the commands and leaves a
# file behind when all of them have answered.
fresh_app
cat >"$app/vorn_ctl-demo.cmd" <<'EOF'
@echo off
title Command Prompt
cd /d "%~dp0"
for %%c in ("list" "get brightness contrast gamma" "set brightness=10 contrast=40" "snapshot check.png") do (
  echo %CD%^>vorn_ctl %%~c
  vorn_ctl %%~c
  echo.
)
echo done>"%~dp0demo-done.txt"
EOF
sed -i 's/$/\r/' "$app/vorn_ctl-demo.cmd"
picture command-line "run-console C:\\windows\\system32\\cmd.exe /k \"$app_win\\vorn_ctl-demo.cmd\"
console-window Command Prompt" <<EOF
wait-file $app_win\\demo-done.txt
wait-still
EOF

# The window on smaller and larger screens: a 1366x768 laptop at 100 % and a
# 1920x1080 one at 150 %, each less its task bar; then a window made larger
# by hand. The scale is set for the program and put back once it runs.
for shot in "window-1366x768:1366x728:96" "window-1920x1080-150:1920x1008:144"; do
  IFS=: read -r name size dpi <<<"$shot"
  on_screen "$size"
  fresh_app
  picture "$name" "scale $dpi
run \"$app_win\\Vorn_Controls.exe\"
window Vorn Camera Control Tool
scale 96" <<'EOF'
click 1
wait-text 1 Stop Camera
wait-video 1025
EOF
done
on_screen ""

fresh_app
picture window-resized <<'EOF'
click 1
wait-text 1 Stop Camera
check 1047
wait-visible 1024
size 1590 940
wait-video 1025
EOF
