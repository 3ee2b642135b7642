#!/usr/bin/env bash
# Replays through the real program: --replay-check plays every golden replay
# at full speed and each reaches its end hash; a replay file dropped on the
# window is watched in the round screen under its "Replay" banner, ends as it
# was played and hands back to the title without a record or a name prompt;
# a file that is no replay, dropped, is refused with a plain message.
source "$(dirname "$0")/lib.sh" "$1"

goldens=$(cd "$(dirname "$0")/../replays" && pwd)
mapfile -t replays < <(ls "$goldens"/*.replay)

log "checking ${#replays[@]} golden replays with --replay-check"
launch ./wenhod --replay-check "${replays[@]}"
wait_exit 90
check "every golden replay matched" test "$EXIT_STATUS" -eq 0
check "one line each, all matching" test "$(grep -c ' matches$' "$E2E_WORK/program.out")" -eq "${#replays[@]}"

start_game
wait_title_screen
cp "$E2E_FILES/239/scores.dat" "$E2E_WORK/scores.before"
log "dropping a replay on the window"
check "the drop was taken" "$E2E_BUILD/tests/dropfile" "$WID" "$goldens/hard-quit.replay"
wait_log "Watching replay $goldens/hard-quit.replay"
sleep 2
shot=$E2E_WORK/replay.png
capture "$shot"
read -r w h <<<"$(image_size "$shot")"
check "the yellow Replay banner at the top" \
  test "$(count_pixels "$shot" "$((w / 5))x$((h / 16))+$((w * 2 / 5))+$((h * 7 / 100))" 'r > 220 && g > 220 && b < 60')" -gt 40
wait_log $'\tThe replay ended as it was played' 30
check "no name prompt, no record" cmp -s "$E2E_FILES/239/scores.dat" "$E2E_WORK/scores.before"

log "dropping a picture on the window"
check "the drop was taken" "$E2E_BUILD/tests/dropfile" "$WID" "$E2E_FILES/239/gets.png"
wait_log "Replay not played: $E2E_FILES/239/gets.png: not a replay of this game"
close_window "closed from the title"
