#!/usr/bin/env bash
# test_wine_hang.sh — under WENHOD_WINE_TIMEOUT, a Windows program that hangs
# is ended with its wineserver, and the next program starts at once. Ends
# the prefix's wineserver: run it while no other Wine program runs.
set -uo pipefail
WINE=$(cd "$(dirname "$0")/../../win" && pwd)/wine.sh
fail() { echo "[test_wine_hang] FAILED: $*"; exit 1; }

started=$SECONDS
rc=0
WENHOD_WINE_TIMEOUT=3 "$WINE" cmd /c "ping -n 60 127.0.0.1" >/dev/null 2>&1 || rc=$?
(( rc == 124 )) || fail "a program pinging for a minute ended with status $rc, not as timed out (124)"
(( SECONDS - started < 30 )) || fail "ending it took $(( SECONDS - started )) s"
answer=$("$WINE" cmd /c echo alive 2>/dev/null | tr -d '\r')
[[ $answer == alive ]] || fail "the next program answered '$answer'"
echo "[test_wine_hang] ok: a hung program ended after $(( SECONDS - started )) s; the next one ran"
