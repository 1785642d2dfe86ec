#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for a bounded
# time. FUZZ_SECONDS (default 15) per target; BUILD_DIR (default build/fuzz).
# Prints executions, seconds, crashes and corpus size per target; exits
# non-zero on a crash.
#
# Long mode: any of
#   --seconds N   stop each target after N seconds
#   --runs N      stop each target after N executions
#   --target T    only this target (repeatable)
# A long run merges the inputs that add coverage into fuzz/corpus/<target>.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${BUILD_DIR:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-15}
cxx=${CXX_FUZZ:-clang++}
all_targets=(csv_reader config_rows startup_settings rom_image cli_args)
targets=()
long=0
runs=
limit_seconds=

usage() {
  echo "usage: fuzz.sh [--seconds N] [--runs N] [--target T]..." >&2
  echo "targets: ${all_targets[*]}" >&2
  exit 2
}
is_count() { [[ $1 =~ ^[1-9][0-9]*$ ]]; }

while [ $# -gt 0 ]; do
  case $1 in
    --seconds) [ $# -ge 2 ] && is_count "$2" || usage; limit_seconds=$2; long=1; shift 2 ;;
    --runs) [ $# -ge 2 ] && is_count "$2" || usage; runs=$2; long=1; shift 2 ;;
    --target)
      [ $# -ge 2 ] || usage
      [[ " ${all_targets[*]} " == *" $2 "* ]] || { echo "fuzz.sh: unknown target $2" >&2; usage; }
      targets+=("$2"); long=1; shift 2 ;;
    -h|--help) usage ;;
    *) echo "fuzz.sh: unknown option $1" >&2; usage ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
limits=()
if [ "$long" -eq 1 ]; then
  [ -n "$limit_seconds" ] && limits+=(-max_total_time="$limit_seconds")
  [ -n "$runs" ] && limits+=(-runs="$runs")
  # A target alone without a bound runs as long as the bounded mode does.
  [ ${#limits[@]} -gt 0 ] || limits+=(-max_total_time="$seconds")
else
  limits+=(-max_total_time="$seconds")
fi

if ! command -v "$cxx" >/dev/null; then
  echo "fuzz.sh: $cxx not found" >&2
  exit 2
fi
# libFuzzer's runtime ships in a separate package on Debian.
rt=$("$cxx" -print-resource-dir 2>/dev/null)/lib/linux/libclang_rt.fuzzer-x86_64.a
if [ ! -f "$rt" ]; then
  ver=$("$cxx" -dumpversion | cut -d. -f1)
  echo "fuzz.sh: libFuzzer runtime missing, installing libclang-rt-$ver-dev" >&2
  apt-get install -y "libclang-rt-$ver-dev" >/dev/null || { echo "fuzz.sh: install failed" >&2; exit 2; }
fi

mkdir -p "$out/obj" "$out/artifacts"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root/controls" -I"$root")
core=(config/file_open.cpp config/csv_reader.cpp config/text_case.cpp config/startup_settings.cpp
      config/config_rows.cpp firmware/rom_image.cpp firmware/firmware_gate.cpp ../cli/args.cpp ../cli/values.cpp)
objs=()
for src in "${core[@]}"; do
  obj="$out/obj/$(basename "${src%.cpp}").o"
  # Rebuilt when any source or header it may include is newer; on a busy
  # machine the compiles otherwise cost minutes per run.
  if [ ! -f "$obj" ] || [ -n "$(find "$root/controls" "$root/cli" "$root/vorn_uvc" "$0" \
       \( -name '*.cpp' -o -name '*.h' -o -name fuzz.sh \) -newer "$obj" -print -quit)" ]; then
    "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c "$root/controls/$src" -o "$obj" || exit 2
  fi
  objs+=("$obj")
done

status=0
printf '%-18s %12s %8s %8s %8s\n' target executions seconds crashes corpus
for t in "${targets[@]}"; do
  "$cxx" "${flags[@]}" "$root/fuzz/${t}_fuzz.cpp" "${objs[@]}" -o "$out/${t}_fuzz" || exit 2
  work="$out/corpus/$t"
  rm -rf "$out/artifacts/$t"
  mkdir -p "$work" "$out/artifacts/$t"
  cp -n "$root/fuzz/corpus/$t/"* "$work/" 2>/dev/null
  log="$out/$t.log"
  start=$(date +%s%N)
  "$out/${t}_fuzz" "${limits[@]}" -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$t/" "$work" >"$log" 2>&1
  rc=$?
  end=$(date +%s%N)
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  crashes=$(find "$out/artifacts/$t" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  if [ "$rc" -ne 0 ] && [ "$crashes" -eq 0 ]; then crashes=1; fi
  if [ "$long" -eq 1 ] && [ "$crashes" -eq 0 ]; then
    # Only inputs that reach code the kept ones do not (edges, not hit
    # counts), so the corpus stays small.
    mkdir -p "$root/fuzz/corpus/$t"
    "$out/${t}_fuzz" -merge=1 -use_counters=0 "$root/fuzz/corpus/$t" "$work" >"$out/$t.merge.log" 2>&1 ||
      echo "  merge failed, see $out/$t.merge.log" >&2
  fi
  kept=$(find "$root/fuzz/corpus/$t" -type f 2>/dev/null | wc -l)
  printf '%-18s %12s %8.1f %8s %8s\n' "$t" "${execs:-?}" "$(awk -v a="$start" -v b="$end" 'BEGIN { print (b - a) / 1e9 }')" "$crashes" "$kept"
  if [ "$crashes" -ne 0 ]; then
    status=1
    echo "  see $log and $out/artifacts/$t/" >&2
  fi
done
exit $status
