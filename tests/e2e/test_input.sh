#!/usr/bin/env bash
# Real X keyboard and mouse events through the media layer, read by the input
# probe: presses are counted once however long they are held and even when
# they fall between two frames, typed text arrives as characters, auto-repeat
# adds characters but no presses, and the pointer reads in virtual units.
source "$(dirname "$0")/lib.sh" "$1"

OUT=$E2E_WORK/probe.txt
# start_probe: the probe's window is up and it has said it is ready.
start_probe() {
  start_program 'Input Probe' "$E2E_BUILD/tests/input_probe" "$OUT"
  wait_until 5 grep -qsx ready "$OUT" || true
}
start_probe
check "probe is ready" grep -qx ready "$OUT"

# last_line PREFIX: the newest probe line starting with PREFIX.
last_line() { grep "^$1" "$OUT" | tail -n 1 || true; }
# settle: give the probe a few frames to read what was sent.
settle() { sleep 0.3; }

# A held key is one press.
key_down z
sleep 0.5
key_up z
settle
check "holding Z half a second counts one press" [ "$(last_line 'key 90 ')" == "key 90 1" ]

# Brief taps, most of them pressed and released between two frames.
tap z z z z z
settle
check "five quick taps of Z count five presses" [ "$(last_line 'key 90 ')" == "key 90 6" ]
key Return Left space
settle
check "Return, Left and Space each count one press" \
  [ "$(last_line 'key 13 ') / $(last_line 'key 37 ') / $(last_line 'key 32 ')" == \
    "key 13 1 / key 37 1 / key 32 1" ]

# Typed text, shifted letters and a digit included, after what the keys
# above typed.
before=$(last_line 'text ')
type_text 'Hello 7'
settle
check "typed text arrives as characters" [ "$(last_line 'text ')" == "${before}Hello 7" ]

# With auto-repeat on, a held key repeats its character but is still one press.
xset r on
xset r rate 200 20
key_down a
sleep 1
key_up a
xset r off
settle
typed=$(last_line 'text ')
repeats=${typed#"${before}Hello 7"}
log "holding A with auto-repeat typed '$repeats'"
check "auto-repeat types the character again" [ "${#repeats}" -ge 5 ]
check "auto-repeat adds no presses" [ "$(last_line 'key 65 ')" == "key 65 1" ]
check "only a's were typed" [ -z "${repeats//a/}" ]

# The pointer, in the 1280 x 960 drawing area of the 800 x 600 window.
check "window is 800 x 600" window_is 800 600
# pointer_reads X Y VX VY: the pointer at display (X, Y) reads virtual (VX, VY).
pointer_reads() {
  move_display "$1" "$2"
  settle
  check "display ($1,$2) reads virtual ($3,$4)" [ "$(last_line mouse)" == "mouse $3 $4" ]
}
pointer_reads 200 450 320 720
pointer_reads 400 300 640 480
pointer_reads 0 0 0 0

# Buttons: X numbers the right button 3, the media layer 2.
click_display 100 100 1
click_display 100 100 1
click_display 100 100 3
settle
check "two left clicks count two" [ "$(last_line 'click 1 ')" == "click 1 2" ]
check "the right button is button 2" [ "$(last_line 'click 2 ')" == "click 2 1" ]
check "no middle click was seen" [ -z "$(last_line 'click 3 ')" ]

# Escape ends it cleanly.
close_on "probe ends with status 0 on Escape" Escape 10
check "probe said bye" [ "$(tail -n 1 "$OUT")" == "bye" ]

# The window's close button reaches the media layer as a close request.
start_probe
close_window "probe ends with status 0 on a close request" 10
check "probe saw the close request" [ "$(tail -n 1 "$OUT")" == "bye" ]
