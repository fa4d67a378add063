#!/usr/bin/env bash
# check-package.sh DEB
# Unpacks the Debian package into a temporary root and checks it: its name,
# every installed file and the binary (check-install.sh), Depends naming the
# Qt 6 and ISA-L libraries, the desktop and AppStream validators, and
# lintian without errors. Prints the size, Depends and lintian's findings.
set -euo pipefail
deb=$1
here=$(cd "$(dirname "$0")" && pwd)
faults=0
fault() { echo "check-package: $*" >&2; faults=$((faults + 1)); }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
depends=$(dpkg-deb -f "$deb" Depends)
[ "$(basename "$deb")" = "korvelo_${version}_${arch}.deb" ] ||
  fault "$deb is not named korvelo_${version}_${arch}.deb"

"$here/check-install.sh" "$root" /usr "$version" || fault "installed files"

# The package names of Depends, one per line (alternatives too).
depends_names=$(echo "$depends" | tr ',|' '\n\n' | awk '{print $1}')
for library in libqt6core6 libqt6widgets6 libisal2 libc6; do
  grep -qx "$library" <<<"$depends_names" ||
    fault "Depends does not name $library: $depends"
done

desktop-file-validate "$root/usr/share/applications/org.korvelo.Korvelo.desktop" ||
  fault "desktop-file-validate"
appstreamcli validate --no-net \
  "$root/usr/share/metainfo/org.korvelo.Korvelo.metainfo.xml" ||
  fault "appstreamcli validate"

echo "lintian $deb:"
lintian --fail-on error --display-info "$deb" || fault "lintian reports errors"

echo "size: $(stat -c %s "$deb") bytes"
echo "Depends: $depends"
[ "$faults" -eq 0 ] || { echo "check-package: $faults fault(s)" >&2; exit 1; }
echo "check-package: $(basename "$deb") passed"
