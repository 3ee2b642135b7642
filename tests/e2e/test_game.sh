#!/usr/bin/env bash
# A whole Hard round of the real program: choose Hard on the title screen,
# start with Z and keep Z held until the three jumps are spent, see "Game
# Over" in yellow in the middle of the window, confirm the name and get back
# to the title screen, whose Escape closes the program and saves the round.
source "$(dirname "$0")/lib.sh" "$1"

# Pixels of the window capture FILE, in a box around its centre, that are
# the result text's own yellow.
yellow_in_centre() {
  local file=$1 w h
  read -r w h <<<"$(image_size "$file")"
  convert "$file" -crop "$((w / 2))x$((h / 5))+$((w / 4))+$((h * 2 / 5))" +repage \
    -depth 8 -format %c histogram:info:- |
    sed -nE 's/^ *([0-9]+): *\( *([0-9.]+), *([0-9.]+), *([0-9.]+).*/\1 \2 \3 \4/p' |
    awk '$2 > 220 && $3 > 220 && $4 < 60 { n += $1 } END { print n + 0 }'
}

start_game
move_display 700 560  # the pointer image away from the corner checked
wait_pixel 1 1 0 50 101 6 90  # the title screen's sky: the splash has gone
sleep 0.7  # the menu slides in

key Down Down  # Easy -> Medium -> Hard
shot=$E2E_WORK/title.png
capture "$shot"
check "no result text on the title screen" test "$(yellow_in_centre "$shot")" -lt 50

log "starting a Hard round with Z held"
key_down z
shot=$E2E_WORK/over.png
found=0
for ((i = 0; i < 480; i++)); do  # up to two minutes
  running || fail "program ended during the round"
  if capture "$shot" 2>/dev/null && (( $(yellow_in_centre "$shot") > 150 )); then
    found=1
    break
  fi
  sleep 0.25
done
key_up z
check "\"Game Over\" shown in yellow in the middle of the window" test "$found" -eq 1

# The result stays up for 1.5 s, then name entry takes the name as offered.
sleep 2.5
key Return
sleep 1.5
check "still running after name entry" running
key Escape  # a fresh Escape on the title screen closes the program
wait_exit 20
check "program closed with status 0" test "$EXIT_STATUS" -eq 0

scores=$E2E_FILES/239/scores.dat
check "scores.dat written" test -s "$scores"
first=$(head -n 1 "$scores" | tr -d '\r')
log "score record: $first"
# Score|Name|Badges|Timestamp|Level|GameMode|GameFlags|Quit: a finished Hard round.
check "the round is recorded as Hard, not quit" \
  awk -F'|' '{ exit !(NF == 8 && $1 ~ /^[0-9]+$/ && $5 == 0 && $6 == 2 && $7 == 0 && $8 == 0) }' <<<"$first"
log "passed"
