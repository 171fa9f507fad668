#!/usr/bin/env bash
# Takes the window's screenshots under Xvfb on a 1280x1024 screen without a
# window manager (the window sits in the top left corner), driving the real
# program with the mouse: docs/screenshots/{settings,events,event-detail,
# event-detail-timeline,event-detail-smallest,no-fight,pc-detail,following,find,log-view,
# encounters,deaths,healing,live-meter}.png
# at scale 1 and scale-2x.png (the whole screen at QT_SCALE_FACTOR=2, where the
# window is at its smallest size too). Needs xvfb, xdotool and
# imagemagick. The click points suit the default fonts of a Debian 12 machine.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build-release, with
# ombrel-raid and ombrel-loggen built)
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

# A fresh settings folder, so that the window starts from its defaults (a
# kill saves the window's size as a close does: each run removes it).
export XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0

window_of() {  # window_of [CAPTION]: waits for the window with that caption
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --name "${1:-Ombrel Raid}" 2>/dev/null | head -1) && [[ -n $id ]] && break
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
dclick 100 243                              # "Grask the Flayer" at the smallest window size
shot "$id" event-detail-smallest.png
click 110 36                                # back to the Events tab
dclick 100 243                              # "Grask the Flayer", the longest fight
click 158 8                                 # View > Timeline closes the chart
click 185 31
shot "$id" event-detail.png
dclick 100 117                              # the first combatant below the total row
shot "$id" pc-detail.png
click 41 36                                 # the Settings tab
shot "$id" settings.png
click 191 36                                # the Event Detail tab
click 158 8                                 # View > Timeline opens the chart again
click 185 31
xdotool windowsize "$id" 1100 820           # a larger window for the chart
sleep 0.5
click 100 187                               # "Tamsin", drawn bold in the chart
shot "$id" event-detail-timeline.png
kill "$app"
wait "$app" || true
rm -rf "$XDG_CONFIG_HOME"  # the next run starts from the defaults again

# Find in Log: the lines naming Grask the Flayer; a double-click on the
# second result opens the log view at its line, in a larger window.
"$program" --name Tarlen "$root/data/sample.txt" &
app=$!
id=$(window_of)
sleep 2
xdotool windowsize "$id" 1100 860
sleep 0.5
click 100 243                               # "Grask the Flayer", for the fight's times
xdotool key ctrl+f
did=$(window_of "Find in Log")
sleep 1
xdotool type --delay 20 "Grask the Flayer"
xdotool key Return
sleep 3
shot "$did" find.png
eval "$(xdotool getwindowgeometry --shell "$did")"  # X, Y of the dialog
dclick $((X + 300)) $((Y + 215))                   # the second result
xdotool key Escape
shot "$id" log-view.png
kill "$app"
wait "$app" || true
rm -rf "$XDG_CONFIG_HOME"  # the next run starts from the defaults again

# A file that is no combat log: the Event Detail page of its no-fight row.
gzip -c "$root/data/sample.txt" | head -c 3000 >"$work/noise.txt"  # bytes, no lines
"$program" --name Tarlen "$work/noise.txt" &
app=$!
id=$(window_of)
sleep 2
click 191 36                                # the Event Detail tab
shot "$id" no-fight.png
kill "$app"
wait "$app" || true
rm -rf "$XDG_CONFIG_HOME"  # the next run starts from the defaults again

QT_SCALE_FACTOR=2 "$program" --name Tarlen "$root/data/sample.txt" &
app=$!
id=$(window_of)
sleep 2
dclick 100 243 2
sleep 0.7
import -window root "$out/scale-2x.png"
kill "$app"
wait "$app" || true
rm -rf "$XDG_CONFIG_HOME"  # the next run starts from the defaults again

# Following a log while it grows: a generated log, then the further lines of
# a longer log of the same seed (the generator writes the same bytes first)
# appended in steps, the last step ending in the middle of a fight against
# gnolls, which is still open then: bold in the events list and named with
# "(live)" in the status bar.
loggen="$root/$build/tools/loggen/ombrel-loggen"
log="$work/combat.txt"
"$loggen" --seed 3 --size 200K --out "$log"
"$loggen" --seed 3 --size 300K --out "$work/longer.txt"
from=$(($(wc -l <"$log") + 1))
"$program" --name Tarlen --follow "$log" &
app=$!
id=$(window_of "(following)")
sleep 2
for to in 3300 3450 3600; do
  sed -n "${from},${to}p" "$work/longer.txt" >>"$log"
  from=$((to + 1))
  sleep 1.5
done
shot "$id" following.png
kill "$app"
wait "$app" || true
rm -rf "$XDG_CONFIG_HOME"  # the next run starts from the defaults again

# The events list grouped into encounters (View > Group Into Encounters, which
# the window remembers: the last shot), the first encounter chosen whole and
# the second unfolded too.
"$program" --name Tarlen "$root/data/sample.txt" &
app=$!
id=$(window_of)
sleep 2
click 158 8                                 # View > Group Into Encounters
click 185 53
click 100 131                               # "a large fen shrew + 2", its fights unfolded
click 27 187                                # unfolds "a gnoll shaman + 2"
shot "$id" encounters.png
kill "$app"
wait "$app" || true
rm -rf "$XDG_CONFIG_HOME"  # the next run starts from the defaults again

# The Deaths and Healing pages of a generated log read under the extended
# rules (ticked in a settings file of its own): the death of Grask the Flayer
# with its recap scrolled to the killing blow, and the healers of the whole log
# with what the second healed.
"$loggen" --seed 1 --size 256K --extended-kinds --out "$work/extended.txt"
mkdir -p "$work/extended-config/ombrel-raid"
printf '[options]\nextendedLineRules=true\n' >"$work/extended-config/ombrel-raid/ombrel-raid.conf"
XDG_CONFIG_HOME="$work/extended-config" "$program" --name Tarlen "$work/extended.txt" &
app=$!
id=$(window_of)
sleep 2
xdotool windowsize "$id" 1100 860
sleep 0.5
click 100 173                               # "Grask the Flayer"
click 353 36                                # the Deaths tab
click 300 344                               # the recap's first line, then its last
xdotool key End
shot "$id" deaths.png
click 421 36                                # the Healing tab
click 24 87                                 # Whole log
click 100 175                               # the second healer, Tarlen
shot "$id" healing.png
kill "$app"
wait "$app" || true
rm -rf "$XDG_CONFIG_HOME"  # the next run starts from the defaults again

# The live meter over a followed log: View > Live Meter opens it beside the
# window, and it shows the encounter in progress as the log grows.
"$loggen" --seed 5 --size 150K --out "$log.meter"
"$loggen" --seed 5 --size 250K --out "$work/longer-meter.txt"
from=$(($(wc -l <"$log.meter") + 1))
"$program" --name Tarlen --follow "$log.meter" &
app=$!
id=$(window_of "(following)")
sleep 2
mid=""
for _ in 1 2 3; do                          # View, then Live Meter by its key
  click 158 8
  sleep 1
  xdotool key m
  mid=$(window_of "Live Meter") && [[ -n $mid ]] && break
  xdotool key Escape
done
xdotool windowsize "$mid" 370 230
xdotool windowmove "$mid" 880 40
for to in $((from + 400)) $((from + 800)); do
  sed -n "${from},${to}p" "$work/longer-meter.txt" >>"$log.meter"
  from=$((to + 1))
  sleep 1.5
done
shot "$mid" live-meter.png
kill "$app"
wait "$app" || true
