// nameentry.cpp — the name entry screen after a one-player round: edits
// PlayerName in place until Enter, Escape or the left mouse button. Where
// the host has a text field of its own (a page on a phone), it shows the
// name and what is typed there arrives as typed characters.
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

// The byte a typed character adds to the name, or 0 for none: every code from
// 32 up. The score file holds one byte per character and uses "|" as its
// separator, so codes above 255 are refused and "|" becomes the look-alike
// broken bar.
char NameByte(int code) {
  if (code == '|') return static_cast<char>(0xA6);
  if (code < 32 || code > 255) return 0;
  return static_cast<char>(code);
}

}  // namespace

void EnterName() {
  FlushKeys();
  WaitForRelease();
  for (bool confirmed = false; !confirmed;) {
    const int W = VirtualWidth, H = VirtualHeight;
    ClearScreen();
    DrawStripes(100);

    // One character a frame; the rest wait in the queue.
    const char byte = NameByte(GetChar());
    if (byte != 0) PlayerName += byte;
    if (KeyHit(KEY_BACKSPACE) > 0 && !PlayerName.empty()) PlayerName.pop_back();

    SetColorAlpha(0, 255, 0);
    SetFont(Fonts[FONT_SUBHEADLINE]);
    DrawTextAligned(W / 2, H / 2 - 100, "Enter Your Name", 1, 1);
    SetFont(Fonts[FONT_HEADLINE]);
    const bool cursorOn = static_cast<uint32_t>(Millisecs()) % 600 < 300;
    DrawTextAligned(W / 2 - TextWidth(PlayerName) / 2, H / 2, PlayerName + (cursorOn ? "_" : " "), 0, 1);

    // Escape confirms like Enter; so do Start of a pad, with no keyboard at hand.
    confirmed = KeyHit(KEY_ENTER) > 0 || MouseDown(1) || PauseHeld();
    TextEntry(!confirmed, PlayerName);  // a phone's keyboard, where the host has one
    FinishFrame(1);
  }
  SeedRnd(Millisecs());
  WaitForRelease();
}
