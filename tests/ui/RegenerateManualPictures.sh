#!/usr/bin/env bash
# Redraws the manual's pictures with the screenshot tour, as the program now
# is: runs the tour into a temporary folder as ManualPicturesTest runs it,
# copies in every picture index.html shows and removes those it no longer
# shows. Run through the build: cmake --build build --target manual_pictures
#   RegenerateManualPictures.sh TOUR MANUAL_DIRECTORY
set -euo pipefail
tour=$1
manual=$2

output=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$output" "$home"' EXIT
pictures=$(grep -o '<img[^>]*src="images/[^"]*"' "$manual/index.html" | sed 's/.*src="images\///; s/"$//' | sort -u)
# The tour's help window shows the manual placed beside the tour, pictures
# and all, and its scroll bars follow their sizes: the pictures go there
# too, and a second pass draws the help window over the new ones.
placed="$(dirname "$tour")/manual/images"

draw_pictures() {
  env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_FONT_DPI -u QT_ENABLE_HIGHDPI_SCALING \
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 HOME="$home" "$tour" "$output" 2>/dev/null
  status=0
  for picture in $pictures; do
    if [[ -f "$output/$picture" ]]; then
      cp "$output/$picture" "$manual/images/$picture"
      if [[ -d "$placed" ]]; then cp "$output/$picture" "$placed/$picture"; fi
    else
      echo "the tour draws no $picture: draw it in tests/ui/ScreenshotTour.cpp" >&2
      status=1
    fi
  done
}

draw_pictures
draw_pictures
for shipped in "$manual"/images/*.png; do
  name=$(basename "$shipped")
  if ! grep -qxF "$name" <<<"$pictures"; then
    echo "removed images/$name: the manual no longer shows it"
    rm "$shipped"
  fi
done
exit $status
