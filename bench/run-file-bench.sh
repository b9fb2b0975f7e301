#!/usr/bin/env bash
# File conversion speed of tarnwell-cli against PROJ's cs2cs on the same
# random points in China: LB -> Plan (the default transverse Mercator),
# LB -> Space and Plan -> LB, all on WGS84 in decimal degrees.
#
#   bench/run-file-bench.sh [BUILD_DIR] [POINTS]
#
# BUILD_DIR defaults to build-bench beside this folder's parent and is
# configured and built when needed; POINTS defaults to 1000000.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
count=${2:-1000000}

command -v cs2cs >/dev/null || { echo "cs2cs not found (Debian package proj-bin)" >&2; exit 1; }
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWELL_BUILD_UI=OFF >/dev/null
fi
cmake --build "$build" --target tarnwell-cli bench-generate-points bench-compare-outputs >/dev/null
cli=$build/bin/tarnwell-cli
generate=$build/bin/bench-generate-points
compare=$build/bin/bench-compare-outputs

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$generate" "$count" 20240601 points.csv cs2cs-lb.txt
ln points.csv space.csv        # each input gets its own output name (input + "1")
projected=$("$compare" --definition)
geodetic="+proj=latlong +ellps=WGS84"

# Runs a command three times, its output discarded, and prints the seconds
# of the fastest run: the slower ones carry the machine's noise (disk
# write-back above all), the same for both programs.
seconds() {
  local best="" start end run
  for run in 1 2 3; do
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; if (b == "" || t < b) b = t; printf "%.3f", b }')
  done
  echo "$best"
}

lb=(--from-angle DDD --to-angle DDD --from-ellipsoid WGS84 --to-ellipsoid WGS84)
oursPlan=$(seconds "$cli" file --from LB --to Plan --format n,b,l,h "${lb[@]}" points.csv)
mv points.csv1 plan.csv
oursSpace=$(seconds "$cli" file --from LB --to Space --format n,b,l,h "${lb[@]}" space.csv)
oursLB=$(seconds "$cli" file --from Plan --to LB --format n,x,y,h "${lb[@]}" plan.csv)

# cs2cs reads east north h; the projected input is ours, so both sides
# convert the very same numbers back.
awk -F'[,\r]' '{ print $3, $2, $4 }' plan.csv > cs2cs-plan-in.txt
# shellcheck disable=SC2086  # the definitions are word lists on purpose
theirsPlan=$(seconds sh -c "cs2cs -f %.15f $geodetic +to $projected < cs2cs-lb.txt > cs2cs-plan.txt")
theirsSpace=$(seconds sh -c "cs2cs -f %.15f $geodetic +to +proj=geocent +ellps=WGS84 < cs2cs-lb.txt > cs2cs-space.txt")
theirsLB=$(seconds sh -c "cs2cs -f %.15f $projected +to $geodetic < cs2cs-plan-in.txt > cs2cs-lb-out.txt")

report() {  # name, our seconds, their seconds, kind, our output, their output
  local rate theirs ratio difference
  rate=$(awk -v n="$count" -v t="$2" 'BEGIN { printf "%.0f", n / t }')
  theirs=$(awk -v n="$count" -v t="$3" 'BEGIN { printf "%.0f", n / t }')
  ratio=$(awk -v ours="$2" -v cs2cs="$3" 'BEGIN { printf "%.2f", cs2cs / ours }')
  difference=$("$compare" "$4" "$5" "$6")
  printf '%-12s tarnwell-cli %9s pts/s   cs2cs %9s pts/s   ratio %5sx   %s\n' "$1" "$rate" "$theirs" "$ratio" "$difference"
}

echo "$count points; projected definition: $projected"
report "LB -> Plan" "$oursPlan" "$theirsPlan" plan plan.csv cs2cs-plan.txt
report "LB -> Space" "$oursSpace" "$theirsSpace" space space.csv1 cs2cs-space.txt
report "Plan -> LB" "$oursLB" "$theirsLB" lb plan.csv1 cs2cs-lb-out.txt
