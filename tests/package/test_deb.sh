#!/usr/bin/env bash
# The Debian package as a player gets it: checked by lintian (no errors, and
# no warning but the explained ones), desktop-file-validate and appstreamcli;
# installed; /usr/games/wenhod started from / by an ordinary user with a fresh
# home: the title shows with the installed data, a Hard round's record lands
# in ~/.local/share/wenhod/, the data tree is untouched; removed, the
# player's files stay. The package, the user and the home are gone afterwards.
#   tests/package/test_deb.sh DEB-FILE BUILD-FOLDER
set -euo pipefail
DEB=$(realpath "${1:?usage: test_deb.sh DEB-FILE BUILD-FOLDER}")
source "$(dirname "$0")/../e2e/lib.sh" "${2:?usage: test_deb.sh DEB-FILE BUILD-FOLDER}"

# lintian warnings left on purpose, each with its reason:
#   opentype-font-wrong-filename: the game loads its three faces under the
#     .ttf names of its data tree; two of them are OpenType (CFF) fonts.
EXPLAINED_WARNINGS=(opentype-font-wrong-filename)

PLAYER=wenhodtest
HOME_DIR=$E2E_WORK/home
DATA=/usr/share/games/wenhod
E2E_FILES=$HOME_DIR/.local/share/wenhod  # where lib.sh's log and score helpers look

# retry COMMAND...: up to 10 s, since another program may hold the lock on
# /etc/passwd (an install making a system user, say).
retry() {
  local tries=0
  until "$@" >/dev/null 2>&1; do
    (( ++tries < 40 )) || return 1
    sleep 0.25
  done
}
no_player() { ! id "$PLAYER" >/dev/null 2>&1 || userdel "$PLAYER"; }
# Keeps the exit status for lib.sh's clean-up, which ends the script with it.
cleanup_machine() {
  local status=$?
  dpkg --purge wenhod >/dev/null 2>&1 || true
  retry no_player || echo "[$E2E_NAME] could not delete the user $PLAYER" >&2
  return "$status"
}
trap 'cleanup_machine && _e2e_cleanup || _e2e_cleanup' EXIT
cleanup_machine  # what an interrupted run may have left

# 1. The three checkers.
lintian --allow-root "$DEB" >"$E2E_WORK/lintian.txt" 2>&1 || true
sed 's/^/  lintian: /' "$E2E_WORK/lintian.txt"
check "lintian: no errors" bash -c "! grep -q '^E:' '$E2E_WORK/lintian.txt'"
unexplained=$(grep '^W:' "$E2E_WORK/lintian.txt" | awk '{ print $3 }' | sort -u |
  grep -vxF -f <(printf '%s\n' "${EXPLAINED_WARNINGS[@]}") || true)
check "lintian: every warning is an explained one" [ -z "$unexplained" ]
dpkg-deb -x "$DEB" "$E2E_WORK/unpacked"
check "desktop-file-validate passes" desktop-file-validate "$E2E_WORK"/unpacked/usr/share/applications/*.desktop
check "appstreamcli validate passes" appstreamcli validate --no-net "$E2E_WORK"/unpacked/usr/share/metainfo/*.xml
# icons_fit: a hicolor icon at each usual size, each as large as its folder says.
icons_fit() {
  local size icon
  for size in 16 32 48 64 128 256; do
    icon=$E2E_WORK/unpacked/usr/share/icons/hicolor/${size}x${size}/apps/wenhod.png
    [[ "$(identify -format '%w %h' "$icon" 2>/dev/null)" == "$size $size" ]] || { log "icon $size: wrong or missing"; return 1; }
  done
}
check "icons in the usual hicolor sizes" icons_fit
check "the copyright file holds every font's licence" \
  [ "$(grep -c 'SIL OPEN FONT LICENSE\|License: OFL-1.1' "$E2E_WORK/unpacked/usr/share/doc/wenhod/copyright")" -ge 3 ]

# 2. Installed like any package.
installed() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends \
    "$DEB" >"$E2E_WORK/apt.txt" 2>&1 || { cat "$E2E_WORK/apt.txt"; return 1; }
}
check "the package installs" installed
check "the program is in /usr/games" test -x /usr/games/wenhod
(cd "$DATA" && find . -printf '%p %s %m\n' | sort && find . -type f -print0 | sort -z | xargs -0 md5sum) \
  >"$E2E_WORK/data.before"

# 3. An ordinary user with a fresh home starts it from /, as a menu would.
check "an ordinary user is made" retry useradd --no-create-home --home-dir "$HOME_DIR" --shell /bin/sh "$PLAYER"
mkdir -p "$HOME_DIR"
chown "$PLAYER:" "$HOME_DIR"
chmod 755 "$E2E_WORK"
E2E_DIR=/ start_program "$E2E_TITLE" setpriv --reuid="$PLAYER" --regid="$PLAYER" --init-groups \
  env -u XDG_DATA_HOME HOME="$HOME_DIR" /usr/games/wenhod
wait_title_screen
check "the title shows, with the installed sounds loaded" log_has "SFX(15)"
key Down Down  # Hard
check "\"Game Over\" after a Hard round" play_until_game_over
sleep 2.5
confirm_name "still running after name entry"
close_on "closed with status 0" Escape
check "the log is in the player's folder, complete" log_complete
check "the settings are in the player's folder" test -s "$E2E_FILES/Setup.ini"
record=$(head -n 1 "$E2E_FILES/239/scores.dat" 2>/dev/null | tr -d '\r')
log "score record: $record"
check "the round's record is in ~/.local/share/wenhod/239/scores.dat" \
  record_has "$record" '$1 ~ /^[0-9]+$/ && $6 == 2 && $8 == 0'
check "the player owns them" [ "$(stat -c %U "$E2E_FILES/239/scores.dat")" == "$PLAYER" ]
(cd "$DATA" && find . -printf '%p %s %m\n' | sort && find . -type f -print0 | sort -z | xargs -0 md5sum) \
  >"$E2E_WORK/data.after"
check "the data tree is untouched" cmp -s "$E2E_WORK/data.before" "$E2E_WORK/data.after"
check "nothing is written in the start folder" [ ! -e /Debug.txt -a ! -e /Setup.ini ]

# 4. Removed: the program and its data go, the player's files stay.
check "the package is removed" bash -c "dpkg --purge wenhod >/dev/null"
check "the program is gone" test ! -e /usr/games/wenhod -a ! -e "$DATA"
check "the player's scores stay" test -s "$E2E_FILES/239/scores.dat"
check "and the settings" test -s "$E2E_FILES/Setup.ini"
log "passed"
