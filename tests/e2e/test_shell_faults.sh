#!/usr/bin/env bash
# Starting with broken or missing data: unreadable fonts, then no data tree at
# all. The program still opens its window, draws the title screen with what
# it has, and closes cleanly with status 0 and a complete log.
source "$(dirname "$0")/lib.sh" "$1"

# The title screen's sky shows at the top-left corner even without assets.
wait_title() {
  move_display 790 5
  wait_pixel 1 1 0 50 101 6 90
  sleep 0.5
}

# 1. The three fonts replaced by garbage.
for f in "SVBasicManual.ttf" "Blue Highway.ttf" "Acknowledge TT BRK.ttf"; do
  head -c 4096 /dev/urandom >"$E2E_FILES/Common/$f"
done
start_game
wait_title
key_down Escape
wait_exit 15
key_up Escape
check "unreadable fonts: ends with status 0" [ "$EXIT_STATUS" == 0 ]
check "unreadable fonts: the log is complete" [ "$(log_last_line)" == "Play again, soon!!" ]
check "unreadable fonts: loading finished" log_has "Finished Loading"

# 2. No Files/ at all. The program runs one folder down, so that anything it
# writes beside its start folder stays inside the work folder.
mkdir "$E2E_WORK/run"
mv "$E2E_WORK/wenhod" "$E2E_WORK/run/"
rm -rf "$E2E_FILES"
(cd "$E2E_WORK/run" && exec env SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./wenhod) >"$E2E_WORK/program.out" 2>&1 &
E2E_PID=$!
wait_window "$E2E_TITLE"
wait_title
key_down Escape
wait_exit 15
key_up Escape
check "no data tree: ends with status 0" [ "$EXIT_STATUS" == 0 ]
check "no data tree: the log is written where it started" test -s "$E2E_WORK/run/Debug.txt"
check "no data tree: the log is complete" \
  [ "$(tr -d '\r' <"$E2E_WORK/run/Debug.txt" | tail -n 1)" == "Play again, soon!!" ]
check "no data tree: no sound effects were found" \
  bash -c "! grep -q SFX '$E2E_WORK/run/Debug.txt'"
