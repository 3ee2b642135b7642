#!/usr/bin/env bash
# The real program is heard: the splash jingle comes out of the default
# OpenAL output (OpenAL Soft's wave writer) and, with "AudioDriver =
# FreeAudio" in Setup.ini, out of our own mixer through SDL's disk driver.
# Without a sound device the program runs on silently.
source "$(dirname "$0")/lib.sh" "$1"

# rms FILE [SOX-INPUT-OPTIONS...]: the RMS amplitude (0..1) of the file.
rms() {
  local file=$1
  shift
  sox "$@" "$file" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'
}

# audible FILE [SOX-INPUT-OPTIONS...]: louder than a whisper overall.
audible() {
  local level
  [[ -s "$1" ]] || { echo "$1 is empty or missing" >&2; return 1; }
  level=$(rms "$@")
  echo "RMS of $(basename "$1"): $level" >&2
  awk -v l="${level:-0}" 'BEGIN { exit !(l > 0.003) }'
}

# run_to_title_and_quit: start-up, the splash with its jingle, then Escape
# on the title screen (the splash stays up 2.5 s after loading).
run_to_title_and_quit() {
  start_game
  sleep 5
  close_with "program ends with status 0" Escape
}

# 1. The default choice is OpenAL.
capture_sound "$E2E_WORK/openal.wav"
run_to_title_and_quit
check "Setup.ini names OpenAL" grep -q '^AudioDriver = OpenAL' <(tr -d '\r' <"$E2E_FILES/Setup.ini")
check "OpenAL output carries the jingle" audible "$E2E_WORK/openal.wav"

# 2. FreeAudio, named in the settings file.
rm -f "$E2E_FILES/Debug.txt"
sed -i 's/^AudioDriver = OpenAL/AudioDriver = FreeAudio/' "$E2E_FILES/Setup.ini"
E2E_ENV=(SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$E2E_WORK/free.raw")
run_to_title_and_quit
check "Setup.ini keeps FreeAudio" grep -q '^AudioDriver = FreeAudio' <(tr -d '\r' <"$E2E_FILES/Setup.ini")
check "FreeAudio output carries the jingle" \
  audible "$E2E_WORK/free.raw" -t raw -r 44100 -e signed -b 16 -c 2

# 3. No sound device at all, and no setting: both outputs fail to open and
# the program runs on silently.
rm -f "$E2E_FILES/Debug.txt" "$E2E_FILES/Setup.ini"
E2E_ENV=(ALSOFT_DRIVERS=none SDL_AUDIODRIVER=none)
run_to_title_and_quit
check "silent run still says farewell" log_complete
