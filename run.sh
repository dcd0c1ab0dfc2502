#!/usr/bin/env bash
# Installs what is missing, builds and starts Pelmora.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${BUILD_PACKAGES[@]}"
configure_and_build build -DPELMORA_BUILD_TESTS=OFF -DPELMORA_BUILD_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Pelmora is a desktop program and needs a display (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
  echo "Without one, build/src/pelmora-cli plans studies from the command line (--help)." >&2
  exit 1
fi
exec build/src/pelmora "$@"
