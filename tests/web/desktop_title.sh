#!/usr/bin/env bash
# desktop_title.sh BUILD OUT.png — the desktop game's title screen as the
# window shows it, with the pointer at the top-left corner: the picture the
# browser's title screen is compared with.
source "$(dirname "$0")/../e2e/lib.sh" "$1"
out=$2
t0=$(date +%s%N)
start_game
wait_log "Finished Loading"
t1=$(date +%s%N)
move_display 0 0
sleep 4  # the splash stays 2.5 s, then the title slides in over 32 frames
capture "$out"
key Escape
wait_exit
log "title captured in $out"
# Figures beside the browser's: start to the end of loading (the title
# follows once the splash has been up 2.5 s), and the engine test's result.
echo "figure: desktop start to the end of loading: $(( (t1 - t0) / 1000000 )) ms"
echo "figure: desktop engine test, main sprites: $(tr -d '\r' <"$E2E_FILES/Debug.txt" | sed -n 's/^\tMain sprites : //p')"
