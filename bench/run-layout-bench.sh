#!/usr/bin/env bash
# File conversion speed of the layouts of the user's own against the fixed
# layout, LB -> Plan on WGS84 with one thread, on POINTS random points in
# China:
#
#   fixed    --format n,b,l,h on "name,B,L,h"
#   columns  --columns name,b,l,h on the same file
#   cass     --columns name,code,l,b,h on "name,code,L,B,h"
#   blank    --columns name,b,l,h --separator blank on "name B L h"
#
# With a BASELINE tarnwell-cli (an earlier build) the fixed layout runs with
# it too, to tell whether the fixed layout got slower.
#
#   bench/run-layout-bench.sh [BUILD_DIR] [POINTS] [ROUNDS] [BASELINE]
#
# BUILD_DIR defaults to build-bench beside this folder; POINTS to 1000000,
# ROUNDS to 5. The runs take turns; of each layout the run with the least
# processor time counts (on a shared machine the wall-clock time of one
# thread mostly tells what the other programs did meanwhile).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
count=${2:-1000000}
rounds=${3:-5}
baseline=${4:-}

source "$root/bench/bench-setup.sh"

"$build/bin/bench-generate-points" "$count" 20240601 fixed.csv /dev/null
ln fixed.csv columns.csv
ln fixed.csv baseline.csv
awk -F, '{ print $1 ",K" NR % 7 "," $3 "," $2 "," $4 }' fixed.csv >cass.csv
tr ',' ' ' <fixed.csv >blank.csv

common=(--from LB --to Plan --from-angle DDD --from-ellipsoid WGS84 --to-ellipsoid WGS84 --threads 1)
declare -A layout=([fixed]="--format n,b,l,h" [baseline]="--format n,b,l,h" [columns]="--columns name,b,l,h"
                   [cass]="--columns name,code,l,b,h" [blank]="--columns name,b,l,h --separator blank")
contenders=(fixed columns cass blank)
[[ -n $baseline ]] && contenders+=(baseline)
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (Debian package time)" >&2; exit 1; }
declare -A fastest

for ((round = 0; round < rounds; ++round)); do
  for ((turn = 0; turn < ${#contenders[@]}; ++turn)); do
    name=${contenders[(round + turn) % ${#contenders[@]}]}
    program=$cli
    [[ $name == baseline ]] && program=$baseline
    read -ra options <<<"${layout[$name]}"
    /usr/bin/time -f '%U %S' -o usage.txt "$program" file "${common[@]}" "${options[@]}" "$name.csv" >/dev/null
    seconds=$(awk '{ printf "%.0f", ($1 + $2) * 1e9 }' usage.txt)  # in nanoseconds
    if [[ -z ${fastest[$name]:-} ]] || ((seconds < fastest[$name])); then fastest[$name]=$seconds; fi
  done
done

echo "LB -> Plan, $count points, 1 thread, least processor time of $rounds interleaved rounds"
printf '%-10s %-44s %10s %10s\n' layout options "points/cpu s" "x fixed"
for name in "${contenders[@]}"; do
  printf '%-10s %-44s %10.0f %10.3f\n' "$name" "${layout[$name]}" \
    "$(awk -v n="$count" -v ns="${fastest[$name]}" 'BEGIN { print n / (ns / 1e9) }')" \
    "$(awk -v ours="${fastest[$name]}" -v fixed="${fastest[fixed]}" 'BEGIN { print fixed / ours }')"
done
worst=$(for name in columns cass blank; do echo "${fastest[$name]}"; done | sort -n | tail -1)
echo "slowest layout of the user's own within 15 % of the fixed layout:" \
  "$(awk -v worst="$worst" -v fixed="${fastest[fixed]}" 'BEGIN { r = worst / fixed; printf "%.3fx %s", r, (r <= 1.15 ? "met" : "MISSED") }')"
