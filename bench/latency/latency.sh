#!/usr/bin/env bash
# latency.sh [OPTIONS] BUILD [LABEL=FOLDER...] — input-to-picture latency of
# the real game, timed from outside as a player meets it, against a bare
# SDL2 + OpenGL window measured in the same run (the machine may be busy:
# the ratios are what counts). Prints a table of each screen's latency and
# the frames' pacing.
#
# BUILD is a build folder (its game and its bench/latency/ tools); each
# LABEL=FOLDER is another game to time in the same run, a folder holding
# `wenhod` and its `Files/` (a copy of an older build, say).
#
# On a private Xvfb (2400x1800, the game in the middle, the bare window at
# the top left, both running throughout), for each press: the region of the
# window that must answer is still (grabbed twice, 40 ms apart), the input
# goes in through XTEST, and the region is grabbed until it changes
# (latency_probe). Each press on the game is followed by one on the bare
# window, so each screen is compared with the bare window timed in the same
# moments, however the machine's load changes meanwhile. Screens: the
# title menu (Down, Up), the settings panel (Tab), a round's start (Z), the
# hero's run (Left, Right) and jump (Z) with no bird near him, the pause menu
# (Escape), name entry (a letter, Backspace) and the score card (the pointer
# onto the best list and off it). Pacing: the intervals between frames the
# window presents (XDamage), over 5 s on the title and in a Hard round, each
# followed by 5 s of the bare window's, with the CPU each process used.
#
# Options: --presses N (each screen, default 30), --rounds N (rounds played,
# default 10; the round start and pause are timed once a round), --display :N
# (start Xvfb there instead of on a free display), --as-chosen (keep the
# 30 fps mode when the engine test picks it; by default the settings panel
# switches it off, as a player may, so both windows are timed at 60 fps),
# --web [LABEL=]PAGE_DIR (repeatable: then the page too, in Chromium and
# Firefox against a bare WebGL 2 page, by page.mjs on the same display).
set -euo pipefail
cd "$(dirname "$0")/../.."

PRESSES=30 ROUNDS=10 DISPLAY_WANTED= AS_CHOSEN=0
games=() webPages=()
while (( $# )); do
  case $1 in
    --presses) PRESSES=$2; shift ;;
    --rounds) ROUNDS=$2; shift ;;
    --display) DISPLAY_WANTED=$2; shift ;;
    --as-chosen) AS_CHOSEN=1 ;;
    --web) webPages+=("$2"); shift ;;
    -h | --help) sed -n '2,32p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) games+=("$1") ;;
  esac
  shift
done
(( ${#games[@]} )) || { sed -n '2,32p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
BUILD=$(cd "${games[0]}" && pwd)
games[0]="this build=$BUILD"
PROBE=$BUILD/bench/latency/latency_probe
REFERENCE=$BUILD/bench/latency/latency_reference
[[ -x $PROBE && -x $REFERENCE ]] || { echo "latency.sh: build $BUILD first (latency_probe, latency_reference)" >&2; exit 2; }
(( PRESSES % 2 == 0 )) || PRESSES=$(( PRESSES + 1 ))  # the panel and the menu end as they began

TITLE='#239 : Wen Hod in a Varno Zavored'
OUT=$(mktemp -d /tmp/wenhod-latency.XXXXXX)
PIDS=()  # what this script started, stopped at the end
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$OUT"
}
trap cleanup EXIT

# The window the game draws in is 800x600 pixels for a 1280x960 picture.
px() { echo $(( $1 * 5 / 8 )); }
# Regions (window pixels) where each screen answers, and what else may move.
MENU="$(px 540) $(px 680) $(px 200) $(px 100)"       # Easy and Medium
CENTRE="300 200 200 180"                             # the title picture; anything
SKY="300 40 200 90"                                  # high in the sky, above the blocks
PANEL="0 0 40 200"                                   # the panel's top and its lower edge
HERO="$(px 600) $(px 752) $(px 72) $(px 84)"         # the hero after the opening walk, and his first lift
NAME="200 270 195 60"                                # the left half of the name, never its cursor
CARD="$(px 950) $(px 388) $(px 320) $(px 128)"       # the score card over the best list
ONTO_ROW="motion:$(px 1100):$(px 532)" OFF_ROW="motion:$(px 700):$(px 100)"

#------------------------------------------------------------------------------
# The display
#------------------------------------------------------------------------------
start_xvfb() {
  local fdfile tries=0 pid
  if [[ -n $DISPLAY_WANTED ]]; then
    Xvfb "$DISPLAY_WANTED" -screen 0 2400x1800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    export DISPLAY=$DISPLAY_WANTED
    until xdpyinfo >/dev/null 2>&1; do
      kill -0 "$pid" 2>/dev/null && (( tries++ < 100 )) || { echo "latency.sh: Xvfb did not start on $DISPLAY" >&2; exit 1; }
      sleep 0.05
    done
  else
    fdfile=$OUT/display
    Xvfb -displayfd 9 -screen 0 2400x1800x24 -noreset -nolisten tcp 9>"$fdfile" >/dev/null 2>&1 &
    pid=$!
    until [[ -s $fdfile ]]; do
      kill -0 "$pid" 2>/dev/null && (( tries++ < 200 )) || { echo "latency.sh: Xvfb did not start" >&2; exit 1; }
      sleep 0.05
    done
    export DISPLAY=":$(tr -dc 0-9 <"$fdfile")"
  fi
  PIDS+=("$pid")
  xset r off
}

# wait_window TITLE PID: prints the id of the process's visible window.
wait_window() {
  local wid= tries=0
  until [[ -n $wid ]]; do
    kill -0 "$2" 2>/dev/null || { echo "latency.sh: '$1' ended before its window showed" >&2; exit 1; }
    (( tries++ < 300 )) || { echo "latency.sh: no window '$1'" >&2; exit 1; }
    sleep 0.1
    wid=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
  done
  echo "$wid"
}

#------------------------------------------------------------------------------
# Timing
#------------------------------------------------------------------------------
# press FILE WID REGION INPUTS COUNT [SETTLE HOLD GUARD]: timed presses on
# the game, the inputs taken in turn, their latencies added to FILE, each
# followed by one on the bare window (a key, or the pointer for pointer
# inputs) added to FILE.bare.
press() {
  local file=$1 wid=$2 x=$3 y=$4 w=$5 h=$6 count=$8 i input bare
  local inputs=(${7//,/ })
  shift 8
  for (( i = 0; i < count; ++i )); do
    input=${inputs[i % ${#inputs[@]}]}
    probe_once "$file" "$wid" "$x" "$y" "$w" "$h" "$input" "$@"
    cp "$OUT/last" "$OUT/last-game"
    bare=$(( i % 2 ? 1 : 0 ))
    if [[ $input == motion:* || $input == click:* ]]; then
      bare=${BARE_POINTER[bare]}
    else
      bare=${BARE_KEY[bare]}
    fi
    probe_once "$file.bare" "$REF_WID" $CENTRE "$bare"
    sleep 0.05
  done
}
BARE_KEY=(a b) BARE_POINTER=(motion:100:100 motion:600:500)

# probe_once FILE WID X Y W H INPUT [SETTLE HOLD GUARD]: one timed press.
probe_once() {
  local file=$1
  shift
  "$PROBE" press "${@:1:6}" 1 "${@:7}" >"$OUT/last" || true
  grep '^latency ' "$OUT/last" | cut -d' ' -f2 >>"$file" || true
  grep -c -v '^latency ' "$OUT/last" >>"$OUT/skipped" || true
}
# made: the last timed press was made (answered or not), not given up
# because its region never rested.
made() { grep -q -E '^(latency|timeout)' "$OUT/last-game"; }
# step FILE WID REGION INPUT: a timed press that moves the game on to another
# screen; made untimed when its region never rests, so the run goes on.
step() {
  press "$@" 1
  made || key "$2" "$7"
}
key() { "$PROBE" key "$@"; sleep 0.15; }
# pacing FILE WID PID: the game's frames over 5 s, then the bare window's,
# each with the CPU its process used meanwhile (all its threads: a software
# rasteriser draws on threads of its own).
pacing() {
  timed_pacing "$1" "$2" "$3"
  timed_pacing "$1.bare" "$REF_WID" "$REF_PID"
}
timed_pacing() {  # timed_pacing FILE WID PID
  local t0 t1 s0 s1
  t0=$(cpu_ticks "$3") s0=$(date +%s.%N)
  "$PROBE" pacing "$2" 5 >"$1" || true
  t1=$(cpu_ticks "$3") s1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "cpu %.0f%%\n", 100 * (b - a) / hz / (e - s) }' >>"$1"
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }  # user + system

# stats FILE: "n median p90" of the numbers in it ("0 - -" when none).
stats() {
  [[ -s $1 ]] || { echo "0 - -"; return; }
  sort -g "$1" | awk '{v[NR] = $1} END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    i = 0.9 * (NR - 1) + 1; lo = int(i); hi = (lo < NR) ? lo + 1 : NR
    p = v[lo] + (i - lo) * (v[hi] - v[lo])
    printf "%d %.1f %.1f\n", NR, m, p }'
}

#------------------------------------------------------------------------------
# The bare window, running from start to end
#------------------------------------------------------------------------------
start_reference() {
  local pid
  SDL_VIDEODRIVER=x11 "$REFERENCE" 0 0 >"$OUT/reference.txt" 2>&1 &
  pid=$!
  PIDS+=("$pid")
  REF_PID=$pid
  REF_WID=$(wait_window 'latency reference' "$pid")
  sleep 0.5
}

#------------------------------------------------------------------------------
# The game
#------------------------------------------------------------------------------
# One round from the title and back: its start, then (when told) the hero's
# run and jump, then pause, Quit, and (when told) name entry.
play_round() {
  local dir=$1 wid=$2 hero=$3
  step "$dir/round start" "$wid" $CENTRE z
  sleep 4.5  # the opening walk and the change into costume
  if (( hero )); then
    press "$dir/hero run" "$wid" $HERO Left,Right 6 150 100 10
    press "$dir/hero jump" "$wid" $HERO z 6 1300 100 10  # one jump in hand: the round goes on
  fi
  step "$dir/pause" "$wid" $SKY Escape
  key "$wid" Down
  key "$wid" z        # Quit
  sleep 2.5           # "Game Over", then name entry
  (( hero )) && press "$dir/name entry" "$wid" $NAME a,BackSpace 6
  key "$wid" Return
  sleep 1.5           # the title slides in again
}

time_game() {
  local label=$1 folder=$2 dir=$OUT/game-$3 work pid wid r heroRounds
  mkdir -p "$dir"
  echo "$label" >"$dir/label"
  work=$dir/run
  mkdir -p "$work"
  cp -a "$folder/Files" "$folder/wenhod" "$work/"
  rm -f "$work/Files/Debug.txt" "$work/Files/Setup.ini" "$work/Files/239/scores.dat" "$work/Files"/*.png
  # Three Easy records, so the title's best list has rows to point at.
  for score in 300 200 100; do
    printf '%s|Latency|0|65150130000|0|0|0|0\r\n0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0\r\n' \
      "$score"
  done >"$work/Files/239/scores.dat"
  (cd "$work" && SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null exec ./wenhod) >"$work/out.txt" 2>&1 &
  pid=$!
  PIDS+=("$pid")
  wid=$(wait_window "$TITLE" "$pid")
  local tries=0
  until grep -q 'Finished Loading' "$work/Files/Debug.txt" 2>/dev/null; do
    (( tries++ < 600 )) || { echo "latency.sh: $label never finished loading" >&2; exit 1; }
    sleep 0.1
  done
  sleep 3  # the splash's floor, then the title slides in
  if grep -q 'Lower Limits at 30fps' "$work/Files/Debug.txt"; then
    echo "30 fps (engine test)" >"$dir/mode"
    if (( ! AS_CHOSEN )); then
      # The settings panel's frame-skip row, as a player switches it off.
      key "$wid" Tab; sleep 0.5
      key "$wid" "motion:$(px 40):$(px 182)"
      key "$wid" "click:$(px 40):$(px 182)"
      key "$wid" Tab; sleep 0.5
      grep -q '^ESS=1' "$work/Files/Setup.ini" || echo "60 fps (engine test: 30; switched off in the panel)" >"$dir/mode"
    fi
  else
    echo "60 fps (engine test)" >"$dir/mode"
  fi

  press "$dir/title menu" "$wid" $MENU Down,Up "$PRESSES"
  pacing "$dir/pacing-title" "$wid" "$pid"
  press "$dir/settings panel" "$wid" $PANEL Tab "$PRESSES" 700
  press "$dir/score card" "$wid" $CARD "$ONTO_ROW,$OFF_ROW" "$PRESSES"

  heroRounds=$(( (PRESSES + 5) / 6 ))
  for (( r = 1; r <= ROUNDS || r <= heroRounds; ++r )); do
    play_round "$dir" "$wid" $(( r <= heroRounds ))
  done

  # A Hard round's pacing.
  key "$wid" Down; sleep 0.2; key "$wid" Down; sleep 0.2
  step "$dir/round start" "$wid" $CENTRE z
  sleep 4.5
  pacing "$dir/pacing-round" "$wid" "$pid"
  step "$dir/pause" "$wid" $SKY Escape
  key "$wid" Down; key "$wid" z
  sleep 2.5
  key "$wid" Return
  sleep 1.5

  key "$wid" Escape  # the title's Escape closes the game
  tries=0
  while kill -0 "$pid" 2>/dev/null && (( tries++ < 100 )); do sleep 0.1; done
  kill "$pid" 2>/dev/null || true
}

#------------------------------------------------------------------------------
# The run and its table
#------------------------------------------------------------------------------
start_xvfb
echo "latency.sh: display $DISPLAY; load $(cut -d' ' -f1-3 /proc/loadavg) at the start"
start_reference
n=0
for g in "${games[@]}"; do
  label=${g%%=*} folder=${g#*=}
  [[ -x $folder/wenhod && -d $folder/Files ]] || { echo "latency.sh: no wenhod and Files/ in $folder" >&2; exit 2; }
  n=$(( n + 1 ))
  echo "latency.sh: timing $label ($folder)"
  time_game "$label" "$folder" "$n"
done
echo "latency.sh: load $(cut -d' ' -f1-3 /proc/loadavg) at the end"

SCREENS=("title menu" "round start" "hero run" "hero jump" "pause" "settings panel" "name entry" "score card")
echo
echo "Input to picture, ms: median, p90 and presses timed, on each screen and on the bare window"
echo "between them; targets: the median at most 1.25x the bare window's, the p90 at most 4 ms over"
echo "its p90"
echo
echo "| build | screen (input) | median | p90 | n | bare median | bare p90 | median / bare | p90 - bare p90 | target |"
echo "| --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | --- |"
for (( i = 1; i <= n; ++i )); do
  dir=$OUT/game-$i
  label=$(cat "$dir/label")
  for screen in "${SCREENS[@]}"; do
    read -r gN gMed gP90 < <(stats "$dir/$screen")
    read -r bN bMed bP90 < <(stats "$dir/$screen.bare")
    if [[ $gN == 0 || $bN == 0 ]]; then
      echo "| $label | $screen | $gMed | $gP90 | $gN | $bMed | $bP90 | | | not timed |"
      continue
    fi
    awk -v l="$label" -v s="$screen" -v m="$gMed" -v p="$gP90" -v n="$gN" -v bm="$bMed" -v bp="$bP90" 'BEGIN {
      r = m / bm; d = p - bp
      printf "| %s | %s | %.1f | %.1f | %d | %.1f | %.1f | %.2f | %+.1f | %s |\n", l, s, m, p, n, bm, bp, r, d,
             (r <= 1.25 && d <= 4) ? "met" : "MISS" }'
  done
  for screen in "${SCREENS[@]}"; do cat "$dir/$screen.bare" 2>/dev/null || true; done >"$dir/all-bare"
  read -r bN bMed bP90 < <(stats "$dir/all-bare")
  echo "| $label | (bare window, all its presses) | | | | $bMed | $bP90 | | | $bN presses |"
done
echo
echo "Pacing: intervals between presented frames over 5 s, ms (a 60 Hz period is 16.7)"
echo
echo "| window | where | mode | fps | median | p90 | max | sd | over 1.5 periods | CPU |"
echo "| --- | --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"
row() {  # row WINDOW WHERE MODE FILE
  [[ -s $4 ]] || { echo "| $1 | $2 | $3 | - | - | - | - | - | - | - |"; return; }
  awk -v w="$1" -v where="$2" -v mode="$3" '{v[$1] = $2} END {
    printf "| %s | %s | %s | %s | %s | %s | %s | %s | %s of %d | %s |\n", w, where, mode, v["fps"], v["median"],
           v["p90"], v["max"], v["sd"], v["long"], v["frames"] - 1, v["cpu"] }' "$4"
}
for (( i = 1; i <= n; ++i )); do
  dir=$OUT/game-$i
  label=$(cat "$dir/label")
  row "$label" "title" "$(cat "$dir/mode")" "$dir/pacing-title"
  row "bare window" "(just after)" "" "$dir/pacing-title.bare"
  row "$label" "Hard round" "$(cat "$dir/mode")" "$dir/pacing-round"
  row "bare window" "(just after)" "" "$dir/pacing-round.bare"
done
skipped=$(awk '{s += $1} END {print s + 0}' "$OUT/skipped" 2>/dev/null || echo 0)
echo
echo "Presses not made because the region was moving, or not answered within a second: $skipped"
if (( ${#webPages[@]} )); then
  echo
  LATENCY_PRESSES=$PRESSES node bench/latency/page.mjs "${webPages[@]}"
fi
