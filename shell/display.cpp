// display.cpp — display set-up and the common assets: the list of accepted
// display modes, opening the display in the chosen mode and depth, the 4:3 or
// 16:9 drawing area, the fonts, icons, logos and sounds every screen uses, and
// the splash picture shown once at start.
#include <cstdint>

#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

const char* const kDashes = "-=-=-=-=-=-=-=-=-=-=-=-=-=-";
const char* const kCommonFolder = "Common/";  // under the data root: fonts, icons, logos, the badge sound

std::string CommonFile(const char* name) { return DataPath(kCommonFolder + std::string(name)); }

struct FontSpec {
  const char* file;
  int size;
  int factor;  // 0 none, 1 a, 2 b
};

const FontSpec kFonts[14] = {
    {nullptr, 0, 0},
    {"SVBasicManual.ttf", 24, 1},
    {"SVBasicManual.ttf", 16, 2},
    {"SVBasicManual.ttf", 16, 2},
    {"SVBasicManual.ttf", 20, 1},
    {"Blue Highway.ttf", 96, 1},
    {"Blue Highway.ttf", 72, 1},
    {"Blue Highway.ttf", 32, 1},
    {"SVBasicManual.ttf", 32, 1},
    {"SVBasicManual.ttf", 24, 1},
    {"Acknowledge TT BRK.ttf", 112, 0},
    {"Acknowledge TT BRK.ttf", 96, 0},
    {"Acknowledge TT BRK.ttf", 32, 0},
    {"Acknowledge TT BRK.ttf", 20, 0},
};

void LoadFonts() {
  // Small displays get bigger type so it stays readable.
  double a = 1.0, b = 1.0;
  if (BigType()) a = 1.2, b = 1.4;
  if (ScreenWidth < 600) a = 1.5, b = 2.0;
  for (int slot = FONT_MAIN; slot <= FONT_PIXEL_SMALL; ++slot) {
    const FontSpec& f = kFonts[slot];
    const double factor = f.factor == 1 ? a : f.factor == 2 ? b : 1.0;
    if (Fonts[slot] != 0) FreeFont(Fonts[slot]);
    Fonts[slot] = LoadFont(CommonFile(f.file), TruncInt(f.size * factor), SMOOTHFONT);
  }
  SetFont(Fonts[FONT_MAIN]);
}

// A reload replaces the earlier resource rather than leaking it.
int ReloadImage(int old, int fresh) {
  if (old != 0) FreeImage(old);
  return fresh;
}

void DrawSplash() {
  BeginFrame(1);
  ResetDrawState();
  DrawStripes(0);
  SetDrawScale(1.5);
  DrawImage(LogoImage, static_cast<float>(0.4 * VirtualHeight), static_cast<float>(0.3 * VirtualHeight), 0);
  DrawImage(CommunityLogoImage, static_cast<float>(VirtualWidth - 0.4 * VirtualHeight),
            static_cast<float>(0.7 * VirtualHeight), 0);
  SetDrawScale(1);

  Channels[256] = CueSound(BadgeGetSound);
  if (Channels[256] != 0) {
    const double volume = double(Settings[SET_SOUND]) * Settings[SET_MASTER] / 100.0 / 100.0;
    SetChannelVolume(Channels[256], static_cast<float>(volume));
    ResumeChannel(Channels[256]);
  }
  PresentFrame(-1);
  GraphicsReady = true;
}

// The colour depth to ask for: full screen at 32 bits, else 16, else a window.
int ModeDepth(int width, int height, int fullScreen) {
  if (GraphicsModeExists(width, height, 32, 0)) return fullScreen == 1 ? 32 : 0;
  return GraphicsModeExists(width, height, 16, 0) ? 16 : 0;
}

}  // namespace

bool AcceptedMode(int w, int h) {
  if (w <= 0 || h <= 0) return false;
  const int64_t wide = static_cast<int64_t>(w) * 9 / 16;
  const int64_t four = static_cast<int64_t>(w) * 3 / 4;
  // A handheld's 16:10 screen (1280 x 800) shows the 4:3 area between bars.
  const int64_t handheld = static_cast<int64_t>(w) * 10 / 16;
  return h == wide || h == four || h == handheld;
}

bool BigType() {
  const bool handheld = ScreenWidth >= kHandheldWidth && ScreenHeight <= kHandheldHeight;
  return ScreenWidth < 900 || handheld;
}

void ApplyGraphics() {
  // The mode that is open now, to go back to when a new one will not open.
  const int lastWidth = ScreenWidth, lastHeight = ScreenHeight, lastFull = Settings[SET_FULLSCREEN];
  ResolutionCount = 0;
  const int modes = CountGraphicsModes();
  for (int j = 0; j < modes; ++j) {
    const DisplayMode m = GetGraphicsMode(j);
    if (!AcceptedMode(m.width, m.height)) continue;
    bool repeat = false;
    for (int i = 1; i <= ResolutionCount && !repeat; ++i)
      repeat = ResolutionWidths[i] == m.width && ResolutionHeights[i] == m.height;
    if (repeat || ResolutionCount >= 999) continue;
    ++ResolutionCount;
    ResolutionWidths[ResolutionCount] = m.width;
    ResolutionHeights[ResolutionCount] = m.height;
    if (m.width == Settings[SET_WIDTH] && m.height == Settings[SET_HEIGHT]) {
      Settings[SET_RESOLUTION] = ResolutionCount;
      ScreenWidth = m.width;
      ScreenHeight = m.height;
    }
  }
  // A size that is not on offer falls back to the one in use before.
  Settings[SET_WIDTH] = ScreenWidth;
  Settings[SET_HEIGHT] = ScreenHeight;

  WriteLog("");
  WriteLog(kDashes);
  WriteLog("Applying Graphical Settings");
  const bool reopening = GraphicsReady;
  if (reopening) {
    CloseDisplay();
    WriteLog("\tChanged Graphics Mode ingame.");
  }

  switch (Settings[SET_GFXENGINE]) {
    case 0:
      SelectGraphicsDriver("OpenGL");
      WriteLog("\tUsing OpenGL Driver");
      break;
    case 1:
      SelectGraphicsDriver("DX9");
      WriteLog("\tUsing DirectX 9 Driver");
      break;
    case 2:
      SelectGraphicsDriver("DX7");
      WriteLog("\tUsing DirectX 7 Driver");
      break;
    default: break;
  }

  int depth = ModeDepth(ScreenWidth, ScreenHeight, Settings[SET_FULLSCREEN]);
  WriteLog("\tResolution : " + Str(ScreenWidth) + "x" + Str(ScreenHeight) + "," + Str(depth));

  bool open = OpenDisplay(ScreenWidth, ScreenHeight, depth, 60, 0);
  if (!open && depth != 0) {
    // Full screen refused: a window of the same size is the next best thing.
    ReportError("full screen refused, trying a window");
    open = OpenDisplay(ScreenWidth, ScreenHeight, 0, 60, 0);
  }
  if (!open && reopening && (ScreenWidth != lastWidth || ScreenHeight != lastHeight || depth != 0)) {
    // Apply asked for a mode this machine will not open: the one that worked
    // until now is kept, and is what the setup file will say.
    ReportError("going back to " + Str(lastWidth) + "x" + Str(lastHeight));
    ScreenWidth = Settings[SET_WIDTH] = lastWidth;
    ScreenHeight = Settings[SET_HEIGHT] = lastHeight;
    Settings[SET_FULLSCREEN] = lastFull;
    for (int i = 1; i <= ResolutionCount; ++i)
      if (ResolutionWidths[i] == lastWidth && ResolutionHeights[i] == lastHeight) Settings[SET_RESOLUTION] = i;
    depth = ModeDepth(lastWidth, lastHeight, lastFull);
    open = OpenDisplay(lastWidth, lastHeight, depth, 60, 0) ||
           (depth != 0 && OpenDisplay(lastWidth, lastHeight, 0, 60, 0));
  }
  if (!open) {
    // The media layer has said why. Without a display the program cannot go
    // on, and ending says so with its status.
    ReportError("could not open the display");
    if (reopening) CloseDown(1);  // saves what this run has gathered
    // Nothing was loaded yet, so nothing may be saved over the player's files.
    CloseFile(LogFile);
    LogFile = nullptr;
    EndProcess(1);
  }

  Settings[SET_WIDESCREEN] = 0;
  VirtualWidth = 1280;
  VirtualHeight = 960;
  if (static_cast<int64_t>(ScreenWidth) * 9 / 16 == ScreenHeight) {
    Settings[SET_WIDESCREEN] = 1;
    VirtualWidth = 1600;
    VirtualHeight = 900;
    WriteLog("\tWidescreen mode!");
  }
  SetVirtualResolution(static_cast<float>(VirtualWidth), static_cast<float>(VirtualHeight));
  KeepPictureShape(true);  // a 16:10 screen is not stretched

  LoadCommonAssets();
  EngineTest(60, 2);  // sizes the sprite budget before the game loads its images
  if (Game.LoadImages) Game.LoadImages();
  WriteLog(kDashes);
}

void LoadCommonAssets() {
  AutoMidHandle(true);

  WriteLog("");
  WriteLog("Loading : Common Objects");
  WriteLog("");
  WriteLog("Switching to Default Folder");
  WriteLog("");

  WriteLog("\tDefault Fonts");
  LoadFonts();
  WriteLog("\tDefault Icons");
  IconsImage = ReloadImage(IconsImage, LoadAnimImage(CommonFile("icons.png"), 16, 16, 0, 64, 3));
  SharpIconsImage = ReloadImage(SharpIconsImage, LoadAnimImage(CommonFile("icons.png"), 16, 16, 0, 64, 1));
  WriteLog("\tLogos");
  LogoImage = ReloadImage(LogoImage, LoadImage(CommonFile("logo.png"), 3));
  CommunityLogoImage = ReloadImage(CommunityLogoImage, LoadImage(CommonFile("Brindle.png"), 3));
  WriteLog("\tBadgeGet");
  if (BadgeGetSound != 0) FreeSound(BadgeGetSound);
  BadgeGetSound = LoadSound(CommonFile("badgeget.wav"), 0);

  if (!GraphicsReady) DrawSplash();

  WriteLog("");
  WriteLog("Switching to Game Folder");

  BadgesImage = ReloadImage(BadgesImage, LoadAnimImage(GameFile("badges.png"), 64, 64, 0, 16, 3));
  WriteLog("");
  WriteLog("Loading Sound effects");
  for (int k = 1; k <= 200; ++k) {
    const std::string name = GameFile(ZeroPad(k, 3) + ".wav");
    if (FileType(name) != 1) continue;
    WriteLog("\tSFX(" + Str(k) + ")");
    if (Sounds[k] != 0) FreeSound(Sounds[k]);
    Sounds[k] = LoadSound(name, 0);
  }
  WriteLog("Sounds loaded");
  WriteLog("");

  LoadScores();
}
