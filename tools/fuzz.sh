#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for a bounded
# time. FUZZ_SECONDS (default 15) per target; BUILD_DIR (default build/fuzz).
# Prints executions, seconds and crashes per target; exits non-zero on a crash.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${BUILD_DIR:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-15}
cxx=${CXX_FUZZ:-clang++}
targets=(csv_reader config_rows startup_settings rom_image cli_args)

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
      config/config_rows.cpp firmware/rom_image.cpp window/firmware_gate.cpp ../cli/args.cpp ../cli/values.cpp)
objs=()
for src in "${core[@]}"; do
  obj="$out/obj/$(basename "${src%.cpp}").o"
  "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c "$root/controls/$src" -o "$obj" || exit 2
  objs+=("$obj")
done

status=0
printf '%-18s %12s %8s %8s\n' target executions seconds crashes
for t in "${targets[@]}"; do
  "$cxx" "${flags[@]}" "$root/fuzz/${t}_fuzz.cpp" "${objs[@]}" -o "$out/${t}_fuzz" || exit 2
  work="$out/corpus/$t"
  rm -rf "$out/artifacts/$t"
  mkdir -p "$work" "$out/artifacts/$t"
  cp -n "$root/fuzz/corpus/$t/"* "$work/" 2>/dev/null
  log="$out/$t.log"
  start=$(date +%s%N)
  "$out/${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$t/" "$work" >"$log" 2>&1
  rc=$?
  end=$(date +%s%N)
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  crashes=$(find "$out/artifacts/$t" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  if [ "$rc" -ne 0 ] && [ "$crashes" -eq 0 ]; then crashes=1; fi
  printf '%-18s %12s %8.1f %8s\n' "$t" "${execs:-?}" "$(awk -v a="$start" -v b="$end" 'BEGIN { print (b - a) / 1e9 }')" "$crashes"
  if [ "$crashes" -ne 0 ]; then
    status=1
    echo "  see $log and $out/artifacts/$t/" >&2
  fi
done
exit $status
