#!/usr/bin/env bash
# Everything by pad on a handheld's screen: the game full screen at 1280 x 800
# on a screen of that size, played with an SDL virtual pad alone (pad_game:
# the game with a pad worked from its standard input), no key, click or
# touch. A Medium round to "Game Over", a three-letter name typed on the
# on-screen keyboard, that record's replay watched from the score card, the
# music volume lowered in the settings panel, and B held to leave. The
# picture fits the screen whole; the smallest letters on the title, the round,
# the settings panel and name entry are measured on screenshots.
E2E_SCREEN=1280x800x24
source "$(dirname "$0")/lib.sh" "$1"

scores=$E2E_FILES/239/scores.dat
setup=$E2E_FILES/Setup.ini
# The 4:3 drawing area on 16:10: 1067 x 800 pixels from x = 106.
PIC_X=106 PIC_W=1067

printf '[Graphics]\r\nFullscreen = True\r\nWidth = 1280\r\nHeight = 800\r\n' >"$setup"
mkfifo "$E2E_WORK/pad"
exec 3<>"$E2E_WORK/pad"  # held open both ways: the game never sees its input end

# pad COMMAND: sent, and waited for (pad_game adds a line to $acks after each).
acks=$E2E_WORK/pad.done sent=0
acked() { [[ -f $acks ]] && (( $(wc -l <"$acks") >= sent )); }
pad() {
  echo "$*" >&3
  sent=$((sent + 1))
  wait_until 60 acked || fail "the pad never did: $*"
}
# press BUTTON...: each held for a few of the game's frames and let go as
# long, however slowly a busy machine draws them.
press() { pad tap "$@"; }
shot() { import -window root "$E2E_WORK/$1.png"; }

# ink_height FILE X Y W H CONDITION: rows of the box (display pixels) from
# the first to the last holding a pixel that meets the awk CONDITION on r,
# g, b; 0 when none does.
ink_height() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- |
    sed -nE 's/^[0-9]+,([0-9]+): *\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3 \4/p' |
    awk "{ y = \$1; r = \$2; g = \$3; b = \$4 } $6 { if (n++ == 0 || y < lo) lo = y; if (y > hi) hi = y }
         END { print n ? hi - lo + 1 : 0 }"
}

# letters SCREEN FILE CAPITAL-BOX SMALL-BOX CONDITION: measures a capital
# letter and small letters without ascenders or descenders (each box "X Y W
# H" around them alone), prints the figures and holds them to at least 9
# pixels, the capital to 12.
letters() {
  local capital small
  # shellcheck disable=SC2086
  capital=$(ink_height "$2" $3 "$5")
  # shellcheck disable=SC2086
  small=$(ink_height "$2" $4 "$5")
  echo "figure: smallest letters on $1 at 1280x800: capitals $capital px, small letters $small px"
  check "$1: letters at least 9 pixels tall, capitals 12" test "$small" -ge 9 -a "$capital" -ge 12
}

# The pixels of a box (display pixels) meeting an awk condition.
count_box() { count_pixels "$1" "$4x$5+$2+$3" "$6"; }

E2E_STDIN=$E2E_WORK/pad launch "$E2E_BUILD/tests/pad_game" "$acks"
wait_window "$E2E_TITLE"
wait_log "Finished Loading"
wait_pixel 300 2 0 50 101 6 60  # the title's sky, right of the bar
check "full screen at 1280x800" window_is 1280 800
pad attach
pad wait 10
press y  # a button with no use on the title: the pad is now the hand
pad wait 5
shot title
check "the picture fits whole: black bars either side, sky at its top and grass at its bottom edge" \
  test "$(count_box "$E2E_WORK/title.png" 0 0 "$PIC_X" 800 'r + g + b > 0')" -eq 0 -a \
  "$(count_box "$E2E_WORK/title.png" $((PIC_X + PIC_W)) 0 $((1280 - PIC_X - PIC_W)) 800 'r + g + b > 0')" -eq 0 -a \
  "$(count_box "$E2E_WORK/title.png" "$PIC_X" 0 "$PIC_W" 1 'b > 90 && r < 20')" -gt 1000 -a \
  "$(count_box "$E2E_WORK/title.png" "$PIC_X" 799 "$PIC_W" 1 'g > 90 && b < 90')" -gt 100
# "Press [Back] for settings ...": its P, and "ress".
letters "the title" "$E2E_WORK/title.png" "109 0 11 26" "120 0 30 26" 'r > 90 && g > 90'

log "Medium, then a round with A held"
press ddown
pad down a
sleep 6
shot round
check "the round ended with Game Over" wait_game_over 480
pad up a
# "Score : ...": its S, and "core".
letters "a round" "$E2E_WORK/round.png" "223 0 13 26" "236 0 40 26" 'r > 90 && g > 120'

# "Enter Your Name", in green.
name_prompt() { shot entry && (( $(count_box "$E2E_WORK/entry.png" 340 270 600 80 'g > 200 && r < 60 && b < 60') > 300 )); }
wait_until 30 name_prompt || fail "no name entry after the round"
pad wait 10
shot entry
check "name entry shows the on-screen keyboard, A lit" \
  test "$(count_box "$E2E_WORK/entry.png" 344 548 50 38 'r > 220 && g > 220 && b < 60')" -gt 800
# The hint under the name: the A of "[A] types", and the "es" of "types".
letters "name entry" "$E2E_WORK/entry.png" "396 452 18 30" "483 452 30 30" 'r > 180 && g > 180 && b > 180'
press b b b b b b                                        # "Player" deleted
press ddown dright dright dright dright dright a         # P
press dup dleft dleft dleft dleft dleft a                # A
press dright dright dright a                             # D
press start
wait_until 10 grep -qa '|PAD|' "$scores" || fail "scores.dat never held PAD: $(tr -d '\r' <"$scores" | head -n 1)"
record=$(tr -d '\r' <"$scores" | head -n 1)
log "record: $record"
check "the record typed on the on-screen keyboard: PAD, Medium" record_has "$record" '$2 == "PAD" && $6 == 1'

pad wait 40  # the title slides in again
press rb     # the newest round on the card
press x
wait_log "Watching replay"
check "X watched that record's replay" log_has "$(printf '%s' "$record" | cut -d'|' -f4)-$(printf '%s' "$record" | cut -d'|' -f1)-"
pad wait 60
press a   # a start control ends it
wait_log "The replay was stopped"

pad wait 40
press back
pad wait 15  # the panel comes to rest
shot settings
# "Resolution": its R, and "eso".
letters "the settings panel" "$E2E_WORK/settings.png" "155 80 11 25" "166 80 25 25" 'g > 120 && r < 160 && b < 160'
press dright dright dright dright dright dright dright dright  # over both players' cells to Master
press ddown ddown dleft dleft dleft                             # Music, 50 to 35
press back
check "Setup.ini holds the music volume lowered by the pad" wait_until 10 grep -qa 'Music = 35' "$setup"

log "B held on the title"
pad down b
pad wait 20
shot leaving
check "holding B counts down in yellow" \
  test "$(count_box "$E2E_WORK/leaving.png" 300 420 680 100 'r > 220 && g > 220 && b < 60')" -gt 300
wait_exit 5
check "B held a second left the game cleanly" test "$EXIT_STATUS" -eq 0
check "the log ends with the farewell" log_complete
