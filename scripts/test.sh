#!/usr/bin/env bash
# Builds and runs the whole test suite: the release build with its tests, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a bounded run of each fuzz target
# (KESTRO_FUZZ_SECONDS per target, default 60; 0 skips the fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release -j "$(nproc)"

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j "$(nproc)"

fuzz_seconds="${KESTRO_FUZZ_SECONDS:-60}"
if [ "$fuzz_seconds" -gt 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
