#!/usr/bin/env bash
# Measures kestro's peak resident memory (/usr/bin/time -v) on a default run of 1800 s and on
# inputs of growing size, and prints a table. The readers use one fixed line buffer and the wind
# profile a fixed table of 5000 rows, so the peak must not grow with the input: the script fails
# when the largest input needs more than 1 MiB above the smallest.
#
# Usage: scripts/memory.sh
# Environment: KESTRO_BUILD_DIR (default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build_dir="${KESTRO_BUILD_DIR:-build/release}"

scripts/install-deps.sh
if [ ! -x /usr/bin/time ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq time >/dev/null
fi
cmake --preset release -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j2 --target kestro >/dev/null
kestro="$root/$build_dir/kestro"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# A fall of a few seconds from 300 m; the growing inputs come on top of it.
flight='lat=47.5\nlon=8.25\nalt=300\nvel=100\ninc=30\nazi=90\nmass=0.5\ndia=60\noform=pdvam\n'

junk_scenario() {  # bytes of junk lines (no keyword, no Ctrl-Z) after the flight
  printf "$flight" >"$1"
  (yes 'junk line, mass =9 is no key; lat;45 either' || true) | head -c "$2" >>"$1"
  printf '\nalt=250\n' >>"$1"
}
long_line_scenario() {  # one line of that many bytes, no line end in it
  printf "$flight" >"$1"
  head -c "$2" /dev/zero | tr '\0' 'x' >>"$1"
  printf '\n' >>"$1"
}
wind_profile() {  # that many lines, rising 1 m per line
  printf "${flight}wdata=true\natmfile=$1.wind\n" >"$1"
  awk -v n="$2" 'BEGIN { for (i = 0; i < n; ++i) printf "%d %d %d\n", i, 200 + i % 90, 2 + i % 7 }' \
      >"$1.wind"
}

printf '%-34s %14s %7s %16s %9s\n' "run" "input bytes" "status" "peak RSS (KiB)" "time (s)"
peaks=()
measure() {  # name scenario-file [wind-file]
  local name="$1" scenario="$2" bytes
  bytes=$(stat -c %s "$scenario")
  [ $# -gt 2 ] && bytes=$((bytes + $(stat -c %s "$3")))
  set +e
  /usr/bin/time -v -o time.txt "$kestro" RUN "$scenario" track.txt >/dev/null
  local status=$?
  set -e
  local peak seconds
  peak=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' time.txt)
  seconds=$(sed -n 's/^\s*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' time.txt)
  printf '%-34s %14s %7s %16s %9s\n' "$name" "$bytes" "$status" "$peak" "$seconds"
  peaks+=("$peak")
  rm -f "$scenario" "${3:-}"
}

printf 'alt=40000\nvel=0\nmass=0.001\ndia=100\noform=pdvam\n' >default.txt
measure "default run, 1800 s aloft" default.txt
printf "$flight" >plain.txt
measure "short flight" plain.txt
junk_scenario junk20.txt 20000000
measure "scenario + 20 MB junk lines" junk20.txt
junk_scenario junk200.txt 200000000
measure "scenario + 200 MB junk lines" junk200.txt
long_line_scenario line50.txt 50000000
measure "scenario + one 50 MB line" line50.txt
wind_profile wind100k.txt 100000
measure "wind profile, 100 000 lines" wind100k.txt wind100k.txt.wind
wind_profile wind1m.txt 1000000
measure "wind profile, 1 000 000 lines" wind1m.txt wind1m.txt.wind

low=${peaks[0]}
high=${peaks[0]}
for p in "${peaks[@]}"; do
  [ "$p" -lt "$low" ] && low=$p
  [ "$p" -gt "$high" ] && high=$p
done
echo "peak resident memory from $low to $high KiB"
if [ $((high - low)) -gt 1024 ]; then
  echo "FAILED: memory grows with the input"
  exit 1
fi
