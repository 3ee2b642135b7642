// shell.h — the application shell: start-up, title screen and closing, the
// setup file, display set-up and common assets, the frame service and the
// drawing helpers every screen uses. Every screen is a loop of frames:
//
//     BeginFrame(1); ...draw the screen...; FinishFrame(showPointer);
#pragma once

#include <string>

#include "shell/globals.h"

// Start-up, title screen, closing (shell/start.cpp, shell/title.cpp).
void StartUp();                               // the start sequence, up to the title screen
[[noreturn]] void TitleMenu();                // the title screen loop; leaves through CloseDown
[[noreturn]] void CloseDown(int status = 0);  // save settings and scores, log, close, end the process
void WriteLog(const std::string& text);       // one line to Debug.txt (CR LF)
void FillCredits();

// Font slots (loaded by shell/display.cpp), by what they are used for.
enum FontSlot {
  FONT_MAIN = 1,         // the current font between screens; frame rate, score card name
  FONT_PANEL = 2,        // settings panel, overlay lines
  FONT_SMALL = 3,        // messages, best list, credits
  FONT_CARD = 4,         // score card details
  FONT_HEADLINE = 5,     // game title, round result, typed name, screenshot notice
  FONT_SUBHEADLINE = 6,  // "Enter Your Name", the screenshot's second line
  FONT_PROMPT = 7,       // start prompt, pause menu, reminders
  FONT_MENU = 8,         // the difficulty menu
  FONT_HUD = 9,          // the game's head-up display and score popups
  FONT_PIXEL_HUGE = 10,  // the pixel face at 112, 96, 32 and 20
  FONT_PIXEL_LARGE = 11,
  FONT_PIXEL_MEDIUM = 12,
  FONT_PIXEL_SMALL = 13,
};

// Frames of the icon strip ("icons.png", IconsImage and SharpIconsImage).
enum IconFrame {
  ICON_TEST_SPRITE = 0,  // the engine test's sprite
  ICON_KEY = 3,
  ICON_SCORE_MARK = 7,
  ICON_HAT = 8,
  ICON_AXIS = 9,
  ICON_BUTTON = 10,
  ICON_RESOLUTION = 11,  // 11 4:3, 12 widescreen
  ICON_WINDOW = 13,      // 13 windowed, 14 full screen
  ICON_OPTION = 18,      // 18..20 option pips
  ICON_BAR_LEFT = 21,
  ICON_BAR_RIGHT = 22,
  ICON_KNOB = 23,
  ICON_AUDIO = 24,  // 24.. one per audio back end
  ICON_POINTER = 63,
};

// Setup file (shell/setup.cpp). Settings slots:
enum SettingSlot {
  SET_FULLSCREEN = 1,
  SET_WIDESCREEN = 2,
  SET_GFXENGINE = 3,
  SET_RESOLUTION = 4,
  SET_WIDTH = 5,
  SET_HEIGHT = 6,
  SET_SLOWSYSTEM = 7,
  SET_MASTER = 11,
  SET_SOUND = 12,
  SET_MUSIC = 13,
  SET_AUDIODRIVER = 14,
};
void SetDefaultSettings();                       // Settings start values
constexpr const char* kSetupFile = "Setup.ini";  // the settings, under the player root
void ReadSetup();                                // kSetupFile under the player root
void ChooseAudioDriver();
void WriteSetup();  // kSetupFile under the player root (a safe save), unless pinned read-only

// Display set-up and common assets (shell/display.cpp).
void ApplyGraphics();
void LoadCommonAssets();
bool AcceptedMode(int w, int h);  // 4:3, 16:9 or 16:10 by the integer rule
// Type is drawn larger where the picture is small: on displays narrower
// than 900 pixels, and on a handheld's wide, short screen (1280 x 800, 1280 x 720).
constexpr int kHandheldWidth = 1280, kHandheldHeight = 800;  // at least as wide, at most as tall
bool BigType();

// Frame service (shell/frame.cpp).
// The pause menu's answer, handed on by FinishFrame.
enum PauseAnswer { PAUSE_NONE = 0, PAUSE_CONTINUE = 1, PAUSE_QUIT = 99 };
int FinishFrame(int showPointer);  // PAUSE_NONE, or the pause menu's answer
void ShowMessage(const std::string& text, int colour);

// Drawing helpers (shell/draw.cpp).
void BeginFrame(int clear);
bool FrameShown();  // false on the frames a slow system never presents
void DrawTextAligned(int x, int y, const std::string& text, int h = 0, int v = 0);
void SetColorAlpha(double r, double g, double b);
void SetColorAlpha(double r, double g, double b, double alpha);
uint32_t BandColour(double r, double g, double b);  // what SetColorAlpha(r, g, b) sets, packed for DrawBands
void SetDrawScale(double sx);
void SetDrawScale(double sx, double sy);
void SetDrawRotation(double degrees);
void ResetDrawState();
// The framework's blend modes (shade multiplies what is below, light adds to it).
enum BlendModeNumber { BLENDMODE_SOLID = 0, BLENDMODE_ALPHA = 1, BLENDMODE_SHADE = 2, BLENDMODE_LIGHT = 3 };
// Kinds of counted draws, each with its own budget a frame (SpriteLimit).
enum SpriteKind { SPRITE_IMAGE = 1, SPRITE_GLOW = 2, SPRITE_PARTICLE = 3 };
void SetBlendMode(int mode);                                    // a BlendModeNumber; others are only remembered
void DrawSprite(int image, int x, int y, int frame, int kind);  // top-left at (x, y), counted
// The counted draw under both: image centred at (cx, cy) when kind's budget
// this frame has room, else dropped quietly.
void DrawCounted(int image, float cx, float cy, int frame, int kind);
int MouseInRect(int x, int y, int w, int h);
// Diagonal stripes over the drawing area, blue growing lighter, red - shade
// of red in each (0: the splash's plain blue, 100: name entry's purple), in
// the current alpha and blend; leaves the draw state reset.
void DrawStripes(double red);
