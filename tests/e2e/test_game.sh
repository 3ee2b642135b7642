#!/usr/bin/env bash
# A whole Hard round of the real program: choose Hard on the title screen,
# start with Z and keep Z held until the three jumps are spent, see "Game
# Over" in yellow in the middle of the window, confirm the name and get back
# to the title screen, whose Escape closes the program and saves the round.
source "$(dirname "$0")/lib.sh" "$1"

start_game
wait_title_screen

key Down Down  # Easy -> Medium -> Hard
shot=$E2E_WORK/title.png
capture "$shot"
check "no result text on the title screen" test "$(yellow_in_centre "$shot")" -lt 50

log "starting a Hard round with Z held"
check "\"Game Over\" shown in yellow in the middle of the window" play_until_game_over

# The result stays up for 1.5 s, then name entry takes the name as offered.
sleep 2.5
confirm_name "still running after name entry"
close_on "program closed with status 0" Escape  # a fresh Escape on the title screen closes it

check "scores.dat written" test -s "$E2E_FILES/239/scores.dat"
first=$(head -n 1 "$E2E_FILES/239/scores.dat" | tr -d '\r')
log "score record: $first"
check "the round is recorded as Hard, not quit" \
  record_has "$first" '$1 ~ /^[0-9]+$/ && $5 == 0 && $6 == 2 && $7 == 0 && $8 == 0'
log "passed"
