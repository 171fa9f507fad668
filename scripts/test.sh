#!/usr/bin/env bash
# Installs what is missing, checks the format of the sources and that the
# tests are at most 40 % of the code's lines (scripts/test-ratio.sh), builds
# everything with the address and undefined-behaviour sanitizers and runs
# every test, builds everything again in Release (as a user does, with the
# tests) and runs every test, runs the parse and log-text tests once more on
# the searches' portable code, then runs both fuzzers briefly (the line
# classifier and the whole pipeline). Warnings are errors in every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh --tests
# The browser test drives the system Chromium through playwright-core.
(cd tests/report/browser && npm ci --no-audit --no-fund --loglevel=error)

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0}
export QT_QPA_PLATFORM=offscreen
# Every build goes through the compiler cache: a second run compiles only what changed.
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}

# The tree is formatted as .clang-format says.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
# The tests stay a part of the code's size, never above 40 % of its lines.
scripts/test-ratio.sh --max 40

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_SANITIZE=ON \
  -DOMBREL_BUILD_BENCH=ON -DOMBREL_WERROR=ON -DOMBREL_BROWSER_TEST=ON >/dev/null
cmake --build build-test -j2
ctest --test-dir build-test --output-on-failure -j2

# The benchmarks were built above; here the code and its tests as a user builds them.
cmake -S . -B build-test-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_WERROR=ON >/dev/null
cmake --build build-test-release -j2
ctest --test-dir build-test-release --output-on-failure -j2

# The searches' portable code, which processors without SSE2 run, through the
# tests of the parser and of the log text: only those two programs, unoptimised.
cmake -S . -B build-test-portable -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_PORTABLE_SEARCH=ON \
  -DOMBREL_BUILD_GUI=OFF -DOMBREL_WERROR=ON >/dev/null
cmake --build build-test-portable -j2 --target parse_test logtext_test
for program in parse/parse_test logtext/logtext_test; do
  OMBREL_SOURCE_DIR="$root" "build-test-portable/tests/$program" --gtest_brief=1
done

# Both fuzzers, briefly (clang's libFuzzer); scripts/fuzz.sh runs them longer.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOMBREL_FUZZ=ON \
  -DOMBREL_BUILD_TESTS=OFF -DOMBREL_BUILD_GUI=OFF -DOMBREL_WERROR=ON >/dev/null
cmake --build build-fuzz -j2 --target classifier_fuzz pipeline_fuzz
ctest --test-dir build-fuzz --output-on-failure -j2 -R _fuzz
