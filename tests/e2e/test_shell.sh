#!/usr/bin/env bash
# The real program from start to close: the log of the start sequence line by
# line, the title screen as drawn (credits panel, menu), choosing a difficulty
# with the mouse and the arrow keys, Tab saving the settings on each toggle,
# the closing sequence on Escape, Alt+F4 and the close button, and a settings
# file asking for a size the display does not offer.
source "$(dirname "$0")/lib.sh" "$1"

# The title screen is up and at rest (32 frames of slide-in), the pointer
# out of every region looked at.
wait_title() { wait_title_screen 790 5 1; }

# max_red FILE X Y W H: the brightest red in a rectangle of the capture.
max_red() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -format '%[fx:round(255*maxima.r)]' info:
}

# The menu entries in window pixels (virtual x 540..740 of 1280, rows from
# y = 680, 730, 780 and 880 of 960, 40 high).
ENTRY_Y=(425 456 487 550)
chosen_entry() {
  local shot=$E2E_WORK/menu.png k bright=() n=0 which=-1
  capture "$shot"
  for k in 0 1 2 3; do
    bright[k]=$(max_red "$shot" 337 "${ENTRY_Y[k]}" 125 25)
    if (( bright[k] > 235 )); then which=$k; n=$((n + 1)); fi
  done
  log "menu red maxima: ${bright[*]}" >&2
  (( n == 1 )) && echo "$which" || echo "none"
}

#------------------------------------------------------------------------------
# 1. A first start with no settings file.
start_game
check "window title" [ "$(xdotool getwindowname "$WID")" == "$E2E_TITLE" ]
check "the window opens at 800 x 600" window_is 800 600
wait_title

capture "$E2E_WORK/title.png"
# Credits panel: black at 0.6 over the grass, lower left; the same row in the
# middle, below the menu and left of the score panel, is plain grass.
read -r pr pg pb <<<"$(pixel "$E2E_WORK/title.png" 250 588)"
read -r gr gg gb <<<"$(pixel "$E2E_WORK/title.png" 520 588)"
log "panel $pr $pg $pb, grass $gr $gg $gb"
check "grass beside the panel is green" [ "$gg" -gt 100 -a "$gr" -lt "$gg" ]
check "the credits panel darkens the grass" [ $((pg * 10)) -le $((gg * 5)) -a "$pg" -gt 0 ]
check "credits text is drawn in the panel" [ "$(max_red "$E2E_WORK/title.png" 20 333 240 15)" -gt 200 ]
check "the prompt is drawn" [ "$(max_red "$E2E_WORK/title.png" 250 285 300 30)" -gt 235 ]
check "Easy is the first choice" [ "$(chosen_entry)" == 0 ]

# The mouse picks Hard; then Down moves to Two Player and Up back to Hard.
click_virtual 600 800
move_display 790 5
sleep 0.3
check "a click on Hard chooses it" [ "$(chosen_entry)" == 2 ]
# keys_choose WHAT ENTRY KEY...: the keys move the menu's choice to ENTRY.
keys_choose() {
  local what=$1 want=$2
  shift 2
  key "$@"
  sleep 0.2
  check "$what" [ "$(chosen_entry)" == "$want" ]
}
keys_choose "Down moves on to Two Player" 3 Down
keys_choose "Up twice comes back to Medium" 1 Up Up
keys_choose "Up from Easy wraps round to Two Player" 3 Up Up
capture "$E2E_WORK/two.png"
read -r _ tg _ <<<"$(pixel "$E2E_WORK/two.png" 700 588)"
check "Two Player hides the score table (plain grass at its place)" [ "$tg" -gt 100 ]

# Tab opens the settings panel and saves; Tab again closes it and saves again.
check "no settings file before the first Tab" [ ! -e "$E2E_FILES/Setup.ini" ]
key Tab
check "the first Tab writes Setup.ini" wait_until 5 test -s "$E2E_FILES/Setup.ini"
rm -f "$E2E_FILES/Setup.ini"
key Tab
check "the second Tab writes it again" wait_until 5 test -s "$E2E_FILES/Setup.ini"
sleep 0.5  # the panel slides away

close_with "Escape on the title screen ends with status 0" Escape

# The log, line by line, against the start sequence.
tr -d '\r' <"$E2E_FILES/Debug.txt" >"$E2E_WORK/log.txt"
rule=----------------------------
dashes=-=-=-=-=-=-=-=-=-=-=-=-=-=-
{
  printf '%s\n' "Marrowby's Brackenfold Engine" "$rule" "Week #239" "$rule" "$E2E_TITLE" "$rule" "" "Loading" \
    "Setting Audio Driver" "Set Audio Driver" "" $'\tRequested Resolution : 800x600' $'\tSetup Loaded' "" \
    "Grabbing Previous Scores" "" "" "$dashes" "Applying Graphical Settings" $'\tUsing OpenGL Driver' \
    $'\tResolution : 800x600,0' "" "Loading : Common Objects" "" "Switching to Default Folder" "" \
    $'\tDefault Fonts' $'\tDefault Icons' $'\tLogos' $'\tBadgeGet' "" "Switching to Game Folder" "" \
    "Loading Sound effects"
  for f in "$E2E_FILES"/239/[0-9][0-9][0-9].wav; do
    k=$(basename "$f" .wav)
    printf '\tSFX(%d)\n' "$((10#$k))"
  done
  printf '%s\n' "Sounds loaded" ""
} >"$E2E_WORK/expected_head.txt"
head -n "$(wc -l <"$E2E_WORK/expected_head.txt")" "$E2E_WORK/log.txt" >"$E2E_WORK/log_head.txt"
check "the log opens with the start sequence, line by line" \
  diff "$E2E_WORK/expected_head.txt" "$E2E_WORK/log_head.txt"
# In order after that: the engine test, the end of loading and the farewell.
in_order() {
  local want=("$@") i=0 line
  while IFS= read -r line; do
    if (( i < ${#want[@]} )) && [[ "$line" == "${want[i]}" ]]; then i=$((i + 1)); fi
  done <"$E2E_WORK/log.txt"
  (( i == ${#want[@]} ))
}
check "then the engine test, the end of loading and closing" \
  in_order "Starting Engine Test" "Aiming for 60,2" "Test Complete" "Engine Test Results" "$dashes" \
  "Finished Loading" "Closing Up" "" "Bye!" "" "Play again, soon!!"
check "the log ends with the farewell" [ "$(tail -n 1 "$E2E_WORK/log.txt")" == "Play again, soon!!" ]

# Setup.ini holds the defaults (and the slow-system line only when the
# engine test found this machine slow).
{
  printf '%s\n' "[Graphics]" "Fullscreen = False" "GFX Engine = OpenGL" "Width=800" "Height=600"
  if grep -q "^Settings Overwritten" "$E2E_WORK/log.txt"; then
    printf '%s\n' "ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww.."
  fi
  printf '%s\n' "" "[Audio]" "Master = 50" "Sound = 50" "Music = 50" "AudioDriver = OpenAL" \
    "; AudioDriver = OpenAL" "; AudioDriver = FreeAudio" "" "[Controls]" \
    "Key=0,38" "Key=3,37" "Key=5,39" "Key=8,40" "Key=10,90" "Key=20,87" "Key=23,65" "Key=25,68" "Key=28,83" "Key=30,74"
} >"$E2E_WORK/expected_setup.txt"
tr -d '\r' <"$E2E_FILES/Setup.ini" >"$E2E_WORK/setup.txt"
check "Setup.ini holds the defaults" diff "$E2E_WORK/expected_setup.txt" "$E2E_WORK/setup.txt"

#------------------------------------------------------------------------------
# 2. A settings file asking for 1000 x 700, which the display does not offer.
sed -i 's/^Width=800/Width=1000/; s/^Height=600/Height=700/' "$E2E_FILES/Setup.ini"
start_game
check "1000 x 700 falls back to an 800 x 600 window" window_is 800 600
wait_title
# Alt+F4 ends the program through the closing sequence.
close_with "Alt+F4 ends with status 0" Alt_L F4
check "the log shows the size asked for" log_has $'\tRequested Resolution : 1000x700'
check "and the size opened" log_has $'\tResolution : 800x600,0'
check "Alt+F4 runs the closing sequence" log_complete
check "Setup.ini is rewritten with the size in use" \
  grep -q $'^Width=800\r$' "$E2E_FILES/Setup.ini"
check "with its height" grep -q $'^Height=600\r$' "$E2E_FILES/Setup.ini"

#------------------------------------------------------------------------------
# 3. The window's close button, during the title screen.
rm -f "$E2E_FILES/Debug.txt"
start_game
wait_title
close_window "a close request ends with status 0"
check "a close request runs the closing sequence" log_complete

#------------------------------------------------------------------------------
# 4. Started from another folder (as from a desktop menu), the program finds
# its Files/ beside itself, works there, and writes nothing where it started.
rm -f "$E2E_FILES/Debug.txt"
mkdir "$E2E_WORK/elsewhere"
E2E_DIR=$E2E_WORK/elsewhere start_program "$E2E_TITLE" "$E2E_WORK/wenhod"
wait_title
capture "$E2E_WORK/title_elsewhere.png"
check "started elsewhere, the title looks as before" \
  [ "$(differing "$E2E_WORK/title.png" "$E2E_WORK/title_elsewhere.png")" -lt 5000 ]
close_on "Escape on the title ends with status 0" Escape
check "the log is written in the Files/ beside the program" log_complete
check "nothing is written in the start folder" [ -z "$(ls -A "$E2E_WORK/elsewhere")" ]
