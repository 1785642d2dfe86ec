#!/usr/bin/env bash
# Runs the whole test command several times in a row (default 3) while
# stress-ng keeps both cores busy, to show that no test depends on how the
# scheduler shares the machine. Prints each run's time and result; exits
# non-zero when any run failed. LOAD_CPUS=0 starts no load of its own, for a
# load started beside it.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-3}
mkdir -p build
load=${LOAD_CPUS:-$(nproc)}

if [ "$load" -gt 0 ] && ! command -v stress-ng >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q stress-ng >/dev/null ||
    { echo "test-loaded: can't install stress-ng" >&2; exit 2; }
fi

if [ "$load" -gt 0 ]; then
  stress-ng --cpu "$load" --quiet &
  stress_pid=$!
  trap 'kill "$stress_pid" 2>/dev/null; wait "$stress_pid" 2>/dev/null' EXIT
fi

status=0
results=()
for i in $(seq 1 "$runs"); do
  start=$(date +%s)
  if tools/test.sh >"build/test-loaded-$i.log" 2>&1; then verdict=green; else verdict=RED; status=1; fi
  results+=("run $i: $verdict, $(( $(date +%s) - start )) s (log build/test-loaded-$i.log)")
  echo "${results[-1]}"
done
echo "load of $load CPUs (0: started outside) beside $runs runs of tools/test.sh:"
printf '  %s\n' "${results[@]}"
exit $status
