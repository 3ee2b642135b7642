#!/usr/bin/env bash
# Starting without a display (the program holds no test back end to fall
# back on), then with broken or missing data: unreadable
# fonts, a score file the player may not read, then no data tree at all.
# Without a display the program says why and fails; otherwise it opens its
# window, draws the title screen with what it has, closes cleanly with status
# 0 and a complete log, and never writes over what it could not read nor
# outside the folder it was started from.
source "$(dirname "$0")/lib.sh" "$1"

# The title screen's sky shows at the top-left corner even without assets.
wait_title() { wait_title_screen 790 5 0.5; }

# 1. No display at all (SDL's dummy video driver): the program says why on
# standard error and ends with status 1, writing no settings or scores.
E2E_ENV=(SDL_VIDEODRIVER=dummy)
launch ./wenhod
E2E_ENV=()
wait_exit 30
check "no display: ends with status 1" test "$EXIT_STATUS" -eq 1
check "no display: SDL's reason for the window on standard error" \
  grep -qE "^wenhod: window 800x600: .+" "$E2E_WORK/program.out"
check "no display: and what it means" grep -qx "wenhod: could not open the display" "$E2E_WORK/program.out"
check "no display: no settings file" test ! -e "$E2E_FILES/Setup.ini"
check "no display: no score file" test ! -e "$E2E_FILES/239/scores.dat"
check "no display: the log keeps to its own lines" bash -c "! grep -qi 'could not' '$E2E_FILES/Debug.txt'"
# ... and no test back end to fall back on: the program holds the real one only.
check "the program links the real back end" bash -c "nm -C '$E2E_WORK/wenhod' | grep -q 'UseSdlBackend()'"
check "the program holds no headless back end" bash -c "! nm -C '$E2E_WORK/wenhod' | grep -q 'HeadlessBackend'"

# 2. The three fonts replaced by garbage.
for f in "SVBasicManual.ttf" "Blue Highway.ttf" "Acknowledge TT BRK.ttf"; do
  head -c 4096 /dev/urandom >"$E2E_FILES/Common/$f"
done
start_game
wait_title
close_with "unreadable fonts: ends with status 0" Escape
check "unreadable fonts: the log is complete" log_complete
check "unreadable fonts: loading finished" log_has "Finished Loading"

# 3. An ordinary user, not root, with a score file it may not read: the file
# keeps every byte, and standard error says why the scores were not saved.
scores=$E2E_FILES/239/scores.dat
printf '1234|Player|0|65149974729|0|1|0|0\r\n3|7\r\n' >"$scores"
cp "$scores" "$E2E_WORK/scores.before"
chmod 000 "$scores"
chown -R nobody:nogroup "$E2E_FILES" "$E2E_WORK/wenhod"
chmod 755 "$E2E_WORK"
start_program "$E2E_TITLE" setpriv --reuid=nobody --regid=nogroup --clear-groups ./wenhod
wait_title
close_with "unreadable scores: ends with status 0" Escape
check "unreadable scores: the log is complete" log_complete
check "unreadable scores: the file keeps every byte" cmp "$scores" "$E2E_WORK/scores.before"
check "unreadable scores: nothing left beside it" test ! -e "$scores.tmp"
check "unreadable scores: standard error names the file and the reason" \
  grep -qF "239/scores.dat: scores not saved: it could not be read (Permission denied)" "$E2E_WORK/program.out"
check "unreadable scores: the log keeps to its own lines" bash -c "! grep -q 'not saved' '$E2E_FILES/Debug.txt'"

# 4. No Files/ at all. The program runs two folders down, in box/run, so
# that anything it writes beside its start folder shows in box/.
mkdir -p "$E2E_WORK/box/run"
mv "$E2E_WORK/wenhod" "$E2E_WORK/box/run/"
rm -rf "$E2E_FILES"
E2E_DIR=$E2E_WORK/box/run start_program "$E2E_TITLE" ./wenhod
wait_title
key Tab  # the settings panel opens, and saves the settings
sleep 0.3
close_with "no data tree: ends with status 0" Escape
check "no data tree: the settings are saved where they are read" test -s "$E2E_WORK/box/run/Setup.ini"
check "no data tree: nothing written outside the start folder" test "$(ls -A "$E2E_WORK/box")" == run
check "no data tree: the log is written where it started" test -s "$E2E_WORK/box/run/Debug.txt"
check "no data tree: the log is complete" \
  [ "$(tr -d '\r' <"$E2E_WORK/box/run/Debug.txt" | tail -n 1)" == "Play again, soon!!" ]
check "no data tree: no sound effects were found" \
  bash -c "! grep -q SFX '$E2E_WORK/box/run/Debug.txt'"
