#!/usr/bin/env bash
# The end-to-end benchmark behind `make bench`: times the real korvelo binary
# as a user runs it and GPSBabel's plain GPX-to-KML conversion on the same
# files, alternating, and checks that every case's output hashes to what it
# did before the speed work (bench/expected-hashes.txt).
#
#   bench/run_bench.sh BUILD_DIR            full run, writes bench/RESULTS.md
#   HASH_ONLY=1 bench/run_bench.sh BUILD_DIR  one run per case, prints hashes
#
# Environment: RUNS (timed runs per case, default 5), SIZES (default
# "1000 10000 100000"), STAGE_SIZES (sizes for cases c and d, default
# "10000 100000"), RESULTS (output file), KORVELO (binary to time).
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
KORVELO=${KORVELO:-$BUILD/korvelo}
RUNS=${RUNS:-5}
SIZES=${SIZES:-"1000 10000 100000"}
STAGE_SIZES=${STAGE_SIZES:-"10000 100000"}
RESULTS=${RESULTS:-$HERE/RESULTS.md}
EXPECTED=$HERE/expected-hashes.txt
SEED=1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/korvelo-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME=$WORK/config
mkdir -p "$WORK/in/zip" "$WORK/in/folder50" "$WORK/times" "$XDG_CONFIG_HOME/Brannoc"
HASH_FAILURES=0

log() { echo "bench: $*" >&2; }

# --- inputs ---------------------------------------------------------------

make_inputs() {
  local n
  for n in $(echo "$SIZES $STAGE_SIZES" | tr ' ' '\n' | sort -nu); do
    log "generating $n caches"
    "$BUILD/bench/make_bench_inputs" "$WORK/in" "$n" "$SEED"
    (cd "$WORK/in" && zip -q -X -j "zip/pq$n.zip" "pq$n.gpx")
  done
  local i
  for i in $(seq 1 50); do
    "$BUILD/bench/make_sample_pq" "$WORK/in/folder50/pq$(printf %02d "$i").gpx" \
      1000 $((100 + i))
  done
  # Files without a complete waypoint: a sparse GiB of zeros and 100 MB of
  # a "<wpt" that never ends.
  truncate -s 1G "$WORK/in/zeros.gpx"
  { printf '<wpt lat="1" lon="2">'; head -c 100M /dev/zero | tr '\0' 'x'; } \
    >"$WORK/in/endless.gpx"
}

input_of() {  # CASE SIZE
  case $1 in
    b) echo "$WORK/in/zip/pq$2.zip" ;;
    e) echo "$WORK/in/folder50" ;;
    zeros | endless) echo "$WORK/in/$1.gpx" ;;
    *) echo "$WORK/in/pq$2.gpx" ;;
  esac
}

# Bytes of GPX behind a case's input (the zip counts as its plain GPX).
input_bytes() {  # CASE SIZE
  case $1 in
    e) du -cb "$WORK/in/folder50"/*.gpx | tail -1 | cut -f1 ;;
    b) stat -c %s "$WORK/in/pq$2.gpx" ;;
    *) stat -c %s "$(input_of "$1" "$2")" ;;
  esac
}

# --- one run --------------------------------------------------------------

# Fresh, empty output folders and every setting written out for CASE. Each
# run gets new folders and the old ones stay until the end: on a file system
# that avoids reusing recently freed inodes (ext4 without a journal), files
# created right after hundreds were deleted cost about a millisecond each,
# which would time the deletion of the last run's output instead of this
# run.
RUN_NUMBER=0
prepare() {  # CASE SIZE
  RUN_NUMBER=$((RUN_NUMBER + 1))
  OUT=$WORK/out/$RUN_NUMBER
  mkdir -p "$OUT/kml" "$OUT/asc" "$OUT/txt" "$OUT/gpx"
  local mode=0 stages=0 kmz=0 gpx=0
  case $1 in
    d1) mode=1 ;; d2) mode=2 ;; c) stages=1 ;; k) kmz=1 ;; g) gpx=1 ;;
  esac
  cat >"$XDG_CONFIG_HOME/Brannoc/Korvelo.conf" <<EOF
[General]
Mode=1
bSmallIcons=1
bShowDisable=1
bExclude=$stages
ExcludeDir=$WORK/in/exclude$2
bExcludePeople=$stages
ExcludePeopleFile=$WORK/in/owners.txt
bMoveCaches=$stages
MoveCachesFile=$WORK/in/moves$2.txt
bOutputKml=1
OutputKmlDir=$OUT/kml
OutputKmlDirFileMode=$mode
bOutputAsc=$stages
OutputAscDir=$OUT/asc
bOutputTxt=$stages
OutputTxtDir=$OUT/txt
bOutputKmz=$kmz
bOutputGpx=$gpx
OutputGpxDir=$OUT/gpx
EOF
}

# Runs a command under /usr/bin/time -v; appends "microseconds peak-KiB
# cpu-seconds" (user + system) to the series LABEL.
timed() {  # LABEL COMMAND...
  local label=$1 start end status=0
  shift
  start=$(date +%s%N)
  /usr/bin/time -v -o "$WORK/time.txt" "$@" >/dev/null 2>"$WORK/stderr.txt" ||
    status=$?
  end=$(date +%s%N)
  if [ "$status" -ne 0 ] && [ "$label" != zeros ] && [ "$label" != endless ]; then
    log "failed ($status): $*"
    cat "$WORK/stderr.txt" >&2
    exit 1
  fi
  echo "$(((end - start) / 1000)) $(awk -F': ' '
    /Maximum resident/ {rss = $2}
    /User time|System time/ {cpu += $2}
    END {print rss, cpu}' "$WORK/time.txt")" >>"$WORK/times/$label"
}

run_korvelo() {  # LABEL CASE SIZE
  prepare "$2" "$3"
  timed "$1" "$KORVELO" /all "$(input_of "$2" "$3")"
}

run_gpsbabel() {  # LABEL SIZE
  timed "$1" gpsbabel -i gpx -f "$WORK/in/pq$2.gpx" -o kml \
    -F "$WORK/gpsbabel.kml"
}

# One hash over the names and contents of every output file. The extra icon
# base is compiled in and differs per build tree (file://...), so it is put
# back to the one the expected hashes were taken with first.
output_hash() {
  find "$OUT" -name '*.kml' -exec sed -i -E \
    's#<href>[^<]*(/geocaching/icons/)#<href>https://icons.korvelo.org\1#g' {} +
  (cd "$OUT" && find . -type f -print0 | LC_ALL=C sort -z |
    xargs -0 -r sha256sum) | sha256sum | cut -c1-64
}

check_hash() {  # CASE SIZE
  local got expected
  got=$(output_hash)
  echo "$1 $2 $got" >>"$WORK/hashes"
  expected=$(awk -v c="$1" -v s="$2" '$1 == c && $2 == s {print $3}' \
    "$EXPECTED" 2>/dev/null || true)
  if [ -z "$expected" ]; then
    log "no expected hash for $1 $2"
  elif [ "$expected" != "$got" ]; then
    log "OUTPUT CHANGED: case $1, $2 caches"
    HASH_FAILURES=$((HASH_FAILURES + 1))
  fi
}

# Warm-up (its output is hashed), then RUNS timed runs.
measure() {  # CASE SIZE
  log "case $1, $2 caches"
  run_korvelo "warm" "$1" "$2"
  check_hash "$1" "$2"
  local i
  for ((i = 0; i < RUNS; i++)); do run_korvelo "$1-$2" "$1" "$2"; done
}

# Cases a, b, k and g and GPSBabel on the same caches, alternating run by
# run, so that a change in the machine's load hits all five alike. Case k
# (the map as KMZ) has no expected hash: its archives hold the icon
# drawings, which change on their own. Case g (the GPX for devices beside
# the KML) has one.
measure_side_by_side() {  # SIZE
  log "cases a, b, k, g and GPSBabel, $1 caches"
  local c i
  for c in a b g; do
    run_korvelo "warm" "$c" "$1"
    find "$OUT" -type f -printf '%s\n' |
      awk '{ s += $1 } END { print s }' >"$WORK/bytes-$c-$1"
    check_hash "$c" "$1"
  done
  run_korvelo "warm" k "$1"
  run_gpsbabel gpsbabel-warm "$1"
  for ((i = 0; i < RUNS; i++)); do
    run_korvelo "a-$1" a "$1"
    run_korvelo "b-$1" b "$1"
    run_korvelo "k-$1" k "$1"
    run_korvelo "g-$1" g "$1"
    run_gpsbabel "gpsbabel-$1" "$1"
  done
}

# The disk's own speed for writes that must be on the disk before they count:
# every output is synced before it replaces its target, so no case can end
# sooner than the disk takes to store what it wrote.
measure_disk() {  # SIZE
  log "disk: dd of the $1-cache query with conv=fsync"
  local i
  for ((i = 0; i < RUNS; i++)); do
    sync
    timed "dd-$1" dd if="$WORK/in/pq$1.gpx" of="$WORK/dd.out" bs=1M \
      conv=fsync status=none
    rm -f "$WORK/dd.out"
  done
}

# Cases a and g again, alternating, with every sync of the outputs turned
# into nothing (eatmydata): what the program costs without the wait for the
# disk, which case g's extra 575 MB at 100000 caches make the larger part of
# its time on a slow disk.
measure_unsynced() {  # SIZE
  command -v eatmydata >/dev/null || { log "no eatmydata: unsynced runs skipped"; return 0; }
  log "cases a and g unsynced, $1 caches"
  local i c
  for ((i = 0; i <= RUNS; i++)); do
    for c in a g; do
      prepare "$c" "$1"
      # Else the unsynced bytes of the runs before are still on their way
      # to the disk, and the kernel slows this run's writes down for them.
      sync
      timed "$([ "$i" -eq 0 ] && echo warm || echo "u$c-$1")" \
        eatmydata "$KORVELO" /all "$(input_of "$c" "$1")"
    done
  done
}

unsynced_line() {  # SIZE
  [ -f "$WORK/times/ug-$1" ] || return 0
  awk -v a="$(median_of "ua-$1")" -v g="$(median_of "ug-$1")" -v n="$1" 'BEGIN {
    printf "- Without syncing (`eatmydata`, the same runs of (a) and (g) at %d caches, alternating): (a) median %.3f s, (g) %.3f s, %.2f times (a).\n",
      n, a, g, g / a }'
}

# "- Disk: ..." for the results: the synced write speed and what it means
# for the cases that write the most.
disk_line() {  # SIZE
  local n=$1 dd a
  [ -f "$WORK/times/dd-$n" ] && [ -f "$WORK/bytes-g-$n" ] || return 0
  dd=$(median_of "dd-$n")
  a=$(median_of "a-$n")
  awk -v dd="$dd" -v a="$a" -v in_b="$(input_bytes a "$n")" \
    -v ab="$(cat "$WORK/bytes-a-$n")" -v gb="$(cat "$WORK/bytes-g-$n")" \
    -v n="$n" 'BEGIN {
      speed = in_b / dd
      printf "- Disk: `dd bs=1M conv=fsync` of the %d-cache query (%.0f MB): median %.3f s, %.0f MB/s. At that speed the %.0f MB of case (a) need %.3f s and the %.0f MB of case (g) %.3f s, %.2f times the median of (a).\n",
        n, in_b / 1e6, dd, speed / 1e6, ab / 1e6, ab / speed, gb / 1e6,
        gb / speed, gb / speed / a }'
}

# --- statistics -----------------------------------------------------------

# "median min max" seconds, the median peak in MB and the median CPU
# seconds of a series.
stats() {  # LABEL
  local file=$WORK/times/$1
  echo "$(cut -d' ' -f1 "$file" | sort -n | awk '
    { v[NR] = $1 / 1e6 }
    END {
      mid = int((NR + 1) / 2)
      printf "%.3f %.3f %.3f", (NR % 2) ? v[mid] : (v[mid] + v[mid + 1]) / 2,
        v[1], v[NR]
    }') $(cut -d' ' -f2 "$file" | sort -n | awk '
    { v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1024 }') \
    $(cut -d' ' -f3 "$file" | sort -n | awk '
    { v[NR] = $1 } END { printf "%.2f", v[int((NR + 1) / 2)] }')"
}

row() {  # CASE SIZE DESCRIPTION
  local bytes mb
  bytes=$(input_bytes "$1" "$2")
  mb=$(awk -v b="$bytes" 'BEGIN {printf "%.1f", b / 1e6}')
  read -r med lo hi rss cpu <<<"$(stats "$1-$2")"
  awk -v d="$3" -v n="$2" -v mb="$mb" -v med="$med" -v lo="$lo" -v hi="$hi" \
    -v rss="$rss" -v cpu="$cpu" 'BEGIN {
      printf "| %s | %s | %s | %.3f (%.3f–%.3f) | %.2f | %.0f | %.0f | %.0f | %.2f |\n",
        d, n, mb, med, lo, hi, cpu, mb / med, n / med, rss, rss / mb }'
}

gpsbabel_row() {  # SIZE
  local mb
  mb=$(awk -v b="$(input_bytes a "$1")" 'BEGIN {printf "%.1f", b / 1e6}')
  read -r med lo hi rss cpu <<<"$(stats "gpsbabel-$1")"
  read -r kmed _ <<<"$(stats "a-$1")"
  awk -v n="$1" -v mb="$mb" -v med="$med" -v lo="$lo" -v hi="$hi" \
    -v rss="$rss" -v k="$kmed" -v cpu="$cpu" 'BEGIN {
      printf "| %s | %s | %.3f (%.3f–%.3f) | %.2f | %.0f | %.0f | %.2f | %.2f |\n",
        n, mb, med, lo, hi, cpu, mb / med, rss, rss / mb, med / k }'
}

median_of() { read -r med _ <<<"$(stats "$1")"; echo "$med"; }
rss_of() { read -r _ _ _ rss _ <<<"$(stats "$1")"; echo "$rss"; }
mb_of() { awk -v b="$(input_bytes "$1" "$2")" 'BEGIN {printf "%.3f", b / 1e6}'; }

# One line per target: measured value, limit, met or not.
target() {  # TEXT VALUE OP LIMIT
  awk -v t="$1" -v v="$2" -v op="$3" -v l="$4" 'BEGIN {
    ok = (op == ">=") ? (v >= l) : (v <= l)
    printf "| %s | %.2f | %s %s | %s |\n", t, v, op, l, ok ? "met" : "NOT met" }'
}

targets() {
  echo "| target | measured | limit | |"
  echo "|---|---|---|---|"
  local n g
  for n in 10000 100000; do
    [ -f "$WORK/times/gpsbabel-$n" ] || continue
    g=$(median_of "gpsbabel-$n")
    # Twenty times at the large queries; the small one is mostly start-up.
    target "(a) throughput vs GPSBabel, $n caches" \
      "$(awk -v g="$g" -v k="$(median_of "a-$n")" 'BEGIN {print g / k}')" \
      ">=" "$([ "$n" = 100000 ] && echo 20 || echo 8)"
    if [ -f "$WORK/times/c-$n" ]; then
      target "(c) every stage vs GPSBabel plain, $n caches" \
        "$(awk -v g="$g" -v k="$(median_of "c-$n")" 'BEGIN {print g / k}')" ">=" 8
    fi
  done
  for n in $SIZES; do
    target "(b) zip time / plain GPX time, $n caches" \
      "$(awk -v z="$(median_of "b-$n")" -v a="$(median_of "a-$n")" \
        'BEGIN {print z / a}')" "<=" 1.15
  done
  n=100000
  if [ -f "$WORK/times/k-$n" ]; then
    target "(k) KMZ time / classic KML time, $n caches" \
      "$(awk -v k="$(median_of "k-$n")" -v a="$(median_of "a-$n")" \
        'BEGIN {print k / a}')" "<=" 1.5
  fi
  if [ -f "$WORK/times/g-$n" ]; then
    target "(g) GPX time / classic KML time, $n caches" \
      "$(awk -v g="$(median_of "g-$n")" -v a="$(median_of "a-$n")" \
        'BEGIN {print g / a}')" "<=" 1.3
  fi
  if [ -f "$WORK/times/ug-$n" ]; then
    target "(g) GPX time / classic KML time, $n caches, unsynced" \
      "$(awk -v g="$(median_of "ug-$n")" -v a="$(median_of "ua-$n")" \
        'BEGIN {print g / a}')" "<=" 1.3
  fi
  n=100000
  if [ -f "$WORK/times/a-$n" ]; then
    target "(a) peak RSS / input size, $n caches" \
      "$(awk -v r="$(rss_of "a-$n")" -v m="$(mb_of a $n)" 'BEGIN {print r / m}')" "<=" 1.5
    target "time per cache, 100,000 / 10,000 caches" \
      "$(awk -v a="$(median_of a-100000)" -v b="$(median_of a-10000)" \
        'BEGIN {print (a / 100000) / (b / 10000)}')" "<=" 1.1
  fi
  if [ -f "$WORK/times/c-$n" ]; then
    target "(c) peak RSS / input size, $n caches" \
      "$(awk -v r="$(rss_of "c-$n")" -v m="$(mb_of c $n)" 'BEGIN {print r / m}')" "<=" 2.5
  fi
  target "1 GiB of zeros named .gpx: peak RSS MB" "$(rss_of zeros)" "<=" 300
  target "100 MB \`<wpt\` that never ends: peak RSS MB" "$(rss_of endless)" "<=" 300
}

write_results() {
  local cpu
  cpu=$(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)
  {
    echo "# Benchmark results"
    echo
    echo "Written by \`make bench\` (bench/run_bench.sh); do not edit by hand."
    echo
    echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "- Machine: $cpu, $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB;" \
      "$(uname -sr); load before: $LOAD_BEFORE; after: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "- Korvelo: $(git -C "$HERE" rev-parse --short HEAD 2>/dev/null || echo '?')" \
      "($KORVELO); GPSBabel: $(gpsbabel -V 2>/dev/null | tr -d '\n' | sed 's/^ *//')"
    echo "- Runs: one warm-up, then $RUNS timed runs per case; (a), (b), (k)," \
      "(g) and GPSBabel alternate run by run; median (min–max) wall seconds; peak" \
      "RSS from \`/usr/bin/time -v\` (median). The machine is shared: the" \
      "load figures say how busy it was."
    echo "- Inputs: \`make_bench_inputs DIR N $SEED\` for N in" \
      "$(echo "$SIZES $STAGE_SIZES" | tr ' ' '\n' | sort -nu | tr '\n' ' ')" \
      "(pocket query, exclusion folder of every fifth cache, owners file of" \
      "5 names, moves file for every tenth cache); \`zip -X -j\` of each" \
      "pocket query; folder of 50 files \`make_sample_pq pqNN.gpx 1000 100+NN\`."
    echo "- Commands: \`XDG_CONFIG_HOME=<tmp> korvelo /all INPUT\` with every" \
      "setting written to \`<tmp>/Brannoc/Korvelo.conf\` (new, empty KML, ASC" \
      "and text folders for each run; the old ones are deleted after the last run); \`gpsbabel -i gpx -f pqN.gpx -o kml" \
      "-F out.kml\`."
    disk_line 100000
    unsynced_line 100000
    echo "- Output hashes: $([ "$HASH_FAILURES" -eq 0 ] && echo "all cases equal" ||
      echo "$HASH_FAILURES CASES CHANGED") to bench/expected-hashes.txt."
    echo
    echo "## Korvelo"
    echo
    echo "| case | caches | input MB | seconds | CPU s | MB/s | caches/s | peak RSS MB | RSS / input |"
    echo "|---|---|---|---|---|---|---|---|---|"
    local n
    for n in $SIZES; do row a "$n" "(a) GPX, stages off, mode 0"; done
    for n in $SIZES; do row b "$n" "(b) the same zipped"; done
    for n in $SIZES; do row k "$n" "(k) GPX, the map as KMZ"; done
    for n in $SIZES; do row g "$n" "(g) GPX, with the GPX for devices"; done
    for n in $STAGE_SIZES; do row c "$n" "(c) every stage on"; done
    for n in $STAGE_SIZES; do row d1 "$n" "(d) mode 1"; done
    for n in $STAGE_SIZES; do row d2 "$n" "(d) mode 2"; done
    row e 50000 "(e) folder of 50 × 1,000"
    echo
    echo "## GPSBabel (\`-i gpx -o kml\`), same runs"
    echo
    echo "| caches | input MB | seconds | CPU s | MB/s | peak RSS MB | RSS / input | GPSBabel time / Korvelo (a) time |"
    echo "|---|---|---|---|---|---|---|---|"
    for n in $SIZES; do gpsbabel_row "$n"; done
    echo
    echo "## Inputs without a complete waypoint"
    echo
    echo "| input | seconds | peak RSS MB |"
    echo "|---|---|---|"
    for n in zeros endless; do
      read -r med _ _ rss _ <<<"$(stats "$n")"
      echo "| $n.gpx | $med | $rss |"
    done
    echo
    echo "## Targets"
    echo
    targets
  } >"$RESULTS"
}

# --- main -----------------------------------------------------------------

LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
make_inputs
if [ -n "${HASH_ONLY:-}" ]; then
  for n in $SIZES; do
    for c in a b g; do run_korvelo warm "$c" "$n" && check_hash "$c" "$n"; done
  done
  for n in $STAGE_SIZES; do
    for c in c d1 d2; do run_korvelo warm "$c" "$n" && check_hash "$c" "$n"; done
  done
  run_korvelo warm e 50000 && check_hash e 50000
  cat "$WORK/hashes"
  exit $((HASH_FAILURES > 0))
fi

for n in $SIZES; do measure_side_by_side "$n"; done
case " $SIZES " in
  *" 100000 "*) measure_disk 100000 && measure_unsynced 100000 ;;
esac
for n in $STAGE_SIZES; do measure c "$n"; done
for n in $STAGE_SIZES; do measure d1 "$n"; measure d2 "$n"; done
measure e 50000
for c in zeros endless; do
  log "case $c"
  prepare "$c" 0
  timed "$c" "$KORVELO" /all "$(input_of "$c" 0)"
done
write_results
cat "$RESULTS"
if [ "$HASH_FAILURES" -gt 0 ]; then
  log "$HASH_FAILURES cases changed their output"
  exit 1
fi
