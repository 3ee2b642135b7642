// scores_fixture.h — shared set-up for the score table's tests: a fresh
// headless program with an open 1280 x 960 display, an empty score list, and
// a private game folder as the current folder.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "media/headless.h"
#include "scores/scores.h"
#include "shell/shell.h"

namespace scorestest {

namespace fs = std::filesystem;

// Thrown from a present hook to leave a screen that would otherwise go on.
struct StopScreen {};

inline Scores Record(int64_t score, int64_t stamp, const std::string& name = "Wen", int mode = 1) {
  Scores s;
  s.Score = score;
  s.Timestamp = stamp;
  s.Name = name;
  s.GameMode = mode;
  return s;
}

class ScoresTest : public ::testing::Test {
 protected:
  fs::path startDir, dir;

  void SetUp() override {
    UseHeadlessBackend();
    HeadlessReset();
    ResetGlobals();
    OpenDisplay(1280, 960, 0, 60, 0);
    SetVirtualResolution(1280, 960);
    startDir = fs::current_path();
    dir = fs::temp_directory_path() /
          ("wenhod-scores-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    ASSERT_TRUE(ChangeDir(dir.string()));
  }

  void TearDown() override {
    HeadlessReset();
    ResetGlobals();
    ChangeDir(startDir.string());
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void WriteBytes(const std::string& name, const std::string& bytes) {
    std::ofstream out(dir / name, std::ios::binary);
    out << bytes;
  }

  std::string ReadBytes(const std::string& name) {
    std::ifstream in(dir / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
};

}  // namespace scorestest
