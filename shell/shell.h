// shell.h — the application shell: start-up, title screen and closing, the
// setup file, display set-up and common assets, the frame service and the
// drawing helpers every screen uses. Every screen is a loop of frames:
//
//     BeginFrame(1); ...draw the screen...; FinishFrame(showPointer);
#pragma once

#include <string>

#include "shell/globals.h"

// Start-up, title screen, closing (shell/start.cpp, shell/title.cpp).
void StartUp();                      // the start sequence, up to the title screen
[[noreturn]] void TitleMenu();       // the title screen loop; leaves through CloseDown
[[noreturn]] void CloseDown();       // save settings and scores, log, close, end the process
void WriteLog(const std::string& text);  // one line to Debug.txt (CR LF)
void FillCredits();

// Setup file (shell/setup.cpp). Settings slots:
enum SettingSlot {
  SET_FULLSCREEN = 1, SET_WIDESCREEN = 2, SET_GFXENGINE = 3, SET_RESOLUTION = 4,
  SET_WIDTH = 5, SET_HEIGHT = 6, SET_SLOWSYSTEM = 7,
  SET_MASTER = 11, SET_SOUND = 12, SET_MUSIC = 13, SET_AUDIODRIVER = 14,
};
void SetDefaultSettings();           // Settings start values
void ReadSetup();                    // "Setup.ini" of the current folder ("Files/")
void ChooseAudioDriver();
void WriteSetup();                   // from the game folder: writes "../Setup.ini", back in the game folder

// Display set-up and common assets (shell/display.cpp).
void ApplyGraphics();
void LoadCommonAssets();
bool AcceptedMode(int w, int h);     // 4:3 or 16:9 by the integer rule

// Frame service (shell/frame.cpp).
int FinishFrame(int showPointer);    // 0, or the pause menu's answer (1 continue, 99 quit)
void ShowMessage(const std::string& text, int colour);

// Drawing helpers (shell/draw.cpp).
void BeginFrame(int clear);
void DrawTextAligned(int x, int y, const std::string& text, int h = 0, int v = 0);
void SetColorAlpha(double r, double g, double b);
void SetColorAlpha(double r, double g, double b, double alpha);
void SetDrawScale(double sx);
void SetDrawScale(double sx, double sy);
void SetDrawRotation(double degrees);
void ResetDrawState();
void SetBlendMode(int mode);         // 0 solid, 1 alpha, 2 shade, 3 light
void DrawSprite(int image, int x, int y, int frame, int kind);
double ClampFloat(double value, double low, double high);
int MouseInRect(int x, int y, int w, int h);
void DrawStripes();                  // dark blue diagonal stripes of the splash and the engine test
