#!/usr/bin/env bash
# Builds kestro and flies the bundled example of a 1 kg stone: prints the summary line and
# writes the track table to build/stone-1kg-track.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kestro >/dev/null
# The examples name their wind profiles relative to their own folder, so run from there.
cd examples
../build/release/kestro RUN stone-1kg.txt ../build/stone-1kg-track.txt
echo "track table: build/stone-1kg-track.txt" >&2
