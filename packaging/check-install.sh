#!/usr/bin/env bash
# check-install.sh ROOT PREFIX VERSION
# Checks an installation below ROOT + PREFIX (a DESTDIR install or an
# unpacked package): every file in its place and nothing else, the icon
# sizes, the binary's version, and that a converted KML names icon files
# that exist. Prints one line per fault; exit status 1 when there was one.
set -euo pipefail
root=$1 prefix=$2 version=$3
top="$root$prefix"
faults=0
fault() { echo "check-install: $*" >&2; faults=$((faults + 1)); }

expected_files() {
  echo bin/korvelo
  echo share/man/man1/korvelo.1.gz
  echo share/applications/org.korvelo.Korvelo.desktop
  echo share/metainfo/org.korvelo.Korvelo.metainfo.xml
  echo share/icons/hicolor/scalable/apps/korvelo.svg
  for size in 16 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x${size}/apps/korvelo.png"
  done
  for icon in autobahn celebration church cito earthcache event found \
              generic gigaevent lab letterbox marker megaevent mine moved \
              multi multimoved nightcache tbhotel traditional train \
              unavailable unknown virtual webcam whereigo; do
    echo "share/korvelo/icons/geocaching/icons/icon_$icon.png"
  done
  printf 'share/doc/korvelo/%s\n' README.md copyright changelog.gz
}

# Width and height of a PNG, from its IHDR chunk.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'
}

check_files() {
  local listed
  listed=$(cd "$top" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
  diff <(expected_files | LC_ALL=C sort) <(echo "$listed") >&2 ||
    fault "the files below $top differ from the list (< missing, > extra)"
  [ -x "$top/bin/korvelo" ] || fault "bin/korvelo is not executable"
  for size in 16 32 48 64 128 256; do
    local png="$top/share/icons/hicolor/${size}x${size}/apps/korvelo.png"
    if [ -f "$png" ] && [ "$(png_size "$png")" != "${size}x${size}" ]; then
      fault "$png is $(png_size "$png"), not ${size}x${size}"
    fi
  done
  for png in "$top"/share/korvelo/icons/geocaching/icons/*.png; do
    [ ! -f "$png" ] || [ "$(png_size "$png")" = 32x32 ] ||
      fault "$png is $(png_size "$png"), not 32x32"
  done
  gzip -dc "$top/share/man/man1/korvelo.1.gz" | grep -q '^\.SH EXIT STATUS' ||
    fault "the manual page has no EXIT STATUS section"
}

# A file:// URL as a path below ROOT when it lies under PREFIX, else as it is.
url_file() {
  local path=${1#file://}
  path=$(printf '%b' "${path//%/\\x}")
  case $path in "$prefix"/*) echo "$root$path" ;; *) echo "$path" ;; esac
}

# /found gives every cache the program's own found icon; the style block
# names four more of its icons.
check_icons() {
  local work hrefs
  work=$(mktemp -d)
  printf '%s\n' '<gpx><wpt lat="50.5" lon="8.5"><name>GC1</name>' \
    '<urlname>Test</urlname><groundspeak:type>Traditional Cache' \
    '</groundspeak:type></wpt></gpx>' >"$work/pq.gpx"
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/config" \
    "$top/bin/korvelo" /found "$work/pq.gpx" || fault "conversion: status $?"
  hrefs=$(grep -o '<href>[^<]*/geocaching/icons/[^<]*</href>' "$work/pq.kml" |
    sed 's|</\?href>||g' | sort -u) || true
  [ "$(echo "$hrefs" | grep -c .)" -ge 5 ] ||
    fault "the KML names too few of the program's icons: $hrefs"
  for url in $hrefs; do
    case $url in
      file://*) [ -f "$(url_file "$url")" ] || fault "no icon file for $url" ;;
      https://*) ;;  # a published base: not checked offline
      *) fault "icon URL neither file:// nor https://: $url" ;;
    esac
  done
  rm -rf "$work"
}

check_files
got=$("$top/bin/korvelo" --version) || fault "--version: status $?"
[ "$got" = "Korvelo $version" ] || fault "--version printed '$got'"
check_icons
[ "$faults" -eq 0 ] || exit 1
echo "check-install: $(expected_files | wc -l) files below $top in place," \
  "version $version, icons found"
