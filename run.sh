#!/usr/bin/env bash
# Installs what is missing, builds and starts Pelmora.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${BUILD_PACKAGES[@]}"
configure_and_build build
if [ -x build/src/pelmora ]; then
  exec build/src/pelmora "$@"
fi
echo "The windowed program is not built yet; here is the command-line program's catalogue of procedures."
exec build/src/pelmora-cli --list
