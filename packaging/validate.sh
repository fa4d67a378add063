#!/usr/bin/env bash
# validate.sh desktop|appstream|man FILE
# Runs the validator of one shipped metadata file and fails on any finding
# it prints (warnings included). Exits 77 (a skip for ctest) with the reason
# when the validator is not installed.
set -uo pipefail
kind=$1 file=$2

need() {  # COMMAND DEBIAN-PACKAGE
  command -v "$1" >/dev/null && return
  echo "skipped: $1 is not installed (Debian package $2)"
  exit 77
}

case $kind in
  desktop)
    need desktop-file-validate desktop-file-utils
    findings=$(desktop-file-validate "$file" 2>&1) ;;
  appstream)
    need appstreamcli appstream
    findings=$(appstreamcli validate --no-net "$file" 2>&1) || {
      echo "$findings"
      exit 1
    }
    findings="" ;;
  man)
    need man man-db
    findings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
      man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null) ;;
  *)
    echo "unknown kind $kind"
    exit 2 ;;
esac
[ -z "$findings" ] || { echo "$findings"; exit 1; }
echo "$kind: $file: no findings"
