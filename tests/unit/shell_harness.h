// shell_harness.h — shared set-up for the shell's tests: a fresh headless
// program in a private copy of the data tree, entered at the game folder as
// after start-up, and small helpers to read what was drawn and logged.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "media/headless.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace shelltest {

namespace fs = std::filesystem;

// Thrown from a present hook to leave a screen's endless loop.
struct StopScreen {};


// The staged data tree of this build ("" when none).
inline std::string DataDir() {
#ifdef WENHOD_DATA_DIR
  return WENHOD_DATA_DIR;
#else
  return "";
#endif
}

inline bool HaveStagedFile(const std::string& rel) {
  return !DataDir().empty() && fs::exists(fs::path(DataDir()) / rel);
}

// A tiny mono 16-bit WAV of the given length.
inline void WriteWav(const fs::path& file, int ms) {
  const uint32_t rate = 8000, samples = rate * static_cast<uint32_t>(ms) / 1000, bytes = samples * 2;
  std::ofstream out(file, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4); u32(36 + bytes); out.write("WAVEfmt ", 8);
  u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
  out.write("data", 4); u32(bytes);
  for (uint32_t i = 0; i < samples; ++i) u16(static_cast<uint16_t>((i % 40) < 20 ? 8000 : -8000));
}

// Lines of a file written with CR LF endings.
inline std::vector<std::string> ReadLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string all = ss.str();
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find("\r\n", at);
    if (end == std::string::npos) { lines.push_back(all.substr(at)); break; }
    lines.push_back(all.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// Is `want` a subsequence of `have` (in order, gaps allowed)?
inline bool InOrder(const std::vector<std::string>& have, const std::vector<std::string>& want) {
  size_t i = 0;
  for (const std::string& line : have)
    if (i < want.size() && line == want[i]) ++i;
  return i == want.size();
}

inline const DrawRecord* FindText(const std::vector<DrawRecord>& frame, const std::string& text) {
  for (const DrawRecord& r : frame)
    if (r.kind == DrawRecord::TEXT && r.text == text) return &r;
  return nullptr;
}

inline int CountKind(const std::vector<DrawRecord>& frame, DrawRecord::Kind kind) {
  int n = 0;
  for (const DrawRecord& r : frame) n += r.kind == kind;
  return n;
}

// Fresh program state in a private tree: <tmp>/Files/{Common,239}, the
// current folder at Files/239/ as after start-up. With `staged`, Common/ is
// the build's staged fonts and pictures; otherwise it is empty.
class ShellTest : public ::testing::Test {
 protected:
  fs::path root, files, game;
  fs::path startDir;

  void MakeTree(bool staged) {
    startDir = fs::current_path();
    root = fs::temp_directory_path() /
           ("wenhod-shell-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    files = root / "Files";
    game = files / "239";
    fs::create_directories(game);
    if (staged && HaveStagedFile("Common")) fs::create_directory_symlink(fs::path(DataDir()) / "Common", files / "Common");
    else fs::create_directories(files / "Common");
  }

  void SetUp() override {
    UseHeadlessBackend();
    HeadlessReset();
    RegisterGameHooks();
    ResetGlobals();
    SetDefaultKeys();
    SetDefaultSettings();
    AudioDriverNames = AudioDriverList();
    MakeTree(false);
    ChangeDir(game.string());
    LastFrameTime = Millisecs();
  }

  void TearDown() override {
    if (LogFile) CloseFile(LogFile);
    HeadlessReset();
    ResetGlobals();
    ChangeDir(startDir.string());
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  // Every cleared frame costs 50 ms more, found at the next sleep: the engine
  // test then ends after 16 frames, and other waits keep their length.
  static void SlowMachine() {
    HeadlessOnDelay([] {
      if (CountKind(HeadlessDraws(), DrawRecord::CLEAR) == 0) return;
      HeadlessClearDraws();
      HeadlessSetClock(static_cast<uint32_t>(Millisecs() + 50));
    });
  }

  // The log of this test, written in Files/ like the program's.
  void OpenLog() { LogFile = WriteFile((files / "Debug.txt").string()); }
  std::vector<std::string> CloseLog() {
    CloseFile(LogFile);
    LogFile = nullptr;
    return ReadLines(files / "Debug.txt");
  }

  // A display as ApplyGraphics leaves it, without loading anything.
  void OpenPlainDisplay(int w = 800, int h = 600) {
    ScreenWidth = w;
    ScreenHeight = h;
    OpenDisplay(w, h, 0, 60, 0);
    SetVirtualResolution(static_cast<float>(VirtualWidth), static_cast<float>(VirtualHeight));
    GraphicsReady = 1;
  }
};

}  // namespace shelltest
