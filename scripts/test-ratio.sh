#!/usr/bin/env bash
# Prints the test suite's size against the code's: non-blank, non-comment lines
# of the .cpp and .h files under tests/ against those under src/ and tools/.
# With --max PERCENT it fails when the tests are above that share.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  find "$@" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat |
    grep -cvE '^\s*$|^\s*//'
}

tests=$(count tests)
code=$(count src tools)
percent=$((100 * tests / code))
echo "tests: ${tests} lines, code (src and tools): ${code} lines, ${percent}% (integer part)"
if [[ ${1:-} == --max ]]; then
  if ((100 * tests > ${2:?} * code)); then
    echo "the tests are above ${2}% of the code" >&2
    exit 1
  fi
fi
