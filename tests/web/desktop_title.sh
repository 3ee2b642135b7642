#!/usr/bin/env bash
# desktop_title.sh BUILD OUT.png — the desktop game's title screen as the
# window shows it, with the pointer at the top-left corner: the picture the
# browser's title screen is compared with.
source "$(dirname "$0")/../e2e/lib.sh" "$1"
out=$2
start_game
wait_log "Finished Loading"
move_display 0 0
sleep 4  # the splash stays 2.5 s, then the title slides in over 32 frames
capture "$out"
key Escape
wait_exit
log "title captured in $out"
