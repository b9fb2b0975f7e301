#!/usr/bin/env bash
# Export of POINTS random points in China (squeezed into one zone) to a GeoPackage (CGCS2000, 3°
# Gauss-Krüger zone 39 with the zone prefix, EPSG:4527) against the text
# conversion of the same file, with tarnwell-cli on all cores; the export
# converts to a hidden text first and writes the GeoPackage in one
# transaction. Prints the wall-clock and processor seconds of the fastest of
# ROUNDS runs each, and the features ogrinfo counts in the GeoPackage.
#
#   bench/run-export-bench.sh [BUILD_DIR] [POINTS] [ROUNDS]
#
# BUILD_DIR defaults to build-bench beside this folder; POINTS to 1000000,
# ROUNDS to 3.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
count=${2:-1000000}
rounds=${3:-3}

[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (Debian package time)" >&2; exit 1; }
command -v ogrinfo >/dev/null || { echo "ogrinfo not found (Debian package gdal-bin)" >&2; exit 1; }
source "$root/bench/bench-setup.sh"
# Longitudes squeezed from China's 73.5°..135° into the zone's 115.5°..118.5°.
"$build/bin/bench-generate-points" "$count" 20240601 china.csv /dev/null
awk -F, -v OFS=, '{ $3 = sprintf("%.9f", 115.5 + ($3 - 73.5) * 3 / 61.5); print }' china.csv >points.csv
rm china.csv

zone39=(--from LB --to Plan --from-angle DDD --from-ellipsoid CGCS2000 --to-ellipsoid CGCS2000
        --zone-width 3 --zone 39 --zone-prefix)
declare -A wall processor
for ((round = 0; round < rounds; ++round)); do
  for kind in text gpkg; do
    extra=()
    [[ $kind == gpkg ]] && extra=(--export gpkg)
    start=$(date +%s%N)
    /usr/bin/time -f '%U %S' -o usage.txt "$cli" file "${zone39[@]}" "${extra[@]}" points.csv >/dev/null
    took=$(($(date +%s%N) - start))
    if [[ -z ${wall[$kind]:-} ]] || ((took < wall[$kind])); then
      wall[$kind]=$took
      processor[$kind]=$(awk '{ print $1 + $2 }' usage.txt)
    fi
  done
done

echo "$count points, LB -> Plan (EPSG:4527), tarnwell-cli on $(nproc) cores, fastest of $rounds rounds"
for kind in text gpkg; do
  printf '%-5s %8.2f s wall %8.2f s processor\n' "$kind" "$(awk -v ns="${wall[$kind]}" 'BEGIN { print ns / 1e9 }')" \
    "${processor[$kind]}"
done
echo "features in the GeoPackage: $(ogrinfo -so points.gpkg points | awk -F': ' '/Feature Count/ { print $2 }')"
