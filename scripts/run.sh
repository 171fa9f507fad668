#!/usr/bin/env bash
# Installs what is missing, builds in Release, analyses the bundled sample log
# with the batch front end into ./out, then opens the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j2

build-release/src/batch/ombrel-batch --out out --name Tarlen --event 1 --combatant " [ Total ] " \
  data/sample.txt

if [[ -x build-release/src/gui/ombrel-raid ]]; then
  if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec build-release/src/gui/ombrel-raid --name Tarlen data/sample.txt
  else
    echo "No display: start the window with  xvfb-run -a build-release/src/gui/ombrel-raid --name Tarlen data/sample.txt"
  fi
fi
