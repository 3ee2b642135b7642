#!/usr/bin/env bash
# A whole Hard round of the real program: choose Hard on the title screen,
# start with Z and keep Z held until the three jumps are spent, see "Game
# Over" in yellow in the middle of the window, confirm the name and get back
# to the title screen, whose Escape closes the program and saves the round.
source "$(dirname "$0")/lib.sh" "$1"

start_game
move_display 700 560  # the pointer image away from the corner checked
wait_pixel 1 1 0 50 101 6 90  # the title screen's sky: the splash has gone
sleep 0.7  # the menu slides in

key Down Down  # Easy -> Medium -> Hard
shot=$E2E_WORK/title.png
capture "$shot"
check "no result text on the title screen" test "$(yellow_in_centre "$shot")" -lt 50

log "starting a Hard round with Z held"
check "\"Game Over\" shown in yellow in the middle of the window" play_until_game_over

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
