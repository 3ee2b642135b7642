#!/usr/bin/env bash
# The settings panel in the real program: Tab slides it over the title
# screen, a click on the Master slider sets the volume, resting the pointer
# on player 1's jump cell while holding Q rebinds it, and Tab closes the
# panel and saves both to Setup.ini.
source "$(dirname "$0")/lib.sh" "$1"

setup_has() { grep -qs "^$1"$'\r$' "$E2E_FILES/Setup.ini"; }
# wait_setup LINE: Setup.ini gets that line (it is written on every Tab).
wait_setup() { wait_until 5 setup_has "$1"; }

start_game
check "the window opens at 800 x 600" window_is 800 600
wait_title_screen 790 5 1  # the pointer clear of every cell and slider
capture "$E2E_WORK/before.png"

key Tab
sleep 0.6  # ten frames of slide, with room to spare
capture "$E2E_WORK/open.png"
changed=$(differing "$E2E_WORK/before.png" "$E2E_WORK/open.png")
log "pixels changed by the panel: $changed"
check "the panel covers the top of the screen" [ "$changed" -gt 10000 ]
# The light green edge under the panel at rest (virtual y 318..320).
check "the panel's edge rests at its place" pixel_near "$E2E_WORK/open.png" 400 199 180 255 180 40
check "opening the panel writes Setup.ini" wait_setup "Master = 50"

# Master volume: the bar starts at virtual x 998, so x 1080 is 82.
click_virtual 1080 98
# Player 1's jump cell at virtual (440, 80), 48 square: rest on it, hold Q.
move_display 288 63
sleep 0.1
key_down q
sleep 0.3
key_up q
move_display 790 5
sleep 0.1
capture "$E2E_WORK/edited.png"

key Tab
check "closing the panel saves the volume" wait_setup "Master = 82"
check "and the new jump key of player 1" setup_has "Key=10,81"
check "player 1's other keys are kept" setup_has "Key=0,38"
check "player 2's jump is untouched" setup_has "Key=30,74"
sleep 0.6
capture "$E2E_WORK/closed.png"
check "the panel slides away" [ "$(differing "$E2E_WORK/open.png" "$E2E_WORK/closed.png")" -gt 10000 ]

close_with "Escape still ends the program with status 0" Escape
check "the closing sequence keeps the new binding" setup_has "Key=10,81"
check "and the volume" setup_has "Master = 82"
