#!/usr/bin/env bash
# Runs both fuzzers (clang's libFuzzer with the address and undefined-behaviour
# sanitizers) one after the other, each within a budget, keeping what they
# find in a corpus that later runs start from.
#
#   scripts/fuzz.sh [--time SECONDS | --runs N] [--only classifier|pipeline]
#
# --time: seconds for each fuzzer (default 60); --runs: executions for each.
# The kept corpus lives in fuzz-corpus/<fuzzer> (git-ignored; FUZZ_CORPUS
# overrides the folder); the seeds in tests/fuzz are read but never written.
# A crash leaves its input in fuzz-corpus/crashes and fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

budget=(-max_total_time=60)
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --time) budget=(-max_total_time="$2"); shift 2 ;;
    --runs) budget=(-runs="$2"); shift 2 ;;
    --only) only="$2"; shift 2 ;;
    *) echo "usage: scripts/fuzz.sh [--time SECONDS | --runs N] [--only classifier|pipeline]" >&2
       exit 2 ;;
  esac
done

corpus_root=${FUZZ_CORPUS:-$root/fuzz-corpus}
build=${FUZZ_BUILD:-$root/build-fuzz-release}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOMBREL_FUZZ=ON -DOMBREL_BUILD_TESTS=OFF -DOMBREL_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target classifier_fuzz pipeline_fuzz

# Short memory-allocation stacks keep the sanitizers' bookkeeping cheap; a
# crash input can be rerun alone with the full ones.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=2:quarantine_size_mb=32}

run() {
  local name=$1 max_len=$2 seeds=$3
  mkdir -p "$corpus_root/$name" "$corpus_root/crashes"
  echo "== ${name}_fuzz"
  "$build/tests/fuzz/${name}_fuzz" "${budget[@]}" -max_len="$max_len" \
    -dict=tests/fuzz/classifier.dict -artifact_prefix="$corpus_root/crashes/$name-" \
    -print_final_stats=1 "$corpus_root/$name" "$seeds"
}

if [ -z "$only" ] || [ "$only" = classifier ]; then run classifier 2048 tests/fuzz/corpus; fi
if [ -z "$only" ] || [ "$only" = pipeline ]; then run pipeline 1024 tests/fuzz/pipeline-corpus; fi
