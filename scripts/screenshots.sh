#!/usr/bin/env bash
# Starts Pelmora under a virtual X server, drives it with the mouse and the
# keyboard and saves screenshots: the start with the splash window, the Test
# Procedures menu, the options dialog, a solved Calculation window, a grid
# dialog, a table, a graph, the windows cascaded and tiled, a print preview
# page and the help; once at 96 dpi and once at 192 dpi (QT_SCALE_FACTOR=2).
# Usage: scripts/screenshots.sh [FOLDER]  (default: build/screenshots; the
# pictures go to FOLDER/96 and FOLDER/192).  PELMORA_BUILD_DIR names the build
# folder (default: build); one that is configured already is only brought up
# to date.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${PELMORA_BUILD_DIR:-build}"

# Inside the virtual X server: drive the program at scale $2 into folder $1.
drive() {
  local out="$1" k="$2"
  mkdir -p "$out"
  shot() { import -window root "$out/$1.png"; }
  # Points of the layout at 96 dpi, scaled.
  at() { xdotool mousemove $(($1 * k)) $(($2 * k)); }
  click() { at "$1" "$2"; xdotool click 1; sleep 0.5; }
  key() { xdotool key "$@"; sleep 0.8; }
  # Gives the keyboard to the window named $1 (there is no window manager).
  focus() {
    at 1270 890  # the pointer out of the way
    xdotool windowfocus --sync "$(xdotool search --name "$1" | head -1)"
    sleep 0.3
  }
  # Clicks the OK button at the lower right of the window named $1.
  ok() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name "$1" | head -1)")"
    xdotool mousemove $((X + WIDTH - 40 * k)) $((Y + HEIGHT - 22 * k)) click 1
    sleep 1
  }
  QT_SCALE_FACTOR="$k" "$build/src/pelmora" &
  local pid=$!
  sleep 3
  shot 01-start
  click 640 400  # a click closes the splash window
  focus '^Pelmora1.0$'
  key alt+t
  shot 02-test-menu
  click 160 30  # Student's unpaired t-test
  shot 03-options
  ok '^Options$'
  shot 04-calculation
  # The box of the standard deviation opens its grid.
  click 370 214
  sleep 1
  shot 05-grid
  key Escape
  focus '^Pelmora1.0$'
  key alt+f t  # New Table
  key alt+t
  click 160 30
  ok '^Options$'
  focus '^Table and Graph Parameters$'
  key Return  # the axis-parameter dialog's OK
  sleep 2
  shot 06-table
  focus '^Pelmora1.0$'
  key alt+f g  # New Graph
  key alt+t
  click 160 30
  ok '^Options$'
  focus '^Table and Graph Parameters$'
  key Return
  sleep 2
  shot 07-graph
  focus '^Pelmora1.0$'
  key alt+w c  # Cascade
  shot 08-cascade
  key alt+w t  # Tile
  shot 09-tile
  key alt+f v  # Print Preview of the graph
  sleep 2
  shot 10-print-preview
  key Escape
  focus '^Pelmora1.0$'
  key F1
  sleep 1
  shot 11-help
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

if [ "${PELMORA_SCREENSHOTS_INSIDE:-}" = 1 ]; then
  drive "$1" "$2"
  exit 0
fi

source scripts/common.sh
install_packages "${BUILD_PACKAGES[@]}" xvfb xdotool imagemagick
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" --target pelmora --parallel 2
else
  configure_and_build "$build" -DPELMORA_BUILD_TESTS=OFF -DPELMORA_BUILD_BENCH=OFF
fi
out="$(realpath -m "${1:-build/screenshots}")"
# The program's settings (the recent files) go to a folder of this run.
settings="$(mktemp -d)"
trap 'rm -rf "$settings"' EXIT
export XDG_CONFIG_HOME="$settings"
PELMORA_SCREENSHOTS_INSIDE=1 xvfb-run -a -s "-screen 0 1280x900x24 -dpi 96" "$0" "$out/96" 1
PELMORA_SCREENSHOTS_INSIDE=1 xvfb-run -a -s "-screen 0 2560x1800x24 -dpi 192" "$0" "$out/192" 2
echo "Screenshots in $out/96 and $out/192"
