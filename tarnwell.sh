#!/usr/bin/env bash
# Sets Tarnwell up on a Debian machine (as root), builds it, and then either
# starts the program (run) or runs every test (test).
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libproj-dev proj-bin proj-data libgdal-dev gdal-bin libalglib-dev
          libgeographiclib-dev geographiclib-tools libtbb-dev dpkg-dev file time
          libgtest-dev libbenchmark-dev fonts-noto-cjk qt6-translations-l10n xvfb xauth)

install_missing_packages() {
  local missing=() package
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# build DIR [cmake options...] [--target TARGET]
build() {
  local directory=$1 options=() targets=()
  shift
  while (($#)); do
    if [[ $1 == --target ]]; then targets=(--target "$2"); shift 2; else options+=("$1"); shift; fi
  done
  cmake -S . -B "$directory" -G Ninja -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
  cmake --build "$directory" -j"$(nproc)" "${targets[@]}"
}

run_program() {
  build build
  if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display to show the window on; for scripted work use build/bin/tarnwell-cli (tarnwell-cli --help)."
    exit 1
  fi
  exec build/bin/tarnwell
}

run_tests() {
  build build
  ctest --test-dir build --output-on-failure -j"$(nproc)"
  # The core once more under AddressSanitizer and UndefinedBehaviorSanitizer,
  # and a conversion on a worker under ThreadSanitizer: both at -O1, as the
  # sanitizers advise, which builds them faster on two cores.
  local checked=(-DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" -DTARNWELL_BUILD_UI=OFF -DTARNWELL_BUILD_BENCH=OFF)
  build build-sanitize -DTARNWELL_SANITIZE=ON "${checked[@]}"
  ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
  # A conversion on a worker while the settings change.
  build build-tsan -DTARNWELL_SANITIZE_THREAD=ON "${checked[@]}" --target tarnwell_concurrency_tests
  # Only the settings race is judged there: TBB's pool and GDAL are not
  # built for ThreadSanitizer, so a test on several pool threads or opening a
  # grid draws reports from inside them.
  ctest --test-dir build-tsan --output-on-failure -R ConversionOnAWorker.IgnoresSettingsChanges
}

case "${1:-}" in
  run) install_missing_packages; run_program ;;
  test) install_missing_packages; run_tests ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac
