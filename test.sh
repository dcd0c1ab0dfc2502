#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
configure_and_build build -DPELMORA_BUILD_TESTS=ON -DPELMORA_BUILD_BENCH=ON
cd build
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --parallel "$(nproc)"
