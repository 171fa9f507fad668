#!/usr/bin/env bash
# Times, side by side on one log and in one run: `grep -c -F damage`, the parse
# and events without files (bench/parse_events_time), and ombrel-batch end to
# end (Data.csv, Events.csv, events.htm); prints the ratios to grep and the
# peak memory of ombrel-batch against the log's size; then following the log at
# the fight density of real play under both line rules (scripts/bench-follow.sh,
# which keeps the dense log beside LOG). Release build.
#   [ROUNDS=N] scripts/bench.sh [LOG [NAME]]
# Without LOG a 200 MB log is generated (seed 1) into the temporary folder.
set -euo pipefail
rounds=${ROUNDS:-3}
if ! [[ $rounds =~ ^[1-9][0-9]*$ ]]; then
  echo "bench.sh: ROUNDS must be a whole number above 0, not '$rounds'" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_BUILD_TESTS=OFF \
  -DOMBREL_BUILD_GUI=OFF -DOMBREL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target ombrel-batch ombrel-loggen parse_events_time find_time >/dev/null

tmp=${TMPDIR:-/tmp}
log=${1:-}
name=${2:-Tarlen}
if [[ -z "$log" ]]; then
  log="$tmp/ombrel-bench-200M-seed1.txt"
  if [[ ! -s "$log" ]]; then
    "$build/tools/loggen/ombrel-loggen" --seed 1 --size 200M --out "$log"
  fi
fi
out=$(mktemp -d "$tmp/ombrel-bench-out.XXXXXX")
trap 'rm -rf "$out"' EXIT

log_bytes=$(stat -c %s "$log")
# Every program reads the log from the page cache, not from the disk.
cat "$log" >/dev/null

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc -l; }
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }

# Processor seconds (user and system) of a run whose /usr/bin/time -v report is in $1.
processor() {
  awk -F': ' '/User time/ {u = $2} /System time/ {s = $2} END {printf "%.2f", u + s}' "$1"
}

load=$(cut -d' ' -f1-3 /proc/loadavg)
# The three programs run in turn, ROUNDS times (default 3); each figure is the
# median of its rounds, so that one slow moment of a shared machine does not
# decide a ratio.
declare -a grep_t parse_t batch_t grep_p parse_p batch_p peaks
for ((r = 0; r < rounds; r++)); do
  t0=$(now)
  matches=$( (/usr/bin/time -v -o "$out/grep.txt" grep -c -F damage "$log") || true)
  t1=$(now)
  counts=$(/usr/bin/time -v -o "$out/parse.txt" "$build/bench/parse_events_time" "$log" "$name")
  t2=$(now)
  /usr/bin/time -v -o "$out/time.txt" "$build/src/batch/ombrel-batch" --out "$out" \
    --name "$name" "$log" >/dev/null 2>"$out/stderr.txt"
  t3=$(now)
  grep_t+=("$(elapsed "$t0" "$t1")")
  parse_t+=("$(elapsed "$t1" "$t2")")
  batch_t+=("$(elapsed "$t2" "$t3")")
  grep_p+=("$(processor "$out/grep.txt")")
  parse_p+=("$(processor "$out/parse.txt")")
  batch_p+=("$(processor "$out/time.txt")")
  peaks+=("$(awk -F': ' '/Maximum resident set size/ {print $2}' "$out/time.txt")")
done

median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
spread() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%.3f-%.3f", lo, hi}'; }

grep_s=$(median "${grep_t[@]}")
parse_s=$(median "${parse_t[@]}")
batch_s=$(median "${batch_t[@]}")
peak_kb=$(median "${peaks[@]}")
read -r _ lines records events <<<"$counts"

echo "log:            $log ($log_bytes bytes, $lines lines, $records records, $events events)"
echo "cores:          $(nproc) (load average before the runs: $load; median of $rounds rounds)"
printf 'grep -c -F:     %.3f s (%s; %s matching lines; processor %s s)\n' "$grep_s" \
  "$(spread "${grep_t[@]}")" "$matches" "$(median "${grep_p[@]}")"
printf 'parse+events:   %.3f s  = %s x grep (%s; target 2; processor %s s)\n' "$parse_s" \
  "$(ratio "$parse_s" "$grep_s")" "$(spread "${parse_t[@]}")" "$(median "${parse_p[@]}")"
printf 'ombrel-batch:   %.3f s  = %s x grep (%s; target 5; processor %s s)\n' "$batch_s" \
  "$(ratio "$batch_s" "$grep_s")" "$(spread "${batch_t[@]}")" "$(median "${batch_p[@]}")"
printf 'batch peak RSS: %s kB = %s x the log (target 0.6)\n' "$peak_kb" \
  "$(ratio "$((peak_kb * 1024))" "$log_bytes")"

# The log search beside grep, each counting the matching lines: a fixed text
# with case (grep -c -F), without case (grep -c -F -i) and an expression
# (grep -c -E); medians of ROUNDS rounds.
search_line() {
  local label=$1 target=$2 ours_args=$3 grep_args=$4 text=$5
  local -a g=() o=()
  local gc oc
  for ((r = 0; r < rounds; r++)); do
    t0=$(now)
    gc=$(grep $grep_args "$text" "$log" || true)
    t1=$(now)
    # shellcheck disable=SC2086
    oc=$("$build/bench/find_time" "$log" "$text" $ours_args)
    t2=$(now)
    g+=("$(elapsed "$t0" "$t1")")
    o+=("$(elapsed "$t1" "$t2")")
  done
  local gs os
  gs=$(median "${g[@]}")
  os=$(median "${o[@]}")
  printf '%-15s %.3f s = %s x grep %s %.3f s (target %s; %s and %s lines)\n' "$label" "$os" \
    "$(ratio "$os" "$gs")" "$grep_args" "$gs" "$target" "$oc" "$gc"
}
search_line "find text:" 1.5 "--case" "-c -F" "a gnoll"
search_line "find, any case:" 1.5 "" "-c -F -i" "a gnoll"
search_line "find regex:" 3 "--regex --case" "-c -E" "(slash|crush)es .* for [0-9]+ points"

# Following the log at the fight density of real play, under both line rules:
# refreshes of 200 lines and the processor share of ombrel-batch --follow.
"$root/scripts/bench-follow.sh" "$log" "$name"
