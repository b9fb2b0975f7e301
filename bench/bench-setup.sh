# Sourced by the benchmark scripts once they have set root and build: builds
# tarnwell-cli and the point generator in $build (configured when needed),
# sets cli, and moves into a temporary folder that is removed at exit.
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWELL_BUILD_UI=OFF >/dev/null
fi
cmake --build "$build" -j2 --target tarnwell-cli bench-generate-points >/dev/null
cli=$build/bin/tarnwell-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
