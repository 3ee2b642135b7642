#!/usr/bin/env bash
# The real program in a window: its title, the title screen it draws, and the
# two ways out — Escape on the title screen and the window's close button —
# both ending with status 0 after writing the log, settings and scores.
source "$(dirname "$0")/lib.sh" "$1"

# check_files_written: what the closing sequence leaves behind.
check_files_written() {
  check "Debug.txt opens with the banner" \
    [ "$(head -n 1 "$E2E_FILES/Debug.txt" | tr -d '\r')" == "Marrowby's Brackenfold Engine" ]
  check "Debug.txt ends with the farewell" log_complete
  check "Debug.txt lines end with CR LF" grep -q $'Loading\r$' "$E2E_FILES/Debug.txt"
  check "Setup.ini was written" test -s "$E2E_FILES/Setup.ini"
  check "scores.dat was written" test -f "$E2E_FILES/239/scores.dat"
}

# 1. Escape on the title screen.
start_game
check "window title" [ "$(xdotool getwindowname "$WID")" == "$E2E_TITLE" ]
check "window opens at 800 x 600 by default" window_is 800 600
wait_title_screen

# The title screen's sky: the top rows are deep blue (green half of blue).
capture "$E2E_WORK/title.png"
check "capture is the window" [ "$(image_size "$E2E_WORK/title.png")" == "800 600" ]
check "top-left sky is blue" pixel_near "$E2E_WORK/title.png" 1 1 0 50 101 6
check "sky a little lower is blue too" pixel_near "$E2E_WORK/title.png" 1 40 0 53 107 6

close_with "Escape on the title screen ends with status 0" Escape
check_files_written
check "log names the requested resolution" log_has $'\tRequested Resolution : 800x600'
check "log reports the end of loading" log_has "Finished Loading"
check "log reports closing" log_has "Closing Up"

# 2. The close button, with the settings of the first run in place.
rm -f "$E2E_FILES/Debug.txt"
start_game
wait_title_screen
close_window "close request ends with status 0"
check_files_written
