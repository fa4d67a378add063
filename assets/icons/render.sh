#!/bin/sh
# Regenerates every icon of Korvelo: writes the SVG sources with
# src/make_svg.py, renders each PNG from its SVG with rsvg-convert, shrinks the
# PNGs losslessly with optipng (Google Earth fetches the KML markers) and checks
# that every PNG exists with its size.
#
#   assets/icons/render.sh           regenerate everything
#   assets/icons/render.sh --check   only check the committed PNGs
#
# Needs python3, rsvg-convert (librsvg2-bin) and optipng; the build does not:
# the rendered PNGs are committed.
set -eu
cd "$(dirname "$0")"

MARKERS="megaevent whereigo moved multimoved nightcache autobahn church
tbhotel train found mine unavailable marker"
FUNCTIONS="complete found mine disabled marked"
APP_SIZES="16 32 48 64 128 256"
# At 16 and 32 pixels the full tile is mush; a simpler drawing takes over.
APP_SMALL="16 32"

render() {  # svg png width height
  rsvg-convert --width "$3" --height "$4" --output "$2" "$1"
  optipng -quiet -o7 -strip all "$2"
}

check() {  # png width height
  if ! file "$1" | grep -q "PNG image data, $2 x $3,"; then
    echo "render.sh: $1 is missing or not a $2x$3 PNG" >&2
    return 1
  fi
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
echo "render.sh: all icons present with their sizes"
