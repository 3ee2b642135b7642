#!/usr/bin/env bash
# F11 on the title screen saves the title picture itself (800x600, the real
# pixels the window shows, without the pointer or the notice) into Files/ and
# says so at the bottom left. Then a round: Escape opens the pause menu over a
# spinning copy of the play picture, Down moves the highlight to "Quit", Space
# ends the round with "Game Over", name entry follows, and the record the
# program saves on closing is marked as quit.
source "$(dirname "$0")/lib.sh" "$1"

YELLOW='r > 220 && g > 220 && b < 60'
MESSAGE_YELLOW='r > 150 && g > 150 && b < 80'  # yellow at alpha 0.7 over the title

start_game
wait_title_screen 700 560 1  # the pointer over the empty score panel

#------------------------------------------------------------------------------
log "F11 on the title screen"
before=$E2E_WORK/title.png
capture "$before"
check "no message at the bottom left yet" \
  test "$(count_pixels "$before" 140x10+0+590 "$MESSAGE_YELLOW")" -lt 10
key F11
wait_log $'\tSaved Screenshot 1'
# The message stays highlighted for about a second; a busy machine may
# take a moment to show it.
after=$E2E_WORK/message.png
lit=0
for ((i = 0; i < 8 && lit <= 150; i++)); do
  capture "$after"
  lit=$(count_pixels "$after" 140x10+0+590 "$MESSAGE_YELLOW")
done
check "\"Saved Screenshot\" shown black on yellow at the bottom left ($lit pixels)" test "$lit" -gt 150

shots=("$E2E_FILES"/*.png)
check "exactly one screenshot in Files/" test "${#shots[@]}" -eq 1 -a -f "${shots[0]}"
shot=${shots[0]}
name=$(basename "$shot")
log "saved: $name"
check "named after the game, date and time without colons" \
  grep -qE '^Wen Hod in a Varno Zavored \(Screenshot_[0-9]{2} [A-Z][a-z]{2} [0-9]{4}_[0-9]{6}\)\.png$' <<<"$name"
check "the log names the same file" log_has $'\tSaving Screenshot : '"$name"
check "the shot has the display's 800x600 pixels" test "$(image_size "$shot")" == "800 600"
check "the shot holds the title's sky, not black" pixel_near "$shot" 1 1 0 50 101 6
check "the shot holds the title's grass" pixel_near "$shot" 400 380 39 159 39 20
diff_shot=$(differing "$before" "$shot" 10%)
log "pixels differing from the window: $diff_shot"
check "the shot is the title picture, upright (under 3% differs)" test "$diff_shot" -lt 14400
check "the shot has no message in it" test "$(count_pixels "$shot" 140x10+0+590 "$MESSAGE_YELLOW")" -lt 10
check "nothing saved in the game folder" test -z "$(find "$E2E_FILES/239" -name '*Screenshot*')"

#------------------------------------------------------------------------------
log "a round, paused and quit"
sleep 1.5  # the message fades from the title
key z
sleep 2.5
play=$E2E_WORK/play.png
capture "$play"
not_title() { ! pixel_near "$1" 1 1 0 50 101 6 2>/dev/null; }
check "the round is on (no more title sky)" not_title "$play"

key Escape
paused=$E2E_WORK/pause.png
# The menu slides in over a few frames; a loaded machine runs the 30 fps mode.
continue_lit() { capture "$paused" && test "$(count_pixels "$paused" 130x28+60+255 "$YELLOW")" -gt 40; }
wait_until 5 continue_lit || true
diff_pause=$(differing "$play" "$paused" 10%)
log "pixels differing from play: $diff_pause"
check "the pause menu shows something else than play (over 30% differs)" test "$diff_pause" -gt 144000
# "Continue" at display rows ~262..282, "Quit" at ~300..320, in the menu box.
check "\"Continue\" highlighted in yellow" continue_lit
check "\"Quit\" not highlighted" test "$(count_pixels "$paused" 130x28+60+293 "$YELLOW")" -lt 10
sleep 1
capture "$paused"
check "still paused a second later" test "$(count_pixels "$paused" 130x28+60+255 "$YELLOW")" -gt 40

key Down
sleep 0.3
quit=$E2E_WORK/pause_quit.png
capture "$quit"
check "Down highlights \"Quit\"" test "$(count_pixels "$quit" 130x28+60+293 "$YELLOW")" -gt 20
check "and \"Continue\" no longer" test "$(count_pixels "$quit" 130x28+60+255 "$YELLOW")" -lt 10

key space
check "Space on \"Quit\" ends the round with \"Game Over\"" wait_game_over 20

sleep 2.5  # the result stays up, then name entry takes the name as offered
confirm_name "back on the title screen after name entry"
close_on "program closed with status 0" Escape

first=$(head -n 1 "$E2E_FILES/239/scores.dat" | tr -d '\r')
log "score record: $first"
check "the round is recorded as quit on Easy" record_has "$first" '$6 == 0 && $8 == 1'
log "passed"
