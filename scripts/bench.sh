#!/usr/bin/env bash
# Builds the benchmark preset and measures: the cost of one integration step in the three
# benchmark cases (Google Benchmark, kestro_bench), then the whole-process wall time and the
# peak resident memory of `kestro RUN` on case A.
#
#   scripts/bench.sh [build folder]      (default build/bench)
#
# KESTRO_BENCH_REPETITIONS (default 5) repetitions of each benchmark, reported with their median
# and their least value (on a machine shared with other work the least disturbed run is the best
# estimate); KESTRO_BENCH_RUNS (default 20) timed runs of the whole process.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/bench}"
repetitions="${KESTRO_BENCH_REPETITIONS:-5}"
runs="${KESTRO_BENCH_RUNS:-20}"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
need=()
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
[ -x /usr/bin/time ] || need+=(time)
command -v hyperfine >/dev/null 2>&1 || need+=(hyperfine)
if [ ${#need[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  # hyperfine is optional: repeated /usr/bin/time stands in when it cannot be installed.
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null ||
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq libbenchmark-dev time >/dev/null
fi

cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" -j 2 --target kestro kestro_bench

echo "== nanoseconds per integration step (counter 'step'; median and min of $repetitions)"
"$build/bench/kestro_bench" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true

# Case A as the program sees it: all precision switches on (no Kestro.ini means the defaults),
# Mach model, constant wind 270 degrees at 10 m/s, no mass loss; 1 800 001 steps.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cat >"$work/case-a.txt" <<'SCENARIO'
lat=48
lon=11
azi=90
inc=45
mass=0.001
dia=100
vel=300
alt=40000
cwx=true
wazi=270
wvel=10
loss=0
oform=pdvam
SCENARIO
kestro="$(pwd)/$build/kestro"
cd "$work"
"$kestro" RUN case-a.txt track-a.txt
echo "== whole process, case A ($(($(wc -l <track-a.txt) - 1)) track rows)"
if command -v hyperfine >/dev/null 2>&1; then
  hyperfine --warmup 3 --runs "$runs" -N "$kestro RUN case-a.txt track-a.txt"
else
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e s wall" "$kestro" RUN case-a.txt track-a.txt >/dev/null
  done 2>&1 | sort -n | awk '{t[NR]=$1} END {print "median " t[int((NR+1)/2)] " s, min " t[1] " s over " NR " runs"}'
fi
echo "== peak resident memory, case A"
/usr/bin/time -v "$kestro" RUN case-a.txt track-a.txt 2>&1 >/dev/null |
  grep -E 'Maximum resident set size|Elapsed \(wall clock\)'
