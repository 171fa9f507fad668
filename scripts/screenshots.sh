#!/usr/bin/env bash
# Takes the window's screenshots under Xvfb on a 1280x1024 screen without a
# window manager (the window sits in the top left corner), driving the real
# program with the mouse: docs/screenshots/{settings,events,event-detail,
# pc-detail}.png at scale 1 and scale-2x.png (the whole screen at
# QT_SCALE_FACTOR=2). Needs xvfb, xdotool and imagemagick. The click points
# suit the default fonts of a Debian 12 machine.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build-release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-release}
program="$root/$build/src/gui/ombrel-raid"
out="$root/docs/screenshots"
work=$(mktemp -d)
trap 'kill "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

display=:77
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp &
xvfb=$!
export DISPLAY=$display
sleep 1

# A fresh settings folder, so that the window starts from its defaults.
export XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0

window_of() {  # waits for the window and focuses it
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --name "Ombrel Raid" 2>/dev/null | head -1) && [[ -n $id ]] && break
    sleep 0.1
  done
  echo "$id"
}
# click X Y [SCALE]: a click at a point given for scale 1; dclick the same twice.
click() { xdotool mousemove $(($1 * ${3:-1})) $(($2 * ${3:-1})) click 1; sleep 0.5; }
dclick() { xdotool mousemove $(($1 * ${3:-1})) $(($2 * ${3:-1})) click --repeat 2 --delay 80 1; sleep 0.5; }
shot() { sleep 0.7; import -window "$1" "$out/$2"; }

"$program" --name Tarlen "$root/data/sample.txt" &
app=$!
id=$(window_of)
sleep 2
shot "$id" events.png
dclick 100 215                              # "Grask the Flayer", the longest fight
shot "$id" event-detail.png
dclick 100 117                              # the first combatant below the total row
shot "$id" pc-detail.png
click 41 36                                 # the Settings tab
shot "$id" settings.png
kill "$app"
wait "$app" || true

QT_SCALE_FACTOR=2 "$program" --name Tarlen "$root/data/sample.txt" &
app=$!
id=$(window_of)
sleep 2
dclick 100 215 2
sleep 0.7
import -window root "$out/scale-2x.png"
kill "$app"
wait "$app" || true
