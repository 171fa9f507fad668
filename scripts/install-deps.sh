#!/usr/bin/env bash
# Installs the Debian packages the build, the window and the tests need,
# asking apt only for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev pkg-config ccache clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev libgl-dev libre2-dev
  nlohmann-json3-dev scdoc groff-base
  xvfb xauth
)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(chromium)
  # Node.js may come from elsewhere with npm bundled; only ask Debian when missing.
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
