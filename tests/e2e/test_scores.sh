#!/usr/bin/env bash
# The score file through the real program: earlier records are read at
# start-up and written back newest first; a Hard round adds a record under
# the name typed at name entry (a "|" in it cannot break the file); and a
# restart reads the new record back and keeps it.
source "$(dirname "$0")/lib.sh" "$1"

scores=$E2E_FILES/239/scores.dat
zeros30() { printf '%s' "$1"; for ((i = 2; i <= 30; i++)); do printf '|0'; done; }
bravo="700|Bravo|0|65149900000|0|2|0|0"
alpha="900|Alpha|0|65149950000|0|2|0|0"
# Older first in the file: the program sorts on loading, and offers the name
# of the file's first record.
printf '%s\r\n%s\r\n%s\r\n%s\r\n' "$bravo" "$(zeros30 4)" "$alpha" "$(zeros30 6)" >"$scores"

# Pixels of the window capture FILE near its centre in the result text's yellow.
yellow_in_centre() {
  local file=$1 w h
  read -r w h <<<"$(image_size "$file")"
  convert "$file" -crop "$((w / 2))x$((h / 5))+$((w / 4))+$((h * 2 / 5))" +repage \
    -depth 8 -format %c histogram:info:- |
    sed -nE 's/^ *([0-9]+): *\( *([0-9.]+), *([0-9.]+), *([0-9.]+).*/\1 \2 \3 \4/p' |
    awk '$2 > 220 && $3 > 220 && $4 < 60 { n += $1 } END { print n + 0 }'
}

# White pixels where the score panel's first three list rows are drawn
# (virtual x 954 to 1274, y 524 to 575 of 1280 x 960, the panel fully in).
white_in_list() {
  local file=$1 w h
  read -r w h <<<"$(image_size "$file")"
  convert "$file" -crop "$((320 * w / 1280))x$((51 * h / 960))+$((954 * w / 1280))+$((524 * h / 960))" +repage \
    -depth 8 -format %c histogram:info:- |
    sed -nE 's/^ *([0-9]+): *\( *([0-9.]+), *([0-9.]+), *([0-9.]+).*/\1 \2 \3 \4/p' |
    awk '$2 > 200 && $3 > 200 && $4 > 200 { n += $1 } END { print n + 0 }'
}

start_game
move_display 700 560
wait_pixel 1 1 0 50 101 6 90  # the title screen's sky
sleep 0.7
key Down Down  # Hard

log "playing a Hard round with Z held"
key_down z
shot=$E2E_WORK/over.png
found=0
for ((i = 0; i < 480; i++)); do
  running || fail "program ended during the round"
  if capture "$shot" 2>/dev/null && (( $(yellow_in_centre "$shot") > 150 )); then
    found=1
    break
  fi
  sleep 0.25
done
key_up z
check "the round ended" test "$found" -eq 1

sleep 2.5  # the result stays up for 1.5 s before name entry
key BackSpace BackSpace BackSpace BackSpace BackSpace  # "Bravo" offered
type_text 'Zed|x'
sleep 0.3
key Return
sleep 1.5
check "still running after name entry" running
key Escape
wait_exit 20
check "closed with status 0" test "$EXIT_STATUS" -eq 0

mapfile -t lines < <(tr -d '\r' <"$scores")
log "new record: ${lines[0]}"
check "three records, two lines each" test "${#lines[@]}" -eq 6
check "the new record first, named with the bar replaced, Hard, not quit" \
  env LC_ALL=C awk -F'|' -v want="$(printf 'Zed\xa6x')" \
  '{ exit !(NF == 8 && $1 ~ /^[0-9]+$/ && $2 == want && $4 > 65149950000 && $6 == 2 && $8 == 0) }' \
  <<<"${lines[0]}"
check "its statistics line holds thirty numbers" \
  awk -F'|' '{ exit !(NF == 30) }' <<<"${lines[1]}"
check "the earlier records follow, newest first, unchanged" \
  test "${lines[2]}|${lines[3]}|${lines[4]}|${lines[5]}" == "$alpha|$(zeros30 6)|$bravo|$(zeros30 4)"
cp "$scores" "$E2E_WORK/after_round.dat"

log "restarting"
start_game
move_display 700 560
wait_pixel 1 1 0 50 101 6 90
sleep 0.7
# The panel's list on Easy (no records) and on Hard (three rows of white text).
shot=$E2E_WORK/easy.png
capture "$shot"
easy=$(white_in_list "$shot")
key Down Down
sleep 0.3
shot=$E2E_WORK/hard.png
capture "$shot"
hard=$(white_in_list "$shot")
log "white pixels in the list: Easy $easy, Hard $hard"
check "the Hard list shows the records" test "$hard" -gt $(( easy + 100 ))
key Escape
wait_exit 20
check "closed with status 0" test "$EXIT_STATUS" -eq 0
check "the restart read the new record and wrote it back the same" cmp "$scores" "$E2E_WORK/after_round.dat"
log "passed"
