# Sourced by the package tests. Before sourcing set:
#   build    the release build folder (it holds packages/ and bin/)
#   version  the project version
#   test     the test's name (its scratch folder is build/package-test/<test>)
# Gives the tests their own Wine prefix, build/wineprefix-package (never the
# win32 test prefix), and small helpers.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The shipped 32-bit release, or its 64-bit twin (release64).
arch=win32
grep -qs '^CMAKE_TOOLCHAIN_FILE.*x86_64' "$build/CMakeCache.txt" && arch=win64
setup=$build/packages/Vorn-Controls-$version-$arch-setup.exe
zip=$build/packages/Vorn-Controls-$version-$arch.zip
driver=$build/bin/vorn_windriver.exe
work=$build/package-test/$test

export WINEPREFIX=$build/wineprefix-package WINEARCH=$arch WINEDEBUG=-all
# No Mono or Gecko prompts, and no menu entries written into the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
# Debian's wine command takes the 32-bit loader whenever it is installed.
if [ "$arch" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  wine() { /usr/lib/wine/wine64 "$@"; }
fi

. "$root/tests/support/checks.sh"

# console NAME FOLDER PROGRAM ARGS...: runs a Windows console program in
# FOLDER, its output in $work/NAME.txt and its exit status in $work/NAME.rc.
console() {
  local name=$1 folder=$2
  shift 2
  (cd "$folder" && wine "$@") >"$work/$name.txt" 2>&1
  echo $? >"$work/$name.rc"
}
# shows NAME PATTERN: the console run NAME printed PATTERN; when it did not,
# what it printed and its status go to the log.
shows() {
  grep -q -- "$2" "$work/$1.txt" && return 0
  echo "  $1 exited with $(cat "$work/$1.rc" 2>/dev/null) and printed:"
  sed 's/^/  | /' "$work/$1.txt"
  return 1
}

# Z: is the Linux root in every Wine prefix.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# Runs vorn_windriver with the script given on standard input.
drive_count=0
drive() {
  drive_count=$((drive_count + 1))
  local script=$work/driver-$drive_count.txt
  cat >"$script"
  wine "$driver" "$(winpath "$script")" >"$work/driver-$drive_count.log" 2>&1
  local rc=$?
  [ $rc -eq 0 ] || grep vorn_windriver "$work/driver-$drive_count.log"
  return $rc
}

# Where the installer puts things in the prefix, for the user running the tests.
user=$(id -un)
app="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Vorn Controls"
app_win="C:\\users\\$user\\AppData\\Local\\Programs\\Vorn Controls"
shortcut="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vorn Controls.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VornControls'
app_key='HKCU\Software\Vorn\VornControls'

reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v {$1 = ""; $2 = ""; sub(/^ +/, ""); print}'
}
reg_gone() { ! wine reg query "$1" >/dev/null 2>&1; }

# A run that failed half-way leaves its installation behind: start afresh.
forget_installation() {
  wineserver -k 2>/dev/null
  if grep -q 'VornControls' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg delete "$uninstall_key" /f >/dev/null 2>&1
    wine reg delete 'HKCU\Software\Vorn' /f >/dev/null 2>&1
  fi
  rm -rf "$app" "$shortcut" "$WINEPREFIX/drive_c/VornCameras"
}

prepare() {
  for f in "$setup" "$zip" "$driver"; do
    [ -f "$f" ] || { echo "$f is missing: run tools/package.sh first"; exit 1; }
  done
  [ -n "${DISPLAY:-}" ] || { echo "no X display (DISPLAY)"; exit 1; }
  rm -rf "$work"
  mkdir -p "$work"
  "$root/tools/wine-run.sh" --init "$build" 2>/dev/null
}
