// tools.h — the framework's own menus and tools: controls and key names,
// joysticks, the settings panel, the pause menu, screenshots, engine test.
// The joystick records and the panel's state live here, reset by ResetToolsState.
#pragma once

#include <string>

#include "shell/globals.h"

// Controls and key names (tools/controls.cpp).
constexpr float AXIS_DEAD_ZONE = 0.3f;

// Actions, by their place in a player's block of Keys.
enum ControlAction {
  ACT_UP = 0,  // menus up; in the game, jump
  ACT_LEFT = 3,
  ACT_RIGHT = 5,
  ACT_DOWN = 8,      // menus down
  ACT_BUTTON1 = 10,  // start and confirm; in the game, jump
  ACT_BUTTON2 = 11,  // 11 to 13 only through the setup file
  ACT_BUTTON3 = 12,
  ACT_BUTTON4 = 13,
};
constexpr int ACTIONS_PER_PLAYER = 20;
constexpr int KeySlot(int player, int action) { return (player - 1) * ACTIONS_PER_PLAYER + action; }

void SetDefaultKeys();  // the ten default bindings, everything else 0
// Held by the player's binding; player 1's actions also by the on-screen
// controls, and players 1 and 2 by their own pad in the standard layout
// (PadDown) while they have no joystick binding.
int ControlDown(int action, int player);
bool PauseHeld();  // Escape, the on-screen Pause, or Start of a pad in the standard layout
int CodeDown(int code);
int DetectInput();  // capture scan; 0 when nothing is held, or F11/F12 is
std::string KeyName(int code);
void DiscoverJoysticks();
// Pads attached since: new slots (up to four) with their readings now as
// rest; when one went, every slot is found again. Called every frame.
void FindNewJoysticks();
constexpr int DEFAULT_PAD_PLAYERS = 2;                    // players 1 and 2 have a pad each in the standard layout
constexpr int JOY_CODE_FIRST = 300, JOY_CODE_LAST = 499;  // input codes of joysticks 1 to 4

bool StandardPad(int player);  // the player plays their own pad in the standard layout now

// Pads in the menus, and the hand the player last used (tools/pads.cpp).
enum InputHandKind { HAND_KEYS, HAND_PAD, HAND_TOUCH };
constexpr int PAD_REPEAT_DELAY = 24;  // frames a held direction waits before it repeats
constexpr int PAD_REPEAT_EVERY = 6;   // then a step every this many frames
struct PadSample {                    // the pads as the menus read them, sampled once a frame
  bool held[PAD_CONTROLS] = {};       // held at the last sample (a PadControl each)
  bool pressed[PAD_CONTROLS] = {};    // went down at the last sample
  int heldFrames[PAD_CONTROLS] = {};  // samples it has been held for, 0 when up
  int hand = HAND_KEYS;               // the last used: keys and mouse, or a pad
  int keyPresses = 0;                 // KeyboardPresses() at the last sample
};
extern PadSample Pads;
void ResetPads();
// Once a frame (FinishFrame): every pad in the standard layout, and the
// players' pad bindings for the movements and the bottom button; a pad
// pressed makes the pad the hand, a key or a click the keyboard.
void SamplePads();
int InputHand();  // HAND_TOUCH while the on-screen controls show, else Pads.hand
// For screens; all false while the settings panel is open (the pad works the panel then).
bool PadPressed(int control);  // went down at the last sample
bool PadHeld(int control);
bool PadRepeated(int control);     // pressed, or held long enough for another step
bool PadRepeatDue(int control);    // the same, whoever has the pad
std::string PadName(int control);  // "A", "B", "X", "Y", "Start", "Back", "LB", ...
// What presses a player's action, named for the hand in use: its key, or on
// a pad the standard layout's button ("A") or the bound one ("Button 3").
std::string ControlName(int action, int player);

struct JoyRecord {                                                         // one joystick found
  std::string name;                                                        // device name
  int buttonMask = 0;                                                      // available buttons, one bit each
  float restX = 0, restY = 0, restZ = 0, restU = 0, restV = 0, restR = 0;  // readings at discovery
  int hasHat = 0;                                                          // the hat read centred (-1) at discovery
  int enabled = 0;  // 0: contributes nothing (settings panel toggles it)
};
extern JoyRecord JoySlot[5];  // slots 1..4; slot j is media port j - 1
extern int JoyCount;          // joysticks found, 0..4

// Settings panel (tools/settings.cpp): drawn and slid by FinishFrame every call.
void SettingsMenu();
extern bool SettingsApplying;  // Apply is reopening the display (no second Apply inside it)
struct PanelPadState {         // the settings panel worked by a pad
  int cell = 0;                // the highlighted cell, in the panel's own order
  int capturing = -1;          // the Keys slot a pressed binding cell fills with the next input; -1 none
  int waited = 0;              // frames it has waited
  bool armed = false;          // everything held when it began waiting has been let go
  bool latched = false;        // after a capture, the pad is not read until everything is let go
};
extern PanelPadState PanelPad;

// The tools' own state (joysticks, the panel's Apply guard) to its start values, for ResetGlobals.
void ResetToolsState();

// Pause menu (tools/pause.cpp): run by FinishFrame; answers PAUSE_CONTINUE or PAUSE_QUIT (shell/shell.h).
int PauseMenu();

// Screenshot (tools/screenshot.cpp): run by FinishFrame on F11.
void TakeScreenshot();
std::string ScreenshotName();                        // "<title> <subtitle> (Screenshot_<date>_<time>).png", cleaned
std::string CleanFileName(const std::string& text);  // drops # ' , ` . \ / : | * ? and the double quote

// Engine test (tools/enginetest.cpp): sizes SpriteLimit and the slow-system setting.
void EngineTest(int wantedRate, double spriteScale);
