#!/usr/bin/env bash
# Normal heights in file conversion: LB -> LB (DDD to DMS) and LB -> Plan (the default
# transverse Mercator) on POINTS random points in China, on one thread,
# with ellipsoidal heights on both sides and with normal heights on the
# target from EGM96 (--geoid egm96). Prints the fastest wall-clock time of
# ROUNDS runs of each, points per second, and the speed with the model
# against the speed without it (the aim: at least 70 %).
#
#   bench/run-height-bench.sh [BUILD_DIR] [POINTS] [ROUNDS]
#
# BUILD_DIR defaults to build-bench beside this folder and is configured and
# built when needed; POINTS defaults to 1000000, ROUNDS to 5.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
count=${2:-1000000}
rounds=${3:-5}

source "$root/bench/bench-setup.sh"
"$build/bin/bench-generate-points" "$count" 20240601 points.csv /dev/null

# LB -> LB writes DMS, so that it is a conversion without the model too.
common=(file --threads 1 --from LB --from-angle DDD --to-angle DMS --format n,b,l,h points.csv)
# fastest NAME OPTIONS...: the fastest of the rounds, in nanoseconds.
fastest() {
  local best=0 start end
  for ((round = 0; round < rounds; ++round)); do
    start=$(date +%s%N)
    "$cli" "${common[@]}" "$@" >/dev/null || { echo "conversion refused: $*" >&2; exit 1; }
    end=$(date +%s%N)
    if ((best == 0 || end - start < best)); then best=$((end - start)); fi
  done
  echo "$best"
}

for target in LB Plan; do
  plain=$(fastest --to "$target")
  normal=$(fastest --to "$target" --to-height normal --geoid egm96)
  awk -v t="$target" -v n="$count" -v a="$plain" -v b="$normal" 'BEGIN {
    printf "LB -> %s, 1 thread: ellipsoidal %.0f points/s, normal (egm96) %.0f points/s: %.0f %% %s\n",
           t, n / (a / 1e9), n / (b / 1e9), 100 * a / b, (a / b >= 0.7 ? "met" : "MISSED") }'
done
