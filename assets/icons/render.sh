#!/bin/sh
# Regenerates every icon of Korvelo: writes the SVG sources with
# src/make_svg.py, renders each PNG from its SVG with rsvg-convert, shrinks the
# PNGs losslessly with optipng (Google Earth fetches the KML markers) and checks
# that every PNG exists with its size.
#
#   assets/icons/render.sh           regenerate everything
#   assets/icons/render.sh --check   only check: every PNG with its size, and
#                                    (with python3) every SVG as the generator
#                                    writes it today
#
# Needs python3, rsvg-convert (librsvg2-bin) and optipng; the build does not:
# the rendered PNGs are committed. The check needs only od and, for the SVG
# comparison, python3 and diff.
set -eu
cd "$(dirname "$0")"

MARKERS="megaevent whereigo moved multimoved nightcache autobahn church
tbhotel train found mine unavailable marker
traditional multi virtual letterbox event unknown webcam cito earthcache
gigaevent lab celebration generic"
FUNCTIONS="complete found mine disabled marked"
APP_SIZES="16 32 48 64 128 256"
# At 16 and 32 pixels the full tile is mush; a simpler drawing takes over.
APP_SMALL="16 32"

render() {  # svg png width height
  rsvg-convert --width "$3" --height "$4" --output "$2" "$1"
  optipng -quiet -o7 -strip all "$2"
}

# The PNG signature and the width and height of its IHDR chunk.
png_header() {
  od -An -tu1 -N24 "$1" 2>/dev/null |
    tr -s ' \n' ' ' |
    awk '{ if ($1 == 137 && $2 == 80 && $3 == 78 && $4 == 71)
             print $19 * 256 + $20 "x" $23 * 256 + $24 }'
}

check() {  # png width height
  if [ "$(png_header "$1")" != "$2x$3" ]; then
    echo "render.sh: $1 is missing or not a $2x$3 PNG" >&2
    return 1
  fi
}

# Every SVG is what src/make_svg.py writes: a hand edit or a drawing changed
# without regenerating shows here.
check_sources() {
  if ! command -v python3 >/dev/null; then
    echo "render.sh: no python3, the SVG sources are not compared"
    return 0
  fi
  fresh=$(mktemp -d)
  python3 src/make_svg.py "$fresh"
  status=0
  for svg in $(cd "$fresh" && find . -name '*.svg' | sort); do
    cmp -s "$fresh/$svg" "$svg" ||
      { echo "render.sh: $svg differs from what src/make_svg.py writes" >&2
        status=1; }
  done
  rm -rf "$fresh"
  return $status
}

each() {  # action: render or check
  action=$1
  for m in $MARKERS; do
    $action geocaching/icons/icon_$m.png 32 32 src/geocaching/icon_$m.svg
  done
  for f in $FUNCTIONS; do
    $action ui/function-$f.png 32 32 ui/function-$f.svg
  done
  $action ui/note.png 32 33 ui/note.svg
  for s in $APP_SIZES; do
    src=app/korvelo.svg
    case " $APP_SMALL " in *" $s "*) src=src/app/korvelo-small.svg ;; esac
    $action app/korvelo-$s.png "$s" "$s" "$src"
  done
}

do_render() { render "$4" "$1" "$2" "$3"; }
do_check() { check "$1" "$2" "$3"; }

if [ "${1:-}" != "--check" ]; then
  python3 src/make_svg.py
  each do_render
fi
each do_check
check_sources
echo "render.sh: all icons present with their sizes"
