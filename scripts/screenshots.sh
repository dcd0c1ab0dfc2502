#!/usr/bin/env bash
# Takes pictures of Pelmora's windows on Qt's offscreen platform (no display
# needed): the solved unpaired t-test, its Output preview with the protocol
# sentence, its power curve and the curve's axis-parameter dialog, a legend
# with a long title ("Mean 2* - Mean 1*") and a graph exported at 300 dpi;
# once at 96 dpi and once at 192 dpi (QT_SCALE_FACTOR=2, a device pixel
# ratio of 2).  tests/screenshots/take_screenshots.cpp drives the windows.
# Usage: scripts/screenshots.sh [FOLDER]  (default: screenshots, which git
# ignores; the pictures go to FOLDER/96 and FOLDER/192).  PELMORA_BUILD_DIR
# names the build folder (default: build); one that is configured already is
# only brought up to date.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${PELMORA_BUILD_DIR:-build}"

source scripts/common.sh
install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" --target pelmora_screenshots --parallel 2
else
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMORA_BUILD_TESTS=ON
  cmake --build "$build" --target pelmora_screenshots --parallel "$(nproc)"
fi
program="$build/tests/pelmora_screenshots"
out="$(realpath -m "${1:-screenshots}")"
# The program's settings (the recent files) go to a folder of this run.
settings="$(mktemp -d)"
trap 'rm -rf "$settings"' EXIT
export XDG_CONFIG_HOME="$settings"
export QT_QPA_PLATFORM=offscreen
for dpi in 96 192; do
  QT_SCALE_FACTOR=$((dpi / 96)) "$program" "$out/$dpi"
done
echo "Screenshots in $out/96 and $out/192"
