// game_fixture.h — shared set-up for the game's tests: a fresh headless
// program state, the default controls, and either small hand-made sprite
// sheets (plain opaque boxes, so contact geometry is easy to reason about) or
// the staged art.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "game/game.h"
#include "media/headless.h"
#include "media/random.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace gametest {

constexpr uint32_t OPAQUE = 0xFF0000FFu;  // red, RGBA with R in the lowest byte

// A 4 x 4 sheet of square cells, each holding an opaque box of the given size
// centred in the cell.
inline void WriteSheet(const std::string& file, int cell, int box) {
  Pixmap p;
  p.width = cell * 4;
  p.height = cell * 4;
  p.pixels.assign(static_cast<size_t>(p.width) * p.height, 0);
  int lo = (cell - box) / 2;
  for (int f = 0; f < 16; f++) {
    int ox = (f % 4) * cell, oy = (f / 4) * cell;
    for (int y = lo; y < lo + box; y++) {
      for (int x = lo; x < lo + box; x++) p.pixels[static_cast<size_t>(oy + y) * p.width + ox + x] = OPAQUE;
    }
  }
  ASSERT_EQ(SavePixmapPNG(p, file, 1), 1) << file;
}

// A folder of this test process's own, removed when the process ends (test
// processes run in parallel).
inline const std::string& TestDir() {
  static std::string dir;
  if (!dir.empty()) return dir;
  dir = (std::filesystem::temp_directory_path() / ("wenhod-game-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(dir);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  });
  return dir;
}

// Hand-made sheets: heroes fill their 64-pixel cells, birds their 128-pixel
// cells, blocks (scenery) and pickups are boxes of half their cell. Written
// once per process.
inline std::string MakeTestArt() {
  static bool made = false;
  const std::string& dir = TestDir();
  if (made) return dir;
  for (const char* f : {"wenhod.png", "wenhodVarno.png", "wenhod2.png", "wenhodVarno2.png"}) WriteSheet(dir + "/" + f, 64, 64);
  for (const char* f : {"Gullwick.png", "GullwickVarno.png", "Gullwick2.png", "GullwickVarno2.png"}) {
    WriteSheet(dir + "/" + f, 128, 128);
  }
  WriteSheet(dir + "/scenery.png", 128, 64);
  WriteSheet(dir + "/gets.png", 64, 32);
  WriteSheet(dir + "/inavarnocostume.png", 64, 64);
  made = true;
  return dir;
}

// Loads the game's sheets from a folder with the game's image loader.
inline void LoadSheets(const std::string& dir) {
  AutoMidHandle(true);
  const std::string back = CurrentDir();
  ChangeDir(dir);
  LoadGameImages();
  ChangeDir(back);
}

// The staged art folder, or "" when the build has not staged it.
inline std::string StagedArt() {
#ifdef WENHOD_DATA_DIR
  std::string dir = std::string(WENHOD_DATA_DIR) + "/239";
  if (FileType(dir + "/wenhod.png") == 1 && FileType(dir + "/Gullwick.png") == 1 &&
      FileType(dir + "/scenery.png") == 1 && FileType(dir + "/gets.png") == 1) {
    return dir;
  }
#endif
  return "";
}

// A tiny mono 16-bit WAV so effect numbers have something to play.
inline std::string WriteTestWav(const std::string& file) {
  FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return file;
  const uint32_t rate = 22050, samples = 2205, bytes = samples * 2;
  auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(1);
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(bytes);
  for (uint32_t i = 0; i < samples; i++) u16(static_cast<uint16_t>((i / 25) % 2 ? 6000 : -6000));
  std::fclose(f);
  return file;
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessBackend();
    HeadlessReset();
    RegisterGameHooks();
    ResetGlobals();
    SetDefaultKeys();
    Settings[SET_MASTER] = 100;
    Settings[SET_SOUND] = 100;
    SpriteLimit[1] = SpriteLimit[2] = SpriteLimit[3] = 50000;
    SetVirtualResolution(1280, 960);
    OpenDisplay(1280, 960, 0, 60, 0);
    GameState = 1;
    // A one-player round saves the score list: into this process's folder.
    home = CurrentDir();
    ChangeDir(TestDir());
    DeleteFile("scores.dat");
  }

  void TearDown() override {
    HeadlessReset();
    ResetGlobals();
    ChangeDir(home);
  }

  std::string home;

  // Every effect number 1 to 15 gets the same short beep.
  void LoadTestSounds() {
    std::string wav = TestDir() + "/beep.wav";
    WriteTestWav(wav);
    for (int i = 1; i <= 15; i++) Sounds[i] = LoadSound(wav, 0);
    ASSERT_NE(Sounds[1], 0);
  }

  // A round past its opening: heroes under control, the world in costume.
  void StartPlaying(int difficulty) {
    Difficulty = difficulty;
    StartRound();
    Round.walker = VirtualWidth / 2;
    Round.opening = 90;
    Round.fade = 1;
    int k = 0;
    for (ayer& h : HeroList) {
      h.x = k++ == 0 ? VirtualWidth / 2 : VirtualWidth / 2 + 200;
      h.y = VirtualHeight - 126;
    }
  }

  // Effect numbers played since the last sound clear, in order.
  static std::vector<int> PlayedSounds() {
    std::vector<int> out;
    for (const SoundRecord& r : HeadlessSounds()) {
      if (r.kind != SoundRecord::CUE) continue;
      for (int i = 1; i <= 200; i++) {
        if (Sounds[i] == r.sound) {
          out.push_back(i);
          break;
        }
      }
    }
    return out;
  }

  static void Frames(int n) {
    for (int i = 0; i < n; i++) RoundFrame();
  }
};

}  // namespace gametest
