// globals.h — the catalogue of the shell's program-wide state: every variable
// the shell owns and the rest of the program shares, listed once, defined in
// shell/globals.cpp. Every subsystem reads and writes these directly; tables
// are used from index 1 unless their comment says otherwise.
//
// Each other owner keeps its state with its own records and resets it:
// the score table in scores/scores.h (ResetScoreState), the joysticks and
// menus in tools/tools.h (ResetToolsState), the media layer behind
// media/media.h (ResetMediaSwitches), the game in game/game.h (its ResetState
// hook). ResetGlobals() gives the shell's variables their start values and
// asks each of those owners in turn (start-up, and each test).
#pragma once

#include <list>
#include <string>
#include <vector>

#include "media/media.h"

//------------------------------------------------------------------------------
// Shell (shell/): constants, settings, display, resources, frame service
//------------------------------------------------------------------------------
constexpr int GameNumber = 239;                 // window title, log banner, game folder
extern const std::string GameTitle;             // "Wen Hod"
extern const std::string GameSubtitle;          // "in a Varno Zavored"
extern std::string WindowTitle;                 // "#239 : Wen Hod in a Varno Zavored"
std::string GameFolder();                       // "239/"
std::string GameFile(const std::string& name);  // name in the game's folder under the data root
extern int ControlPlayers;                      // players listed by the settings panel (2)
extern int BadgeCount;                          // badges the game defines (0 hides them)

extern int Settings[100];                          // see SettingSlot in shell/shell.h
extern int Keys[101];                              // bindings at KeySlot(player, action), tools/tools.h
extern bool AudioDriverNamed;                      // the setup file named an audio back end
extern std::vector<std::string> AudioDriverNames;  // the media layer's audio back ends, in order

extern int ScreenWidth, ScreenHeight;    // display mode in use
extern int VirtualWidth, VirtualHeight;  // drawing area: 1280x960, or 1600x900 widescreen
extern int ResolutionWidths[1000];       // accepted modes from position 1
extern int ResolutionHeights[1000];
extern int ResolutionCount;
extern bool GraphicsReady;  // once the display is open and the splash shown

extern int Fonts[20];                      // slots 1..13, FontSlot in shell/shell.h
extern int Sounds[201];                    // slot k holds effect file k
extern int Channels[260];                  // 0..19 music, 20..255 effects, 256 splash jingle
extern int IconsImage, SharpIconsImage;    // "icons.png", 64 cells of 16x16
extern int LogoImage, CommunityLogoImage;  // "logo.png", "Brindle.png"
extern int BadgesImage;                    // "badges.png", 16 cells of 64x64
extern int BadgeGetSound;                  // "badgeget.wav"

extern int SpriteLimit[20];  // per kind: 1 images, 2 glow, 3 particles
extern int SpriteCount[20];  // counted draws this frame
extern int TargetFrameRate;  // chosen by the engine test
extern int BlendMode;        // framework blend last selected, 0..3

enum DifficultyMode { DIFFICULTY_EASY = 0, DIFFICULTY_MEDIUM = 1, DIFFICULTY_HARD = 2, DIFFICULTY_TWO_PLAYER = 3 };
enum GameStateMode { STATE_TITLE = 0, STATE_ROUND = 1, STATE_PAUSED = 2 };
extern int Difficulty;     // a DifficultyMode
extern int GameState;      // a GameStateMode: title, round in play, pause menu open
extern int GameStartTime;  // ms clock when the round started

extern int MouseX, MouseY;            // pointer, virtual units, sampled once a frame
extern int LastMouseX, LastMouseY;    // the previous sample
extern int MouseClick1, MouseClick2;  // left and right hits since the previous frame
extern int FrameParity;               // flips every frame; slow systems present at 0
extern int FrameRate;                 // smoothed frames per second
extern int LastFrameTime;             // clock at the end of the previous frame
extern long ReleasedMemory;           // last memory release, for the overlay
extern bool DebugOverlay;             // F12 overlay on
extern bool SettingsOpen;             // settings panel open
extern int SettingsSlide;             // panel position, -300 when away
extern std::string ReplayRequest;     // a replay file to watch from the title screen ("": none)

struct ment {       // an on-screen message
  int tick = 0;     // frames shown
  std::string txt;  // the message
  int c = 0;        // colour code of the poster (unused by drawing)
};
extern std::list<ment> Messages;  // oldest first

extern std::string Credits[100];  // filled from slot 1
extern int CreditsCount;          // next free slot
extern TextFile* LogFile;         // "Debug.txt", open until closing
extern KeptFile SetupFileState;   // Setup.ini could not be read, or a save was refused

// The game on top of the framework: the few things the shell needs from it,
// registered by the game before StartUp. An empty hook is skipped.
struct GameHooks {
  void (*LoadImages)() = nullptr;   // the game's images, after the common assets and the engine test
  int (*PlayRound)() = nullptr;     // one round for Difficulty, started by the title screen
  void (*AgePopups)() = nullptr;    // draw and age the floating score numbers, every FinishFrame
  int (*TitlePicture)() = nullptr;  // the title screen's picture (image handle)
  void (*ResetState)() = nullptr;   // the game's own state to its start values, by ResetGlobals
  int (*WatchReplay)(const std::string& file) = nullptr;  // plays a replay file in the round screen
};
extern GameHooks Game;  // kept by ResetGlobals: set once, before start-up

void ResetGlobals();  // every variable above to its start value, then asks each
                      // owner to reset its own: media, scores, tools, the game
