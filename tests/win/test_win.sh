#!/usr/bin/env bash
# The Windows program under Wine, as a player meets it: the title, Down Down
# Z for a Hard round to "Game Over", a typed name, Escape; then scores.dat,
# Setup.ini and the log checked. A second start saves both files again over
# the first ones (Windows will not rename onto an existing file, so a plain
# rename would keep the old ones). A start that fails says why in a message
# box, as nobody sees a Windows program's standard error.
# Usage: test_win.sh BUILD-WIN [NATIVE-BUILD]: with the native build folder
# its program's start to the title is timed in the same run, for comparison.
source "$(dirname "$0")/../e2e/lib.sh" "$1"
WINE=$(cd "$(dirname "$0")/../../win" && pwd)/wine.sh
native=${2:+$(cd "$2" && pwd)}

cp "$E2E_BUILD/wenhod.exe" "$E2E_WORK/"
scores=$E2E_FILES/239/scores.dat
setup=$E2E_FILES/Setup.ini

# timed_start WHAT COMMAND...: starts it and prints a figure: the seconds from
# the start to the first frame of the title screen.
timed_start() {
  local what=$1 t0
  shift
  t0=$EPOCHREALTIME
  start_program "$E2E_TITLE" "$@"
  wait_title_screen 700 560 0
  echo "figure: start to title, $what: $(awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')s"
  sleep 0.7  # the menu slides in
}

# no_leftovers: no temporary file of a save is left beside the saved ones.
no_leftovers() { [[ -z $(find "$E2E_FILES" -name '*.tmp') ]]; }

if [[ -n $native && -x $native/wenhod ]]; then
  cp "$native/wenhod" "$E2E_WORK/"
  timed_start native ./wenhod
  close_on "the native program ended on Escape" Escape
  rm -f "$E2E_FILES/Debug.txt" "$setup" "$scores"
fi

timed_start "under Wine" "$WINE" ./wenhod.exe
key Down Down  # Hard
log "playing a Hard round with Z held"
check "the round ended in Game Over" play_until_game_over
sleep 2.5  # the result stays up for 1.5 s before name entry
key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace  # "Player" offered
type_text 'Wine'
sleep 0.3
confirm_name "still running after name entry"
close_on "ended with status 0 on Escape at the title" Escape
mapfile -t lines < <(tr -d '\r' <"$scores")
log "record: ${lines[0]:-none}"
check "scores.dat holds the round under the typed name, Hard, not quit" \
  record_has "${lines[0]:-}" '$1 ~ /^[0-9]+$/ && $2 == want && $6 == 2 && $8 == 0' Wine
check "Setup.ini written, CR LF lines, naming the audio output" grep -q $'^AudioDriver = .*\r$' "$setup"
check "the log is complete" log_complete
check "no temporary file left" no_leftovers

log "starting again: both files are saved over the first ones"
printf '; not written by the game\r\n' >>"$setup"
before=$(stat -c %Y.%s "$scores")
sleep 1.1  # a later modification second
timed_start "under Wine, second start" "$WINE" ./wenhod.exe
close_on "ended with status 0 again" Escape
check "Setup.ini was replaced" bash -c "! grep -q 'not written by the game' '$setup'"
check "scores.dat was replaced, the record kept" \
  test "$(stat -c %Y.%s "$scores")" != "$before" -a "$(tr -d '\r' <"$scores" | head -n 1)" == "${lines[0]}"
check "no temporary file left" no_leftovers

log "a start that cannot open its display, with no standard error (started as from Explorer)"
E2E_ENV=(SDL_VIDEODRIVER=dummy)
launch "$WINE" start /wait /unix "$E2E_WORK/wenhod.exe"
E2E_ENV=()
wait_window "Wen Hod in a Varno Zavored" 60
log "message box: $(xdotool getwindowname "$WID")"
key Return
wait_exit 20
check "the message box was shown and the program ended with status 1" test "$EXIT_STATUS" -eq 1
log "passed"
