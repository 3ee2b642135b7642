// globals.cpp — the one definition of the program-wide state, and its reset.
#include "shell/globals.h"

#include <algorithm>

#include "scores/scores.h"
#include "tools/tools.h"

const std::string GameTitle = "Wen Hod";
const std::string GameSubtitle = "in a Varno Zavored";
std::string WindowTitle;
int ControlPlayers = 2;
int BadgeCount = 0;

std::string GameFolder() {
  std::string n = "000" + std::to_string(GameNumber);
  return n.substr(n.size() - 3) + "/";
}

std::string GameFile(const std::string& name) { return DataPath(GameFolder() + name); }

int Settings[100];
int Keys[101];
bool AudioDriverNamed = false;
std::vector<std::string> AudioDriverNames;

int ScreenWidth, ScreenHeight;
int VirtualWidth, VirtualHeight;
int ResolutionWidths[1000];
int ResolutionHeights[1000];
int ResolutionCount;
bool GraphicsReady;

int Fonts[20];
int Sounds[201];
int Channels[260];
int IconsImage, SharpIconsImage;
int LogoImage, CommunityLogoImage;
int BadgesImage;
int BadgeGetSound;

int SpriteLimit[20];
int SpriteCount[20];
int TargetFrameRate;
int BlendMode;

int Difficulty;
int GameState;
int GameStartTime;

int MouseX, MouseY;
int LastMouseX, LastMouseY;
int MouseClick1, MouseClick2;
int FrameParity;
int FrameRate;
int LastFrameTime;
long ReleasedMemory;
bool DebugOverlay;
bool SettingsOpen;
int SettingsSlide;
std::string ReplayRequest;

std::list<ment> Messages;

std::string Credits[100];
int CreditsCount;
TextFile* LogFile;
KeptFile SetupFileState{"settings", "", false};

GameHooks Game;

void ResetGlobals() {
  WindowTitle = "#" + std::to_string(GameNumber) + " : " + GameTitle + " " + GameSubtitle;
  ControlPlayers = 2;
  BadgeCount = 0;
  std::fill(std::begin(Settings), std::end(Settings), 0);
  std::fill(std::begin(Keys), std::end(Keys), 0);
  AudioDriverNamed = false;
  AudioDriverNames.clear();
  ScreenWidth = 800;
  ScreenHeight = 600;
  VirtualWidth = 1280;
  VirtualHeight = 960;
  std::fill(std::begin(ResolutionWidths), std::end(ResolutionWidths), 0);
  std::fill(std::begin(ResolutionHeights), std::end(ResolutionHeights), 0);
  ResolutionCount = 0;
  GraphicsReady = false;
  std::fill(std::begin(Fonts), std::end(Fonts), 0);
  std::fill(std::begin(Sounds), std::end(Sounds), 0);
  std::fill(std::begin(Channels), std::end(Channels), 0);
  IconsImage = SharpIconsImage = LogoImage = CommunityLogoImage = BadgesImage = 0;
  BadgeGetSound = 0;
  std::fill(std::begin(SpriteLimit), std::end(SpriteLimit), 0);
  std::fill(std::begin(SpriteCount), std::end(SpriteCount), 0);
  TargetFrameRate = 0;
  BlendMode = 0;
  Difficulty = DIFFICULTY_EASY;
  GameState = STATE_TITLE;
  GameStartTime = 0;
  MouseX = MouseY = LastMouseX = LastMouseY = 0;
  MouseClick1 = MouseClick2 = 0;
  FrameParity = 0;
  FrameRate = 0;
  LastFrameTime = 0;
  ReleasedMemory = 0;
  DebugOverlay = false;
  SettingsOpen = false;
  SettingsSlide = -300;
  ReplayRequest.clear();
  Messages.clear();
  for (auto& c : Credits) c.clear();
  CreditsCount = 1;
  LogFile = nullptr;
  SetupFileState = {"settings", "", false};

  // Each owner starts its own state over.
  ResetMediaSwitches();
  ResetScoreState();
  ResetToolsState();
  if (Game.ResetState) Game.ResetState();
}
