#!/usr/bin/env bash
# Installs what is missing, builds everything with the address and
# undefined-behaviour sanitizers, runs every test, then runs both fuzzers
# briefly (the line classifier and the whole pipeline).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh --tests
# The browser test drives the system Chromium through playwright-core.
(cd tests/report/browser && npm ci --no-audit --no-fund --loglevel=error)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_SANITIZE=ON \
  -DOMBREL_BUILD_BENCH=ON >/dev/null
cmake --build build-test -j2
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2

# Both fuzzers, briefly (clang's libFuzzer); scripts/fuzz.sh runs them longer.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_FUZZ=ON \
  -DOMBREL_BUILD_TESTS=OFF -DOMBREL_BUILD_GUI=OFF >/dev/null
cmake --build build-fuzz -j2 --target classifier_fuzz pipeline_fuzz
ctest --test-dir build-fuzz --output-on-failure -R _fuzz
