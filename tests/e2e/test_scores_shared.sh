#!/usr/bin/env bash
# Two copies of the real program in one folder share scores.dat: A records
# "Alpha", then B records "Bravo"; each copy's score table shows the other's
# record once back on its title, and after both close (A first, though it
# saved first) the file holds both records.
source "$(dirname "$0")/lib.sh" "$1"

scores=$E2E_FILES/239/scores.dat

# White pixels in row ROW of the score panel's list (virtual y 524 + 17 per
# row, x 954 to 1274 of 1280 x 960, the panel fully in).
white_in_row() {
  local w h
  read -r w h <<<"$(image_size "$1")"
  count_pixels "$1" "$((320 * w / 1280))x$((17 * h / 960))+$((954 * w / 1280))+$(((524 + 17 * ($2 - 1)) * h / 960))" \
    'r > 200 && g > 200 && b > 200'
}

# use PID WID: the helpers of lib.sh drive that copy, its window on top
# (the two open in the same place) and holding the keyboard.
use() {
  E2E_PID=$1 WID=$2
  xdotool windowraise "$WID"
  sleep 0.3
  timeout 5 xdotool windowfocus --sync "$WID" 2>/dev/null || true
}
use_a() { use "$pid_a" "$wid_a"; }
use_b() { use "$pid_b" "$wid_b"; }

# record_round NAME: a Hard round from the title (Easy chosen), then NAME in
# place of the offered "Player"; back on the title with Hard chosen.
record_round() {
  key Down Down
  log "playing a Hard round with Z held"
  check "the round ended" play_until_game_over
  sleep 2.5  # the result stays up for 1.5 s before name entry
  key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  type_text "$1"
  sleep 0.3
  confirm_name "still running after naming the record $1"
  sleep 1  # the panel slides in
}

log "starting copy A"
start_game
pid_a=$E2E_PID wid_a=$WID
wait_title_screen
log "starting copy B"
launch ./wenhod
pid_b=$E2E_PID wid_b=
other_window() {
  wid_b=$(xdotool search --onlyvisible --name "^${E2E_TITLE}\$" 2>/dev/null | grep -vx "$wid_a" | head -n 1) || true
  [[ -n "$wid_b" ]]
}
wait_until 30 other_window || fail "no window of copy B"
use_b
wait_title_screen

use_a
record_round Alpha
check "A's record is on disk" grep -qa '|Alpha|' "$scores"

use_b
record_round Bravo
capture "$E2E_WORK/b.png"
check "B's table, back on its title, shows A's record too (a second row)" \
  test "$(white_in_row "$E2E_WORK/b.png" 2)" -gt 100
check "the file holds both records" bash -c "grep -qa '|Alpha|' '$scores' && grep -qa '|Bravo|' '$scores'"

use_a
capture "$E2E_WORK/a.png"
check "A's table, on its title, shows B's record too (a second row)" \
  test "$(white_in_row "$E2E_WORK/a.png" 2)" -gt 100
close_window "A closed with status 0"
use_b
close_window "B closed with status 0"

mapfile -t lines < <(tr -d '\r' <"$scores")
log "records: ${lines[0]} / ${lines[2]}"
check "two records, two lines each" test "${#lines[@]}" -eq 4
check "Bravo, the newer, first" record_has "${lines[0]}" '$2 == "Bravo" && $6 == 2'
check "Alpha second" record_has "${lines[2]}" '$2 == "Alpha" && $6 == 2'
check "the lock file stays beside the scores, and no temporary" \
  bash -c "[[ -f '$scores.lock' && ! -e '$scores.tmp' ]]"
log "passed"
