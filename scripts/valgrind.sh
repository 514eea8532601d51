#!/usr/bin/env bash
# Runs kestro under valgrind's memcheck: first a full default run (1800 s of simulated time at
# 0.001 s, 1 800 001 steps, with a body light enough to stay aloft to the end), then the
# hostile-input test program with every kestro run it starts traced as well (folders and devices
# for files, refused track tables, inputs of hundreds of megabytes, stray bytes, numbers beyond
# range). Fails when valgrind reports any error or leak, or a run ends otherwise than expected.
#
# Usage: scripts/valgrind.sh
# Environment: KESTRO_BUILD_DIR (default build/release), the release build to check.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build_dir="${KESTRO_BUILD_DIR:-build/release}"

scripts/install-deps.sh
if ! command -v valgrind >/dev/null 2>&1; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq valgrind >/dev/null
fi

cmake --preset release -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j2 --target kestro kestro_hostile_tests >/dev/null

# Every leak kind counts, still-reachable blocks included: nothing may be left at exit.
memcheck=(valgrind -q --error-exitcode=1 --leak-check=full --show-leak-kinds=all
          --errors-for-leak-kinds=all)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "== full default run (1 g, 100 mm, from 40 000 m; no Kestro.ini)"
printf 'alt=40000\nvel=0\nmass=0.001\ndia=100\noform=pdvam\n' >"$work/scenario.txt"
set +e
(cd "$work" && "${memcheck[@]}" "$root/$build_dir/kestro" RUN scenario.txt track.txt \
    >summary.txt)
status=$?
set -e
cat "$work/summary.txt"
if [ "$status" -ne 0 ]; then
  echo "FAILED: exit status $status (1: valgrind reported errors)"
  exit 1
fi
# Still aloft at the time limit: every one of the steps ran.
if ! grep -q $'^SUCCESS\t1800\.00\t' "$work/summary.txt" || grep -q $'^SUCCESS\t1800\.00\t0\.00\t' "$work/summary.txt"; then
  echo "FAILED: the run did not last the full 1800 s aloft"
  exit 1
fi
echo "track table: $(wc -l <"$work/track.txt") lines; valgrind reported nothing"

echo "== hostile inputs and faults, every kestro run traced"
"${memcheck[@]}" --trace-children=yes "$build_dir/tests/kestro_hostile_tests" \
    --gtest_brief=1
echo "valgrind reported nothing"
