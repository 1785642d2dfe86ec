#!/usr/bin/env bash
# tools/wine-run.sh passes on the program's exit code and both its outputs,
# and the caller's pipes end when the program ends, even while another Wine
# process still holds the program's stderr, as Wine's service processes do
# for the program that started them.
#   wine_run_test.sh <build folder>
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
run=$root/tools/wine-run.sh
export WINEPREFIX=${WINEPREFIX:-$(cd "$1" && pwd)/wineprefix}
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

"$run" cmd /c "exit 7"
code=$?
[ "$code" = 7 ] || fail "exit code: $code, expected 7"

out=$("$run" cmd /c "echo to-stdout & echo to-stderr 1>&2" 2>/dev/null)
case $out in *to-stdout*) ;; *) fail "stdout not passed on: '$out'" ;; esac
case $out in *to-stderr*) fail "stderr came out on stdout: '$out'" ;; esac
err=$("$run" cmd /c "echo to-stdout & echo to-stderr 1>&2" 2>&1 >/dev/null)
case $err in *to-stderr*) ;; *) fail "stderr not passed on: '$err'" ;; esac

# The child outlives the program by far and inherits its Unix stderr (its
# Windows output goes to nul). The command substitution waits for the end of
# the pipe; the child must still be running when it comes, or the pipe
# lasted as long as the child. The reply wait (-w) marks this run's child.
wait_ms=$((10000 + $$ % 50000))
child="ping.* -n 120 -w $wait_ms 127"   # Wine shows it as ping or its full path
started=$SECONDS
out=$("$run" cmd /c "start /b ping -n 120 -w $wait_ms 127.0.0.1 >nul & echo parent-done" 2>&1 | cat)
took=$((SECONDS - started))
case $out in *parent-done*) ;; *) fail "the program's output is missing: '$out'" ;; esac
if pgrep -f "$child" >/dev/null; then
  pkill -f "$child"
elif [ "$took" -ge 100 ]; then
  fail "the caller's pipe stayed open until the program's child ended (${took} s)"
else
  fail "the child ping ended after ${took} s instead of running 120 s; the check needs it"
fi

[ "$fails" = 0 ] && echo "wine-run.sh: all checks passed"
exit "$fails"
