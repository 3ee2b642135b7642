// Any bytes as "Setup.ini": the reader must not crash, hang or overflow, may
// only set the slots it owns to values it allows, and what it read must come
// back unchanged after a write and a second read.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "media/headless/headless.h"
#include "shell/shell.h"
#include "tools/tools.h"

#include "fuzz_support.h"

const char* const kFuzzTarget = "setup";

namespace {

// A fresh "<tmp>/Files/239/" for each run, removed afterwards.
std::string MakeFolders() {
  const std::string root = ScratchFolder();
  Check(mkdir((root + "/Files").c_str(), 0700) == 0 && mkdir((root + "/Files/239").c_str(), 0700) == 0, "mkdir");
  return root;
}

void StartValues() {
  ResetGlobals();
  SetDefaultSettings();
  SetDefaultKeys();
  AudioDriverNames = {"OpenAL", "FreeAudio", "DirectSound"};
}

bool OnlyAllowedSlots(const int* defaults) {
  const int stored[] = {1, 3, 5, 6, 7, 11, 12, 13, 14};
  for (int i = 0; i < 100; i++)
    if (std::find(std::begin(stored), std::end(stored), i) == std::end(stored) && Settings[i] != defaults[i])
      return false;
  if (Settings[SET_FULLSCREEN] != 0 && Settings[SET_FULLSCREEN] != 1) return false;
  if (Settings[SET_GFXENGINE] < 0 || Settings[SET_GFXENGINE] > 2) return false;
  if (Settings[SET_SLOWSYSTEM] != 0 && Settings[SET_SLOWSYSTEM] != 1) return false;
  for (int s : {SET_WIDTH, SET_HEIGHT, SET_MASTER, SET_SOUND, SET_MUSIC})
    if (Settings[s] < 0) return false;
  if (Settings[SET_AUDIODRIVER] < 0 || Settings[SET_AUDIODRIVER] >= static_cast<int>(AudioDriverNames.size()))
    return false;
  for (int i = 0; i < 100; i++)
    if (Keys[i] < 0) return false;
  return Keys[100] == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = false;
  if (!started) {
    UseHeadlessBackend();
    started = true;
  }
  // Each run works inside "Files/" and goes back to the folder it started in,
  // where libFuzzer keeps its corpus.
  const std::string home = CurrentDir();
  const std::string root = MakeFolders();
  Check(ChangeDir(root + "/Files"), "chdir Files");
  SetFileRoots(root + "/Files", root + "/Files");

  FILE* f = std::fopen("Setup.ini", "wb");
  Check(f != nullptr, "open Setup.ini");
  if (size) Check(std::fwrite(data, 1, size, f) == size, "write Setup.ini");
  std::fclose(f);

  StartValues();
  int defaults[100];
  std::copy(std::begin(Settings), std::end(Settings), defaults);
  int defaultKeys[101];
  std::copy(std::begin(Keys), std::end(Keys), defaultKeys);

  ReadSetup();
  ChooseAudioDriver();
  Check(OnlyAllowedSlots(defaults), "a slot outside the reader's rules changed");

  // Round trip: write what was read, read it back into fresh start values.
  int settings[100];
  std::copy(std::begin(Settings), std::end(Settings), settings);
  int keys[101];
  std::copy(std::begin(Keys), std::end(Keys), keys);
  Check(ChangeDir("239"), "chdir game folder");
  WriteSetup();
  Check(CurrentDir().find("/Files/239") != std::string::npos, "WriteSetup did not return to the game folder");
  Check(ChangeDir(".."), "chdir Files");
  StartValues();
  ReadSetup();
  for (int i = 0; i < 100; i++) Check(Settings[i] == settings[i], "setting lost in the round trip");
  for (int i = 0; i <= 100; i++)
    Check(Keys[i] == (keys[i] > 0 ? keys[i] : defaultKeys[i]), "binding lost in the round trip");
  Check(ChangeDir(home), "chdir back");
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
