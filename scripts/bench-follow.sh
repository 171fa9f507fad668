#!/usr/bin/env bash
# Following a log with the fight density of real play, under both line rules:
# - the refreshes of 200 new lines after the log was read (bench/follow_refresh_time):
#   median and 99th percentile in processor time, extended against default;
# - the processor share of `ombrel-batch --follow` while 200 lines arrive each
#   second for FOLLOW_SECONDS seconds (default 10), from /proc once it caught up.
# The dense log is made from LOG by bench/dense_log (the clock of the lines
# after every 25th moves a minute on, which cuts the fights to about one per
# 25 lines) and kept beside it. Release build in build-bench.
#   [FOLLOW_SECONDS=N] scripts/bench-follow.sh LOG [NAME]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
log=${1:?usage: scripts/bench-follow.sh LOG [NAME]}
name=${2:-Tarlen}
seconds=${FOLLOW_SECONDS:-10}
lines=200

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_BUILD_TESTS=OFF \
  -DOMBREL_BUILD_GUI=OFF -DOMBREL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target ombrel-batch follow_refresh_time dense_log >/dev/null

dense="${log%.txt}-dense.txt"
[[ -s "$dense" ]] || "$build/bench/dense_log" "$log" "$dense"
tmp=${TMPDIR:-/tmp}
out=$(mktemp -d "$tmp/ombrel-bench-follow.XXXXXX")
pid=
trap '[[ -n "$pid" ]] && kill -KILL "$pid" 2>/dev/null; rm -rf "$out"' EXIT

echo "dense log:      $dense ($(stat -c %s "$dense") bytes)"
echo "load average:   $(cut -d' ' -f1-3 /proc/loadavg) (before the refreshes)"
"$build/bench/follow_refresh_time" "$dense" "$name" "$lines" 300 |
  grep -E 'catch-up|processor time|events [0-9]|against' | sed 's/^/refresh:        /'

# All but the last FOLLOW_SECONDS seconds of lines are there when following starts.
total=$(wc -l <"$dense")
held=$((total - lines * seconds))
head -n "$held" "$dense" >"$out/followed.txt"
tail -n "$((lines * seconds))" "$dense" | split -l "$lines" - "$out/second."
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
per_second=$(getconf CLK_TCK)
for rules in default extended; do
  rm -f "$out/followed.txt.grown"
  cp "$out/followed.txt" "$out/followed.txt.grown"
  mkdir -p "$out/files"
  "$build/src/batch/ombrel-batch" --follow --rules "$rules" --out "$out/files" --name "$name" \
    "$out/followed.txt.grown" >"$out/printed.txt" 2>&1 &
  pid=$!
  until grep -q '^Following' "$out/printed.txt" 2>/dev/null; do sleep 0.2; done
  sleep 1
  load=$(cut -d' ' -f1-3 /proc/loadavg)
  before=$(ticks "$pid")
  start=$(date +%s.%N)
  for second in "$out"/second.*; do
    cat "$second" >>"$out/followed.txt.grown"
    sleep 1
  done
  after=$(ticks "$pid")
  took=$(echo "$(date +%s.%N) - $start" | bc -l)
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  printf 'batch --follow: %-8s %d lines/s for %.1f s: %.2f s of processor = %.1f%% of a core (target 5; load average %s)\n' \
    "$rules" "$lines" "$took" "$(echo "($after - $before) / $per_second" | bc -l)" \
    "$(echo "100 * ($after - $before) / $per_second / $took" | bc -l)" "$load"
done
