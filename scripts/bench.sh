#!/usr/bin/env bash
# Times, side by side in one run and on each log: `grep -c -F damage`, the
# parse and events without files (bench/parse_events_time), ombrel-batch end to
# end (Data.csv, Events.csv, events.htm) with its peak memory, and the window
# after a parse (bench/window_peak, offscreen: its peak memory and the slowest
# repaint while its events list scrolls). Prints one table of the ratios to
# grep and to the log's size. Release build.
#   [ROUNDS=N] [BIG_ROUNDS=N] [BIG=0] scripts/bench.sh [LOG [NAME]]
# Without LOG the generator (seed 1) writes into the temporary folder, unless
# they are there already: 200 MB logs of its own density (about 45 fights, rows
# of the events list, per MB) and of about 200, 700 and 1,500 per MB, and a
# 2 GB log of about 700 per MB (BIG_ROUNDS rounds, 1 unless given; BIG=0 leaves
# it out). The generator's --fights-per-mib counts its pulls; a pull lists its
# mob once or twice (the mob's name as it starts a sentence is another name
# under the default rules), so the values below give those rows per MB. With
# LOG only that log is measured, followed by the log search beside grep and
# following the log at the fight density of real play under both line rules
# (scripts/bench-follow.sh, which keeps the dense log beside LOG).
set -euo pipefail
rounds=${ROUNDS:-3}
big_rounds=${BIG_ROUNDS:-1}
for n in "$rounds" "$big_rounds"; do
  if ! [[ $n =~ ^[1-9][0-9]*$ ]]; then
    echo "bench.sh: ROUNDS and BIG_ROUNDS must be whole numbers above 0, not '$n'" >&2
    exit 2
  fi
done
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_BUILD_TESTS=OFF \
  -DOMBREL_BUILD_BENCH=ON >/dev/null
targets=(ombrel-batch ombrel-loggen parse_events_time find_time)
# The window's bench exists where Qt does.
if cmake --build "$build" --target help | grep '^window_peak:' >/dev/null; then
  targets+=(window_peak)
fi
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

tmp=${TMPDIR:-/tmp}
name=${2:-Tarlen}
declare -a logs labels log_rounds
if [[ -n "${1:-}" ]]; then
  logs=("$1")
  labels=("$(basename "$1")")
  log_rounds=("$rounds")
else
  # Size, pulls per MiB (0: the generator's own), rounds.
  plans=("200M 0 $rounds" "200M 115 $rounds" "200M 455 $rounds" "200M 1200 $rounds")
  [[ ${BIG:-1} != 0 ]] && plans+=("2G 455 $big_rounds")
  for plan in "${plans[@]}"; do
    read -r size density n <<<"$plan"
    log="$tmp/ombrel-bench-$size-seed1-d$density.txt"
    if [[ ! -s "$log" ]]; then
      density_args=()
      ((density > 0)) && density_args=(--fights-per-mib "$density")
      "$build/tools/loggen/ombrel-loggen" --seed 1 --size "$size" "${density_args[@]}" \
        --out "$log"
    fi
    logs+=("$log")
    labels+=("$size, --fights-per-mib $density")
    log_rounds+=("$n")
  done
fi
out=$(mktemp -d "$tmp/ombrel-bench-out.XXXXXX")
trap 'rm -rf "$out"' EXIT

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc -l; }
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
# Processor seconds (user and system) of a run whose /usr/bin/time -v report is in $1.
processor() {
  awk -F': ' '/User time/ {u = $2} /System time/ {s = $2} END {printf "%.2f", u + s}' "$1"
}
peak_of() { awk -F': ' '/Maximum resident set size/ {print $2}' "$1"; }

echo "cores: $(nproc); load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "each figure the median of its rounds; times in s, memory in kB; targets: parse+events 2 x grep,"
echo "batch 4 x grep, batch peak 0.5 x the log, window peak 0.6 x the log, a repaint under 16 ms"
echo
echo "| log | MB | lines | records | fights | fights/MB | grep | parse+events | batch | batch peak | window peak | slowest repaint (its processor time) |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
for i in "${!logs[@]}"; do
  log=${logs[$i]}
  n=${log_rounds[$i]}
  log_bytes=$(stat -c %s "$log")
  # Every program reads the log from the page cache, not from the disk.
  cat "$log" >/dev/null
  declare -a grep_t=() parse_t=() batch_t=() batch_peaks=() window_peaks=() repaints=() repaint_cpus=()
  declare -a grep_p=() parse_p=() batch_p=()
  for ((r = 0; r < n; r++)); do
    t0=$(now)
    # Into a file: grep stops at the first match when it writes to /dev/null.
    (/usr/bin/time -v -o "$out/grep.txt" grep -c -F damage "$log" >"$out/grep-count.txt") || true
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
    batch_peaks+=("$(peak_of "$out/time.txt")")
    if [[ -x "$build/bench/window_peak" ]]; then
      read -r wpeak _ slowest _ slowest_cpu _ < <(QT_QPA_PLATFORM=offscreen \
        "$build/bench/window_peak" "$log" "$name" 2>/dev/null)
      window_peaks+=("$wpeak")
      repaints+=("$slowest")
      repaint_cpus+=("$slowest_cpu")
    fi
  done
  read -r _ lines records events <<<"$counts"
  grep_s=$(median "${grep_t[@]}")
  parse_s=$(median "${parse_t[@]}")
  batch_s=$(median "${batch_t[@]}")
  bpeak=$(median "${batch_peaks[@]}")
  mb=$(echo "$log_bytes / 1048576" | bc -l)
  window="n/a"
  repaint="n/a"
  if ((${#window_peaks[@]} > 0)); then
    wpeak=$(median "${window_peaks[@]}")
    window="$(ratio "$((wpeak * 1024))" "$log_bytes") x ($wpeak)"
    repaint="$(median "${repaints[@]}") ms (cpu $(median "${repaint_cpus[@]}") ms)"
  fi
  printf '| %s | %.0f | %s | %s | %s | %.0f | %.3f (cpu %s) | %s x (%.3f; cpu %s) | %s x (%.3f; cpu %s) | %s x (%s) | %s | %s |\n' \
    "${labels[$i]}" "$mb" "$lines" "$records" "$events" "$(echo "$events / $mb" | bc -l)" \
    "$grep_s" "$(median "${grep_p[@]}")" "$(ratio "$parse_s" "$grep_s")" "$parse_s" "$(median "${parse_p[@]}")" \
    "$(ratio "$batch_s" "$grep_s")" "$batch_s" "$(median "${batch_p[@]}")" \
    "$(ratio "$((bpeak * 1024))" "$log_bytes")" "$bpeak" "$window" "$repaint"
done
echo
echo "load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"

# With one log: the log search beside grep, each counting the matching lines:
# a fixed text with case (grep -c -F), without case (grep -c -F -i) and an
# expression (grep -c -E); medians of ROUNDS rounds.
[[ -n "${1:-}" ]] || exit 0
log=$1
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
