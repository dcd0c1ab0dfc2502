#!/usr/bin/env bash
# Starts Pelmora under a virtual X server at 96 dpi, drives it with the mouse
# and saves screenshots: the start with the splash window, the Test
# Procedures menu, the options dialog, a solved Calculation window and the
# help.  Usage: scripts/screenshots.sh [FOLDER]  (default: build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."

drive() {
  local out="$1"
  shot() { import -window root "$out/$1.png"; }
  build/src/pelmora &
  local pid=$!
  sleep 2
  shot 1-start
  xdotool mousemove 640 400 click 1  # a click closes the splash window
  sleep 0.3
  xdotool mousemove 130 8 click 1    # Test Procedures
  sleep 0.5
  shot 2-test-menu
  xdotool mousemove 160 32 click 1   # Student's unpaired t-test
  sleep 1
  shot 3-options
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name '^Options$' | head -1)")"
  xdotool mousemove $((X + WIDTH - 40)) $((Y + HEIGHT - 22)) click 1  # OK
  sleep 1
  shot 4-calculation
  xdotool key F1
  sleep 1
  shot 5-help
  kill "$pid"
}

# Inside the virtual X server (the script runs itself there).
if [ "${PELMORA_SCREENSHOTS_INSIDE:-}" = 1 ]; then
  drive "$1"
  exit 0
fi

source scripts/common.sh
install_packages "${BUILD_PACKAGES[@]}" xvfb xdotool imagemagick
configure_and_build build -DPELMORA_BUILD_TESTS=OFF -DPELMORA_BUILD_BENCH=OFF
out="$(realpath -m "${1:-build/screenshots}")"
mkdir -p "$out"
PELMORA_SCREENSHOTS_INSIDE=1 xvfb-run -a -s "-screen 0 1280x900x24 -dpi 96" "$0" "$out"
echo "Screenshots in $out"
