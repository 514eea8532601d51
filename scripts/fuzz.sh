#!/usr/bin/env bash
# Builds the libFuzzer targets (configure preset "fuzz": clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on a copy of its seed corpus and
# of the inputs that once broke it. Fails on the first crash, sanitizer report, hang (10 s on
# one input), memory blow-up or broken expectation of the harness; the input that did it is
# kept under <build dir>/fuzz-work/<target>/findings/ and shown in the log.
#
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]
#   seconds-per-target  default 60
#   target              fuzz_settings, fuzz_wind_profile, fuzz_run (default: all three)
# Environment: KESTRO_FUZZ_BUILD_DIR (default build/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_settings fuzz_wind_profile fuzz_run)
build_dir="${KESTRO_FUZZ_BUILD_DIR:-build/fuzz}"

# clang, and the libFuzzer runtime that Debian ships apart from it.
need=()
command -v clang++ >/dev/null 2>&1 || need+=(clang)
if ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  if apt-cache show libclang-rt-14-dev >/dev/null 2>&1; then
    need+=(libclang-rt-14-dev)
  else
    need+=(libclang-rt-dev)
  fi
fi
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v ninja >/dev/null 2>&1 || need+=(ninja-build)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fi

cmake --preset fuzz -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j2 --target "${targets[@]}" >/dev/null

status=0
for target in "${targets[@]}"; do
  work="$root/$build_dir/fuzz-work/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  cp tests/fuzz/corpus/"$target"/* "$work/corpus/"
  if [ -d tests/fuzz/regressions/"$target" ]; then
    cp tests/fuzz/regressions/"$target"/* "$work/corpus/" 2>/dev/null || true
  fi
  # Long enough for a wind profile past its 5000 rows ("0\n" each) and for lines in pieces.
  max_len=8192
  [ "$target" = fuzz_wind_profile ] && max_len=24576
  # One job in one worker process: the machine's cores are shared. Its log is fuzz-0.log.
  set +e
  (cd "$work" && "$root/$build_dir/tests/fuzz/$target" corpus \
      -jobs=1 -workers=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$work/findings/" \
      >"$work/driver.log" 2>&1)
  result=$?
  set -e
  log="$work/fuzz-0.log"
  [ -f "$log" ] || log="$work/driver.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  files=$(find "$work/corpus" -type f | wc -l)
  findings=$(find "$work/findings" -type f | wc -l)
  if [ "$result" -ne 0 ] || [ "$findings" -ne 0 ]; then
    status=1
    echo "$target: FAILED after ${runs:-?} runs; findings in $work/findings/"
    grep -E 'ERROR|kestro fuzz:|SUMMARY|runtime error|Test unit written' "$log" | head -20 || true
  else
    echo "$target: ${runs:-?} runs in ${took:-?} s (${rate:-?} exec/s), corpus grew to $files inputs, no finding"
  fi
done
exit $status
