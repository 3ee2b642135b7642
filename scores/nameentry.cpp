// nameentry.cpp — the name entry screen after a one-player round: edits
// PlayerName in place until Enter, Escape, the left mouse button or a pad's
// Start. Where the host has a text field of its own (a page on a phone), it
// shows the name and what is typed there arrives as typed characters; while
// the player holds a pad, an on-screen keyboard types it.
#include "media/media.h"
#include "media/random.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

// Keys that ended the round must not confirm the name at once, and the keys
// that confirm it must not reach the title screen. Polls the live state.
void WaitForRelease() {
  while (PauseHeld() || KeyDown(KEY_ENTER) || MouseDown(1)) Delay(1);
}

// The line under the name: how to type it with the hand in use.
std::string EntryHint() {
  switch (InputHand()) {
    case HAND_TOUCH: return "Type your name, then tap Done";
    case HAND_PAD:
      return "[" + PadName(PAD_BOTTOM) + "] types, [" + PadName(PAD_RIGHT_FACE) + "] deletes, [" + PadName(PAD_START) +
             "] is done";
    default: return "Type your name, then press Return";
  }
}

}  // namespace

// The score file holds one byte per character and uses "|" as its
// separator, so codes above 255 are refused and "|" becomes the look-alike
// broken bar.
bool AddNameCharacter(std::string& name, int code) {
  if (code == '|') code = 0xA6;
  if (code < 32 || code > 255) return false;
  name += static_cast<char>(code);
  return true;
}

void EnterName() {
  FlushKeys();
  WaitForRelease();
  OnScreenKeyboard keys;
  bool keysShown = false;  // the on-screen keyboard was drawn last frame
  for (bool confirmed = false; !confirmed;) {
    const int W = VirtualWidth, H = VirtualHeight;
    ClearScreen();
    DrawStripes(100);

    // One character a frame; the rest wait in the queue.
    AddNameCharacter(PlayerName, GetChar());
    if (KeyHit(KEY_BACKSPACE) > 0 && !PlayerName.empty()) PlayerName.pop_back();
    // The press that brings the keyboard back only shows it.
    const bool byPad = InputHand() == HAND_PAD;
    const bool done = byPad && keysShown && OnScreenKeysByPad(keys, PlayerName);
    keysShown = byPad;

    SetColorAlpha(0, 255, 0);
    SetFont(Fonts[FONT_SUBHEADLINE]);
    DrawTextAligned(W / 2, H / 2 - 100, "Enter Your Name", 1, 1);
    SetFont(Fonts[FONT_HEADLINE]);
    const bool cursorOn = static_cast<uint32_t>(Millisecs()) % 600 < 300;
    DrawTextAligned(W / 2 - TextWidth(PlayerName) / 2, H / 2, PlayerName + (cursorOn ? "_" : " "), 0, 1);
    SetFont(Fonts[FONT_PROMPT]);
    SetColorAlpha(255, 255, 255);
    DrawTextAligned(W / 2, H / 2 + 80, EntryHint(), 1, 1);
    if (byPad) DrawOnScreenKeys(keys, W / 2, H / 2 + 120);

    // Escape confirms like Enter; so does Start of a pad, with no keyboard at hand.
    confirmed = done || KeyHit(KEY_ENTER) > 0 || MouseDown(1) || PauseHeld() || PadPressed(PAD_START);
    TextEntry(!confirmed, PlayerName);  // a phone's keyboard, where the host has one
    FinishFrame(1);
  }
  SeedRnd(Millisecs());
  WaitForRelease();
}
