#!/usr/bin/env bash
# The score file through the real program: earlier records are read at
# start-up and written back newest first; a Hard round adds a record under
# the name typed at name entry (a "|" in it cannot break the file), on disk
# as soon as it is made, so a kill at the title keeps it; a restart reads the
# new record back; and a window closed at the name prompt still records its
# round under the name typed so far.
source "$(dirname "$0")/lib.sh" "$1"

scores=$E2E_FILES/239/scores.dat
zeros30() { printf '%s' "$1"; for ((i = 2; i <= 30; i++)); do printf '|0'; done; }
bravo="700|Bravo|0|65149900000|0|2|0|0"
alpha="900|Alpha|0|65149950000|0|2|0|0"
# Older first in the file: the program sorts on loading, and offers the name
# of the file's first record.
printf '%s\r\n%s\r\n%s\r\n%s\r\n' "$bravo" "$(zeros30 4)" "$alpha" "$(zeros30 6)" >"$scores"

# White pixels where the score panel's first three list rows are drawn
# (virtual x 954 to 1274, y 524 to 575 of 1280 x 960, the panel fully in).
white_in_list() {
  local w h
  read -r w h <<<"$(image_size "$1")"
  count_pixels "$1" "$((320 * w / 1280))x$((51 * h / 960))+$((954 * w / 1280))+$((524 * h / 960))" \
    'r > 200 && g > 200 && b > 200'
}

# play_hard_round: from the title screen with Easy chosen, plays Hard with
# the jump held until "Game Over" shows, then waits for name entry.
play_hard_round() {
  key Down Down  # Hard
  log "playing a Hard round with Z held"
  check "the round ended" play_until_game_over
  sleep 2.5  # the result stays up for 1.5 s before name entry
}

# read_records: the score file's lines, without CR, into `lines`.
read_records() {
  mapfile -t lines < <(tr -d '\r' <"$scores")
  log "new record: ${lines[0]}"
}

start_game
wait_title_screen
play_hard_round
key BackSpace BackSpace BackSpace BackSpace BackSpace  # "Bravo" offered
type_text 'Zed|x'
sleep 0.3
confirm_name "still running after name entry"
log "killing the program at the title"
kill -9 "$E2E_PID"
wait_exit 5
check "killed" test "$EXIT_STATUS" -eq 137

read_records
check "three records, two lines each" test "${#lines[@]}" -eq 6
check "the new record first, named with the bar replaced, Hard, not quit" \
  record_has "${lines[0]}" '$1 ~ /^[0-9]+$/ && $2 == want && $4 > 65149950000 && $6 == 2 && $8 == 0' \
  "$(printf 'Zed\xa6x')"
check "its statistics line holds thirty numbers" \
  awk -F'|' '{ exit !(NF == 30) }' <<<"${lines[1]}"
check "the earlier records follow, newest first, unchanged" \
  test "${lines[2]}|${lines[3]}|${lines[4]}|${lines[5]}" == "$alpha|$(zeros30 6)|$bravo|$(zeros30 4)"
cp "$scores" "$E2E_WORK/after_round.dat"

log "restarting"
start_game
wait_title_screen
# The panel's list on Easy (no records) and on Hard (three rows of white text).
capture "$E2E_WORK/easy.png"
easy=$(white_in_list "$E2E_WORK/easy.png")
key Down Down
sleep 0.3
capture "$E2E_WORK/hard.png"
hard=$(white_in_list "$E2E_WORK/hard.png")
log "white pixels in the list: Easy $easy, Hard $hard"
check "the Hard list shows the records" test "$hard" -gt $(( easy + 100 ))
key Up Up  # back to Easy

log "closing the window at the name prompt"
play_hard_round
type_text 'Q'  # the offered name is the newest record's
sleep 0.3
close_window "closed with status 0" 20
read_records
check "four records, two lines each" test "${#lines[@]}" -eq 8
check "the round closed at the prompt is recorded under the name typed so far" \
  record_has "${lines[0]}" '$2 == want && $6 == 2 && $8 == 0' "$(printf 'Zed\xa6xQ')"
check "the restart read the earlier records and wrote them back the same" \
  cmp <(tail -n +3 "$scores") "$E2E_WORK/after_round.dat"
log "passed"
