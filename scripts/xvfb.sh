# Sourced by test.sh and the end-to-end tests: starts a private virtual X
# display. StartXvfb sets DISPLAY and XVFB_PID; StopXvfb ends that server.
# -noreset keeps the server alive while no client is connected, or input
# sent before the program has opened its window is lost.

# StartXvfb [SCREEN]: SCREEN is WxHxDEPTH, 1280x960x24 unless given.
StartXvfb() {
  local fdfile tries=0
  fdfile=$(mktemp)
  # -displayfd: the server picks a free display number itself and writes it.
  Xvfb -displayfd 9 -screen 0 "${1:-1280x960x24}" -noreset -nolisten tcp 9>"$fdfile" \
    >/dev/null 2>&1 &
  XVFB_PID=$!
  while [[ ! -s "$fdfile" ]]; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null || (( ++tries > 200 )); then
      echo "Xvfb did not start" >&2
      rm -f "$fdfile"
      return 1
    fi
    sleep 0.05
  done
  DISPLAY=":$(tr -dc 0-9 <"$fdfile")"
  export DISPLAY
  rm -f "$fdfile"
  # Keys are held for real in the tests; auto-repeat would add presses.
  xset r off 2>/dev/null || true
}

StopXvfb() {
  if [[ -n "${XVFB_PID:-}" ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
