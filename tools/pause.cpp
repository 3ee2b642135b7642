// pause.cpp — the pause menu: a frozen, spinning picture of the round behind
// a two-item menu ("Continue", "Quit") among scattered copies of the window
// title. Run by FinishFrame while a round is in play; answers PAUSE_CONTINUE or
// PAUSE_QUIT.
#include "media/random.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

constexpr int32_t TITLE_SEED = 37171650;  // same scatter every frame, every pause

// True when the action is held by any of the four players.
bool AnyPlayer(int action) {
  for (int player = 1; player <= 4; ++player)
    if (ControlDown(action, player)) return true;
  return false;
}

bool UpHeld() { return AnyPlayer(ACT_UP) || KeyDown(KEY_UP); }
bool DownHeld() { return AnyPlayer(ACT_DOWN) || KeyDown(KEY_DOWN); }
bool ConfirmHeld() { return AnyPlayer(ACT_BUTTON1) || AnyPlayer(ACT_BUTTON2) || KeyDown(KEY_SPACE); }

// One long press must not resume and pause again.
void WaitForEscapeRelease() {
  while (PauseHeld()) Delay(1);
}

// Scattered titles first to last; the generator runs on from call to call.
void DrawScatteredTitles(int first, int last, double spin) {
  for (int i = first; i <= last; ++i) {
    SetDrawRotation(spin + 2.0 * i);
    // The draw order fixes which number lands where: blue, green, red, y, x.
    const int blue = Rand(1, 5) * 50;
    const int green = Rand(1, 5) * 50;
    const int red = Rand(1, 5) * 50;
    SetColorAlpha(red, green, blue, 0.4);
    const int y = Rand(0, VirtualHeight);
    const int x = Rand(0, VirtualWidth);
    DrawTextAligned(x, y, WindowTitle, 1, 1);
  }
}

// Draws one item, highlighted and indented when selected; a fresh confirm
// on the selected item answers `answer`.
void MenuItem(const std::string& text, int item, int selection, int answer, int& y, int& lock, int& result,
              bool confirm) {
  y += 60;
  SetColorAlpha(255, 255, 255, 1);
  int indent = 0;
  if (selection == item) {
    SetColorAlpha(255, 255, 0, 1);
    indent = 20;
    if (confirm && lock == 0) {
      lock = 1;
      result = answer;
    }
  }
  DrawTextAligned(TruncInt(VirtualWidth * 0.1 + indent + 10), y, text, 0, 0);
}

// The frozen picture lives exactly as long as the menu, however it is left.
struct FrozenPicture {
  int image = 0;
  FrozenPicture() {
    AutoMidHandle(true);  // it turns about its centre
    image = CreateImage(ScreenWidth, ScreenHeight, 1, DYNAMICIMAGE);
    GrabImage(image, 0, 0);
  }
  ~FrozenPicture() { FreeImage(image); }
  FrozenPicture(const FrozenPicture&) = delete;
  FrozenPicture& operator=(const FrozenPicture&) = delete;
};

}  // namespace

int PauseMenu() {
  int result = PAUSE_NONE;
  int selection = 0;
  int lock = 1;  // a button held on entry must be let go before it counts
  // The menu shows at once, the Escape that opened it still held; that
  // Escape must be let go before one answers the menu.
  bool pauseLatch = true;
  double a1 = 0, a2 = 0;
  {
    FrozenPicture frozen;
    while (result == PAUSE_NONE) {
      BeginFrame(1);
      ResetDrawState();
      SetBlendMode(BLENDMODE_ALPHA);

      a2 += 0.4;
      const double scaleX = SinDeg(a2) * 0.5 + 1.5;
      const double scaleY = SinDeg(a2 * 1.3) * 0.5 + 1.5;
      SetDrawScale(scaleX, scaleY);
      a1 += 0.1;
      SetDrawRotation(a1);

      SetFont(Fonts[FONT_PROMPT]);
      DrawImage(frozen.image, static_cast<float>(VirtualWidth / 2), static_cast<float>(VirtualHeight / 2));

      SeedRnd(TITLE_SEED);
      DrawScatteredTitles(1, 140, a1);

      SetDrawRotation(0);
      SetDrawScale(1);
      SetColorAlpha(0, 0, 0, 0.5);
      DrawRect(static_cast<float>(VirtualWidth * 0.1), static_cast<float>(VirtualHeight * 0.375),
               static_cast<float>(VirtualWidth / 6), static_cast<float>(VirtualHeight / 4));

      const bool up = UpHeld(), down = DownHeld(), confirm = ConfirmHeld();
      if (up && lock == 0) {
        --selection;
        lock = 1;
      }
      if (down && lock == 0) {
        ++selection;
        lock = 1;
      }
      if (!up && !down && !confirm) lock = 0;

      int y = TruncInt(VirtualHeight * 0.375);
      SetColorAlpha(255, 255, 255);
      if (selection < 0) selection = 1;
      MenuItem("Continue", 0, selection, PAUSE_CONTINUE, y, lock, result, confirm);
      MenuItem("Quit", 1, selection, PAUSE_QUIT, y, lock, result, confirm);
      // Wrapped only after drawing: moving down from "Quit" shows one frame
      // with nothing highlighted.
      if (selection > 1) selection = 0;

      SetDrawScale(scaleX, scaleY);
      DrawScatteredTitles(141, 180, a1);

      FinishFrame(1);

      const bool pause = PauseHeld();
      if (pause && !pauseLatch) result = selection == 1 ? PAUSE_QUIT : PAUSE_CONTINUE;
      if (!pause) pauseLatch = false;
    }
  }

  SeedRnd(Millisecs());  // the round's randomness must not stay on the fixed seed
  WaitForEscapeRelease();
  return result;
}
