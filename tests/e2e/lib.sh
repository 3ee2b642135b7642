# lib.sh — shared steps of the end-to-end tests. A test script starts with
#   source "$(dirname "$0")/lib.sh" "$1"      # $1: the build folder
# and gets a fresh copy of the staged tree in $E2E_WORK (the program's files
# in $E2E_FILES), a display (a private Xvfb when DISPLAY is unset, or always
# when the script sets E2E_SCREEN=WxHxDEPTH for a screen of its own size),
# and the helpers below. Everything started here is stopped when the script
# ends. Set E2E_KEEP=1 to keep the work folder for a look afterwards.

set -euo pipefail

E2E_TITLE='#239 : Wen Hod in a Varno Zavored'
E2E_BUILD=$(cd "${1:?usage: test_x.sh BUILD-FOLDER}" && pwd)
E2E_NAME=$(basename "$0" .sh)
E2E_WORK=$(mktemp -d "/tmp/wenhod-${E2E_NAME}.XXXXXX")
E2E_FILES=$E2E_WORK/Files
E2E_PID=      # the program under test
WID=          # its window
EXIT_STATUS=  # set by wait_exit
_E2E_OWN_XVFB=0

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"

log() { echo "[$E2E_NAME] $*"; }

# Shows what the program left behind, then stops the test.
fail() {
  echo "[$E2E_NAME] FAIL: $*" >&2
  if [[ -f "$E2E_FILES/Debug.txt" ]]; then
    echo "--- last lines of Debug.txt" >&2
    tail -n 25 "$E2E_FILES/Debug.txt" | tr -d '\r' >&2
  fi
  if [[ -s "$E2E_WORK/program.out" ]]; then
    echo "--- program output" >&2
    tail -n 25 "$E2E_WORK/program.out" >&2
  fi
  exit 1
}

# check "what is expected" command...: fails the test when the command fails.
check() {
  local what=$1
  shift
  if "$@"; then log "ok: $what"; else fail "$what"; fi
}

_e2e_cleanup() {
  local status=$?
  if [[ -n "$E2E_PID" ]] && kill -0 "$E2E_PID" 2>/dev/null; then
    kill "$E2E_PID" 2>/dev/null || true
    sleep 0.2
    kill -9 "$E2E_PID" 2>/dev/null || true
    wait "$E2E_PID" 2>/dev/null || true
  fi
  if (( _E2E_OWN_XVFB )); then StopXvfb; fi
  if [[ "${E2E_KEEP:-0}" == 1 ]]; then
    echo "[$E2E_NAME] work folder kept: $E2E_WORK"
  else
    rm -rf "$E2E_WORK"
  fi
  exit "$status"
}
trap _e2e_cleanup EXIT
trap 'exit 130' INT TERM

if [[ -z "${DISPLAY:-}" || -n "${E2E_SCREEN:-}" ]]; then
  StartXvfb "${E2E_SCREEN:-}" || fail "no display and Xvfb would not start"
  _E2E_OWN_XVFB=1
fi
xset r off 2>/dev/null || true

# The staged tree, without anything an earlier run in the build folder wrote.
if [[ -d "$E2E_BUILD/Files" ]]; then
  cp -a "$E2E_BUILD/Files" "$E2E_WORK/"
  rm -f "$E2E_FILES/Debug.txt" "$E2E_FILES/Setup.ini" "$E2E_FILES/239/scores.dat"
  find "$E2E_FILES" -maxdepth 1 -name '*.png' -delete
fi
if [[ -x "$E2E_BUILD/wenhod" ]]; then cp "$E2E_BUILD/wenhod" "$E2E_WORK/"; fi

#------------------------------------------------------------------------------
# Starting and stopping
#------------------------------------------------------------------------------

# launch COMMAND [ARGS...]: runs it on the X display in $E2E_WORK (or
# $E2E_DIR), without waiting. Extra environment goes in E2E_ENV (an array of
# NAME=VALUE, applied after the defaults so it can override them); its
# standard input is E2E_STDIN (nothing unless set).
E2E_ENV=()
launch() {
  (cd "${E2E_DIR:-$E2E_WORK}" && exec env SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null "${E2E_ENV[@]}" "$@") \
    <"${E2E_STDIN:-/dev/null}" >"$E2E_WORK/program.out" 2>&1 &
  E2E_PID=$!
  EXIT_STATUS=
}

# start_program TITLE COMMAND [ARGS...]: launches it, waits for its window.
start_program() {
  launch "${@:2}"
  wait_window "$1"
}

# start_game: the real program, from its copied tree.
start_game() {
  [[ -x "$E2E_WORK/wenhod" && -d "$E2E_FILES" ]] || fail "no staged build in $E2E_BUILD: build first"
  start_program "$E2E_TITLE" ./wenhod
}

# capture_sound WAVFILE: the next start plays its sound into WAVFILE
# (OpenAL Soft's wave writer, in real time) instead of into nothing.
capture_sound() {
  printf '[general]\ndrivers = wave\nsample-type = int16\n[wave]\nfile = %s\n' "$1" \
    >"$E2E_WORK/alsoft.conf"
  E2E_ENV+=(ALSOFT_DRIVERS=wave "ALSOFT_CONF=$E2E_WORK/alsoft.conf")
}

# wait_window TITLE [SECONDS]: sets WID to the program's visible window and
# gives it the keyboard focus (there is no window manager to do it).
wait_window() {
  local title=$1 limit=${2:-30} ticks=0
  WID=
  while [[ -z "$WID" ]]; do
    kill -0 "$E2E_PID" 2>/dev/null || fail "program ended before its window appeared"
    WID=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1) || true
    if [[ -z "$WID" ]]; then
      if (( ticks++ >= limit * 5 )); then fail "no window titled '$title' within ${limit}s"; fi
      sleep 0.2
    fi
  done
  timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null || true
}

# wait_exit [SECONDS]: waits for the program to end and sets EXIT_STATUS;
# fails when it is still running after the time limit.
wait_exit() {
  local limit=${1:-15} ticks=0
  while kill -0 "$E2E_PID" 2>/dev/null; do
    if (( ticks++ >= limit * 10 )); then fail "program still running after ${limit}s"; fi
    sleep 0.1
  done
  EXIT_STATUS=0
  wait "$E2E_PID" || EXIT_STATUS=$?
  E2E_PID=
}

# running: the program is still alive.
running() { [[ -n "$E2E_PID" ]] && kill -0 "$E2E_PID" 2>/dev/null; }

# wait_until SECONDS COMMAND...: runs it every 0.1 s until it succeeds.
wait_until() {
  local limit=$1 ticks=0
  shift
  until "$@"; do
    if (( ticks++ >= limit * 10 )); then return 1; fi
    sleep 0.1
  done
}

# close_request: the close button, as a window manager sends it.
close_request() { "$E2E_BUILD/tests/closewin" "$WID"; }

# close_with WHAT KEY...: holds the keys until the program has gone (so no
# frame can miss them); checks WHAT: it ended with status 0.
close_with() {
  local k
  for k in "${@:2}"; do key_down "$k"; done
  wait_exit 15
  for k in "${@:2}"; do key_up "$k"; done
  check "$1" test "$EXIT_STATUS" -eq 0
}

# close_on WHAT KEY [SECONDS]: one press of KEY; checks WHAT: the program
# ended with status 0 within the time (20 s).
close_on() { key "$2"; wait_exit "${3:-20}"; check "$1" test "$EXIT_STATUS" -eq 0; }

# close_window WHAT [SECONDS]: the close button; checks WHAT: the program
# ended with status 0 within the time (15 s).
close_window() {
  close_request
  wait_exit "${2:-15}"
  check "$1" test "$EXIT_STATUS" -eq 0
}

#------------------------------------------------------------------------------
# Input (xdotool names: z, Escape, Tab, F11, Left, Return, space, ...)
#------------------------------------------------------------------------------

# key NAME...: presses each key for real, held 0.1 s so every frame sees it.
key() {
  local k
  for k in "$@"; do
    xdotool keydown "$k"
    sleep 0.1
    xdotool keyup "$k"
    sleep 0.05
  done
}
key_down() { xdotool keydown "$1"; }
key_up() { xdotool keyup "$1"; }
# tap NAME...: the briefest press xdotool makes (~8 ms), often between frames.
tap() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 80 "$1"; }

# Window size in display pixels: sets WIN_W and WIN_H.
window_size() {
  eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(WIDTH|HEIGHT)=')"
  WIN_W=$WIDTH
  WIN_H=$HEIGHT
}

# move_display X Y / click_display X Y [BUTTON]: window pixels, button 1 left,
# 2 middle, 3 right (X numbering).
move_display() {
  xdotool mousemove --window "$WID" "$1" "$2"
  sleep 0.05
}
click_display() {
  move_display "$1" "$2"
  xdotool mousedown "${3:-1}"
  sleep 0.1
  xdotool mouseup "${3:-1}"
  sleep 0.05
}

# click_virtual X Y [BUTTON] [VW VH]: the same at virtual coordinates of a
# VW x VH drawing area (1280 x 960 unless given) that spans the window.
click_virtual() {
  local vw=${4:-1280} vh=${5:-960}
  window_size
  click_display $(( $1 * WIN_W / vw )) $(( $2 * WIN_H / vh )) "${3:-1}"
}

#------------------------------------------------------------------------------
# What the player sees, and what the program writes
#------------------------------------------------------------------------------

# capture FILE: the window alone, as PNG.
capture() { import -window "$WID" "$1"; }

# pixel FILE X Y: prints "R G B" (0..255) of that image pixel.
pixel() {
  convert "$1" -format \
    "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info:
}

# pixel_near FILE X Y R G B [TOLERANCE]: true when each channel is within it.
pixel_near() {
  local got r g b tol=${7:-8}
  got=$(pixel "$1" "$2" "$3")
  read -r r g b <<<"$got"
  if (( r - $4 > tol || $4 - r > tol || g - $5 > tol || $5 - g > tol ||
        b - $6 > tol || $6 - b > tol )); then
    echo "pixel ($2,$3) of $(basename "$1") is $got, expected about $4 $5 $6" >&2
    return 1
  fi
}

# differing FILE1 FILE2 [FUZZ]: pixels that differ (by more than FUZZ, 10%).
differing() { compare -metric AE ${3:+-fuzz "$3"} "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }

# wait_pixel X Y R G B [TOLERANCE] [SECONDS]: waits until the window shows
# that colour at (X, Y) — a way to know which screen is up.
wait_pixel() {
  local limit=${7:-30} ticks=0 shot=$E2E_WORK/wait_pixel.png
  until capture "$shot" 2>/dev/null && pixel_near "$shot" "$1" "$2" "$3" "$4" "$5" "${6:-8}" 2>/dev/null; do
    if (( ticks++ >= limit * 4 )); then
      pixel_near "$shot" "$1" "$2" "$3" "$4" "$5" "${6:-8}" || true
      fail "window never showed colour $3 $4 $5 at ($1,$2) (${limit}s)"
    fi
    running || fail "program ended while waiting for a colour"
    sleep 0.25
  done
}

# wait_title_screen [X Y [SECONDS]]: the pointer to (X, Y) (700, 560), away
# from the corner looked at; the title's sky there shows the splash has gone;
# then the menu gets SECONDS (0.7) to slide in.
wait_title_screen() {
  move_display "${1:-700}" "${2:-560}"
  wait_pixel 1 1 0 50 101 6 90
  sleep "${3:-0.7}"
}

# window_is W H: the program's window is W x H display pixels.
window_is() {
  window_size
  [[ "${WIN_W}x${WIN_H}" == "$1x$2" ]]
}

# image_size FILE: prints "W H".
image_size() { identify -format '%w %h' "$1"; }

# wait_log TEXT [SECONDS]: waits for a line of Files/Debug.txt holding TEXT.
wait_log() {
  local limit=${2:-20} ticks=0
  until grep -qsF -- "$1" "$E2E_FILES/Debug.txt"; do
    if (( ticks++ >= limit * 10 )); then fail "Debug.txt never said '$1' (${limit}s)"; fi
    if [[ -n "$E2E_PID" ]] && ! kill -0 "$E2E_PID" 2>/dev/null; then
      fail "program ended before Debug.txt said '$1'"
    fi
    sleep 0.1
  done
}

# log_has TEXT: Debug.txt has a line holding TEXT. (grep reads the file
# itself: with pipefail, grep -q ending a pipe early would fail the pipe.)
log_has() { grep -qF -- "$1" "$E2E_FILES/Debug.txt"; }

# log_last_line [FILE]: the last non-empty line of Debug.txt (or of FILE).
log_last_line() { tr -d '\r' <"${1:-$E2E_FILES/Debug.txt}" | grep -v '^$' | tail -n 1; }

# log_complete [FILE]: the log ends with the closing sequence's farewell.
log_complete() { [[ "$(log_last_line "$@")" == "Play again, soon!!" ]]; }

#------------------------------------------------------------------------------
# A round
#------------------------------------------------------------------------------

# count_pixels FILE GEOMETRY CONDITION: pixels of the image inside the crop
# GEOMETRY (WxH+X+Y) whose colour meets the awk CONDITION on r, g, b (0..255).
count_pixels() {
  convert "$1" -crop "$2" +repage -depth 8 -format %c histogram:info:- |
    sed -nE 's/^ *([0-9]+): *\( *([0-9.]+), *([0-9.]+), *([0-9.]+).*/\1 \2 \3 \4/p' |
    awk "{ r = \$2; g = \$3; b = \$4 } $3 { n += \$1 } END { print n + 0 }"
}

# yellow_in_centre FILE: pixels of the window capture, in a box around its
# centre, in the result text's own yellow.
yellow_in_centre() {
  local w h
  read -r w h <<<"$(image_size "$1")"
  count_pixels "$1" "$((w / 2))x$((h / 5))+$((w / 4))+$((h * 2 / 5))" 'r > 220 && g > 220 && b < 60'
}

# wait_game_over LOOKS: "Game Over" shows, looked for LOOKS times, 0.25 s apart.
wait_game_over() {
  local shot=$E2E_WORK/over.png i
  for ((i = 0; i < $1; i++)); do
    running || fail "program ended during the round"
    if capture "$shot" 2>/dev/null && (( $(yellow_in_centre "$shot") > 150 )); then return 0; fi
    sleep 0.25
  done
  return 1
}

# play_until_game_over: holds Z (start, then jump) until "Game Over" shows
# in the middle of the window, for up to two minutes; true when it did.
play_until_game_over() {
  local found=0
  key_down z
  wait_game_over 480 && found=1
  key_up z
  (( found ))
}

# confirm_name WHAT: Return takes the name as it stands; checks WHAT: the
# program runs on.
confirm_name() { key Return; sleep 1.5; check "$1" running; }

# record_has RECORD CONDITION [NAME]: a score record of eight fields, $1 to $8
# (Score|Name|Badges|Timestamp|Level|GameMode|GameFlags|Quit), meets the awk
# CONDITION, in which `want` is NAME, byte for byte.
record_has() { LC_ALL=C awk -F'|' -v want="${3:-}" "{ exit !(NF == 8 && ($2)) }" <<<"$1"; }
