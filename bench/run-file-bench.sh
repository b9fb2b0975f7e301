#!/usr/bin/env bash
# File conversion with tarnwell-cli against PROJ's cs2cs and GeographicLib's
# CartConvert, all on WGS84 with angles in decimal degrees:
#
#  1. speed: LB -> Plan (the default transverse Mercator), LB -> Space and
#     Plan -> LB on POINTS random points in China, by cs2cs -f %.15f,
#     tarnwell-cli --threads 1 and tarnwell-cli on all cores; points per
#     second, the speed against cs2cs and the largest difference from cs2cs;
#  2. memory: LB -> Plan on all cores, the peak resident memory on BIG points
#     against that on POINTS points;
#  3. accuracy: Space -> LB over the whole earth at heights from -10 km to
#     40 000 km against CartConvert -r, the largest difference per height band.
#
#   bench/run-file-bench.sh [BUILD_DIR] [POINTS] [BIG] [ROUNDS]
#
# BUILD_DIR defaults to build-bench beside this folder and is configured and
# built when needed; POINTS defaults to 1000000, BIG to 10000000, ROUNDS to 5.
# The files (about 2 GB with BIG at 10 million) go to a temporary folder under
# TMPDIR and are removed at the end.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
count=${2:-1000000}
bigCount=${3:-10000000}
rounds=${4:-5}

for tool in cs2cs CartConvert; do
  command -v "$tool" >/dev/null || { echo "$tool not found (Debian packages proj-bin, geographiclib-tools)" >&2; exit 1; }
done
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (Debian package time)" >&2; exit 1; }
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWELL_BUILD_UI=OFF >/dev/null
fi
cmake --build "$build" -j2 --target tarnwell-cli bench-generate-points bench-compare-outputs >/dev/null
cli=$build/bin/tarnwell-cli
generate=$build/bin/bench-generate-points
compare=$build/bin/bench-compare-outputs

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

cores=$(nproc)
read -ra projected <<<"$("$compare" --definition)"
geodetic=(+proj=latlong +ellps=WGS84)
geocentric=(+proj=geocent +ellps=WGS84)
wgs84=(--from-angle DDD --to-angle DDD --from-ellipsoid WGS84 --to-ellipsoid WGS84)

# Timing. Each run is kept under a name ("plan/cs2cs", "plan/1", "plan/all"):
# the fastest wall-clock time in nanoseconds, the processor seconds of that
# run and the largest peak resident memory in kB. ourSeconds adds up the
# processor time of every run, to tell it from what other programs took.
declare -A fastest processor peak
ourSeconds=0

# measure NAME INPUT OUTPUT COMMAND...: one run with standard input and
# output redirected.
measure() {
  local name=$1 input=$2 output=$3 start end wall seconds memory
  shift 3
  start=$(date +%s%N)
  /usr/bin/time -v -o usage.txt "$@" <"$input" >"$output"
  end=$(date +%s%N)
  wall=$((end - start))
  seconds=$(awk -F': ' '/(User|System) time/ { sum += $2 } END { printf "%.2f", sum }' usage.txt)
  ourSeconds=$(awk -v a="$ourSeconds" -v b="$seconds" 'BEGIN { print a + b }')
  if [[ -z ${fastest[$name]:-} ]] || ((wall < fastest[$name])); then
    fastest[$name]=$wall
    processor[$name]=$seconds
  fi
  memory=$(awk -F': ' '/Maximum resident set size/ { print $2 }' usage.txt)
  if ((memory > ${peak[$name]:-0})); then peak[$name]=$memory; fi
}

declare -A title=([plan]="LB -> Plan" [space]="LB -> Space" [lb]="Plan -> LB")
declare -A ourTypes=([plan]="--from LB --to Plan --format n,b,l,h"
                     [space]="--from LB --to Space --format n,b,l,h"
                     [lb]="--from Plan --to LB --format n,x,y,h")
declare -A cs2csInput=([plan]=input-lb.txt [space]=input-lb.txt [lb]=input-plan.txt)

# run_ours CONVERSION THREADS [TAG]: tarnwell-cli on CONVERSION-THREADSTAG.csv,
# written to CONVERSION-THREADSTAG.csv1 and kept as CONVERSION/THREADSTAG;
# THREADS "all" leaves the count to the program.
run_ours() {
  local types threads=()
  read -ra types <<<"${ourTypes[$1]}"
  [[ $2 == all ]] || threads=(--threads "$2")
  measure "$1/$2${3:-}" /dev/null /dev/null "$cli" file "${threads[@]}" "${types[@]}" "${wgs84[@]}" "$1-$2${3:-}.csv"
}

# run_cs2cs CONVERSION: cs2cs from its input to cs2cs-CONVERSION.txt.
run_cs2cs() {
  local definitions
  case $1 in
    plan) definitions=("${geodetic[@]}" +to "${projected[@]}") ;;
    space) definitions=("${geodetic[@]}" +to "${geocentric[@]}") ;;
    lb) definitions=("${projected[@]}" +to "${geodetic[@]}") ;;
  esac
  measure "$1/cs2cs" "${cs2csInput[$1]}" "cs2cs-$1.txt" cs2cs -f %.15f "${definitions[@]}"
}

# Processor seconds the whole machine has been busy (or taken by the host).
busy_seconds() { awk -v tick="$(getconf CLK_TCK)" '/^cpu / { print ($2 + $3 + $4 + $7 + $8 + $9) / tick }' /proc/stat; }
at_most() { awk -v value="$1" -v limit="$2" 'BEGIN { exit !(value <= limit) }'; }
larger() { awk -v a="$1" -v b="$2" 'BEGIN { print (b > a ? b : a) }'; }
verdict() { if "$@"; then echo met; else echo MISSED; fi; }
rate() { awk -v n="$1" -v ns="$2" 'BEGIN { printf "%.0f", n / (ns / 1e9) }'; }
largest_difference() { "$compare" "$@" | awk '{ print $5 }'; }  # kind, ours, theirs

# 1. Speed. The points, and the projected points both sides convert back:
# ours, made by one run that also brings the input into the page cache.
"$generate" "$count" 20240601 points.csv input-lb.txt
"$cli" file --from LB --to Plan --format n,b,l,h "${wgs84[@]}" points.csv >/dev/null
mv points.csv1 plan.csv
awk -F'[,\r]' '{ print $3, $2, $4 }' plan.csv >input-plan.txt  # cs2cs reads east north h
for threads in 1 all; do
  ln points.csv "plan-$threads.csv"
  ln points.csv "space-$threads.csv"
  ln plan.csv "lb-$threads.csv"
done

# The contenders take turns, each round starting with the next one, so that
# the machine's noise (other users, disk write-back) falls on all alike; the
# fastest run of each counts.
contenders=(cs2cs 1 all)
busyBefore=$(busy_seconds)
startedAt=$(date +%s%N)
for ((round = 0; round < rounds; ++round)); do
  for conversion in plan space lb; do
    for ((turn = 0; turn < 3; ++turn)); do
      contender=${contenders[(round + turn) % 3]}
      if [[ $contender == cs2cs ]]; then run_cs2cs "$conversion"; else run_ours "$conversion" "$contender"; fi
    done
  done
done
others=$(awk -v busy="$(busy_seconds)" -v before="$busyBefore" -v ours="$ourSeconds" \
  -v ns=$(($(date +%s%N) - startedAt)) 'BEGIN { printf "%.1f", (busy - before - ours) / (ns / 1e9) }')

declare -A ratio difference
sameOutputs=yes
echo "1. Speed: $count points in China (heights -150..5000 m), fastest of $rounds interleaved rounds, $cores cores"
echo "   other programs kept $others of the $cores cores busy on average meanwhile"
echo "   projected: ${projected[*]}"
printf '%-12s %-24s %10s %8s %11s  %s\n' conversion program points/s "x cs2cs" "processor s" "largest difference from cs2cs"
for conversion in plan space lb; do
  printf '%-12s %-24s %10s %8s %11s\n' "${title[$conversion]}" "cs2cs -f %.15f" \
    "$(rate "$count" "${fastest[$conversion/cs2cs]}")" 1.00 "${processor[$conversion/cs2cs]}"
  for threads in 1 all; do
    key=$conversion/$threads
    ratio[$key]=$(awk -v ours="${fastest[$key]}" -v cs2cs="${fastest[$conversion/cs2cs]}" \
      'BEGIN { printf "%.2f", cs2cs / ours }')
    difference[$key]=$(largest_difference "$conversion" "$conversion-$threads.csv1" "cs2cs-$conversion.txt")
    printf '%-12s %-24s %10s %8s %11s  %s m\n' "" "tarnwell-cli --threads ${threads/all/$cores}" \
      "$(rate "$count" "${fastest[$key]}")" "${ratio[$key]}" "${processor[$key]}" "${difference[$key]}"
  done
  cmp -s "$conversion-1.csv1" "$conversion-all.csv1" || sameOutputs=no
done
echo "   outputs of 1 and $cores threads byte-identical: $sameOutputs"

# 2. Memory, on a fresh input of BIG points (the others go, to spare the disk).
rm -f ./*.csv ./*.csv1 ./*.txt
"$generate" "$bigCount" 20240602 plan-all-big.csv /dev/null
for run in 1 2; do run_ours plan all -big; done
rm -f ./*.csv ./*.csv1
memoryRatio=$(awk -v big="${peak[plan/all-big]}" -v small="${peak[plan/all]}" 'BEGIN { printf "%.2f", big / small }')
echo
echo "2. Memory: LB -> Plan, tarnwell-cli on $cores cores, largest peak resident set of the runs"
printf '   %9s points: %8s kB (%s runs), %10s points/s\n' "$count" "${peak[plan/all]}" "$rounds" \
  "$(rate "$count" "${fastest[plan/all]}")"
printf '   %9s points: %8s kB (2 runs), %10s points/s\n' "$bigCount" "${peak[plan/all-big]}" \
  "$(rate "$bigCount" "${fastest[plan/all-big]}")"
echo "   ratio: $memoryRatio"

# 3. Accuracy of Space -> LB by height band: geocentric points made by
# CartConvert from random geodetic ones, converted back by both.
heights=(-10000 0 9000 100000 1000000 10000000 40000000)  # metres, the band limits
bandCount=100000
worstBand=0
echo
echo "3. Space -> LB against CartConvert -r, $bandCount points over the whole earth per height band"
for ((band = 0; band + 1 < ${#heights[@]}; ++band)); do
  "$generate" --world --heights "${heights[band]}" "${heights[band + 1]}" "$bandCount" $((band + 1)) \
    /dev/null band-lb.txt
  CartConvert -w -p 10 <band-lb.txt >band-xyz.txt
  awk '{ printf "Q%07d,%s,%s,%s\r\n", NR, $1, $2, $3 }' band-xyz.txt >band.csv
  "$cli" file --from Space --to LB --format n,X,Y,Z "${wgs84[@]}" band.csv >/dev/null
  CartConvert -r -w -p 10 <band-xyz.txt >band-cartconvert.txt
  bandDifference=$(largest_difference lb band.csv1 band-cartconvert.txt)
  printf '   %9s m .. %9s m: largest difference %s m\n' "${heights[band]}" "${heights[band + 1]}" "$bandDifference"
  worstBand=$(larger "$worstBand" "$bandDifference")
done

echo
echo "Targets"
for conversion in plan space lb; do
  echo "   ${title[$conversion]}, 1 thread >= 5x cs2cs: ${ratio[$conversion/1]}x $(verdict at_most 5 "${ratio[$conversion/1]}")"
done
for conversion in plan space; do
  echo "   ${title[$conversion]}, $cores threads >= 7.5x cs2cs: ${ratio[$conversion/all]}x" \
    "$(verdict at_most 7.5 "${ratio[$conversion/all]}")"
done
worstSpeedDifference=0
for key in "${!difference[@]}"; do
  worstSpeedDifference=$(larger "$worstSpeedDifference" "${difference[$key]}")
done
echo "   difference from cs2cs <= 1e-6 m (heights below 9 km): $worstSpeedDifference m" \
  "$(verdict at_most "$worstSpeedDifference" 1e-6)"
echo "   Space -> LB within 1e-6 m of CartConvert at every height: $worstBand m $(verdict at_most "$worstBand" 1e-6)"
echo "   peak memory on $bigCount <= 1.5x that on $count: ${memoryRatio}x $(verdict at_most "$memoryRatio" 1.5)"
