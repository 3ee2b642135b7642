// screenshot.cpp — F11: the current picture saved as a PNG under the player root,
// named after the game and the moment, with an on-screen notice.
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

// Characters that some file systems refuse or read as paths, in the order removed.
const char* const UNSAFE_CHARACTERS[] = {"#", "'", ",", "`", ".", "\\", "/", ":", "|", "*", "?", "\""};

// The first name of this moment not yet taken: a second shot in the same
// second gets "_2", "_3", ... inside the parentheses rather than replacing
// the first. Empty when every candidate is taken.
std::string FreeScreenshotName(const std::string& stem) {
  std::string name = stem + ").png";
  for (int n = 2; FileType(PlayerPath(name)) != 0; ++n) {
    if (n > 999) return "";
    name = stem + "_" + Str(n) + ").png";
  }
  return name;
}

}  // namespace

std::string CleanFileName(const std::string& text) {
  std::string out = text;
  for (const char* unsafe : UNSAFE_CHARACTERS) out = Replace(out, unsafe, "");
  return out;
}

std::string ScreenshotName() {
  return CleanFileName(GameTitle + " " + GameSubtitle + " (Screenshot_" + CurrentDate() + "_" + CurrentTime() + ")") +
         ".png";
}

void TakeScreenshot() {
  WriteLog("");
  WriteLog("\tScreenshot");
  WriteLog("\tGrabbing Screenshot");
  // Display pixels, not virtual ones; taken before the panel, overlay and
  // pointer are drawn on this frame.
  const Pixmap shot = GrabPixmap(0, 0, ScreenWidth, ScreenHeight);

  ResetDrawState();
  SetFont(Fonts[FONT_HEADLINE]);
  DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 - 30, "Saving Screenshot", 1, 1);
  SetFont(Fonts[FONT_SUBHEADLINE]);
  DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 + 30, "Sometimes, this takes a while!", 1, 1);
  PresentFrame(-1);

  // The name is cleaned before ".png" is added, so the extension keeps its dot.
  const std::string name = ScreenshotName();
  const std::string stem = name.substr(0, name.size() - 5);  // without ").png"
  const std::string file = FreeScreenshotName(stem);
  WriteLog("\tSaving Screenshot : " + (file.empty() ? name : file));

  const int saved = file.empty() ? 0 : SavePixmapPNG(shot, PlayerPath(file), 9);
  WriteLog("\tSaved Screenshot " + Str(saved));
  WriteLog("");

  ShowMessage(saved == 1 ? "Saved Screenshot" : "Screenshot Not Saved", 1);
}
