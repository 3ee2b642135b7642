// start.cpp — the program's spine at both ends: the start sequence (state,
// credits, log, settings, audio back end, display and assets, the splash
// floor) and the closing sequence (save, farewell lines, close, exit).
#include <cstdint>

#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

const char* const kCredits[] = {
    "A Game by Marrowby",
    "www.marrowby.example & mrwby.example",
    "",
    "Game",
    "Made with Corvex",
    "using Marrowby's Framework",
    "",
    "Graphics",
    "Font : SVBasicManual by Craig Rozynski",
    "Font : Blue Highway by Micah Rich",
    "Font : Acknowledge TT by Fontworks Inc.",
    "All other graphics by Marrowby",
    "",
    "Sound",
    "Title Music by Marrowby",
    "Sound Effects by Marrowby",
    "",
    "Varno costume design (c) Marrowby",
    "No Harm Intended",
};

const char* const kRule = "----------------------------";  // 28 hyphens
const char* const kDataTree = "Files";                     // the portable tree: data and the player's files
const char* const kPlayerFolder = "wenhod";  // installed: the player's files under the system's folder for them

}  // namespace

void FillCredits() {
  for (const char* line : kCredits) {
    if (CreditsCount < 1 || CreditsCount >= 100) return;
    Credits[CreditsCount++] = line;
  }
}

void WriteLog(const std::string& text) { WriteLine(LogFile, text); }

void StartUp() {
  ResetGlobals();
  SetAppTitle(WindowTitle);
  FillCredits();
  HidePointer();
  LastFrameTime = Millisecs();
  SpriteLimit[SPRITE_IMAGE] = 50000;
  SpriteLimit[SPRITE_GLOW] = 50000;
  DiscoverJoysticks();
  SetDefaultKeys();
  SetDefaultSettings();

  FindFileRoots(kDataTree, kPlayerFolder, GameFolder());
  LogFile = WriteFile(PlayerPath("Debug.txt"));  // may be nullptr: logging then writes nothing
  WriteLog("Marrowby's Brackenfold Engine");
  WriteLog(kRule);
  WriteLog("Week #" + Str(GameNumber));
  WriteLog(kRule);
  WriteLog(WindowTitle);
  WriteLog(kRule);
  WriteLog("");
  WriteLog("Loading");

  AudioDriverNames = AudioDriverList();
  if (AudioDriverNames.size() > 100) AudioDriverNames.resize(100);
  if (FileType(PlayerPath(kSetupFile)) == 1) ReadSetup();
  ChooseAudioDriver();
  WriteLog("\tRequested Resolution : " + Str(Settings[SET_WIDTH]) + "x" + Str(Settings[SET_HEIGHT]));
  WriteLog("\tSetup Loaded");
  WriteLog("");
  WriteLog("Grabbing Previous Scores");
  WriteLog("");

  const int32_t splashUntil = static_cast<int32_t>(static_cast<uint32_t>(Millisecs()) + 2500u);
  ApplyGraphics();

  ControlPlayers = 2;
  BadgeCount = 0;
  GameState = STATE_TITLE;
  DebugOverlay = false;
  WriteLog("Finished Loading");

  // Keep the splash up for 2.5 s from before the display opened.
  while (ClockSince(splashUntil, Millisecs()) < 0) Delay(1);
}

void CloseDown(int status) {
  WriteSetup();
  NameAwaitedScore();  // closed from the name prompt: the round keeps the name typed so far
  SaveScores();
  WriteLog("Closing Up");
  WriteLog("");
  WriteLog("Bye!");
  WriteLog("");
  WriteLog("Play again, soon!!");
  CloseDisplay();
  CloseFile(LogFile);
  LogFile = nullptr;
  EndProcess(status);
}
