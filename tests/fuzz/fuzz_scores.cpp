// Any bytes as "scores.dat": the reader must not crash, hang or overflow; it
// keeps one record per line holding "|", newest first; what it read must come
// back the same after a save and a second load; and showing every group on
// the title screen's panel must work on whatever was read.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "media/headless/headless.h"
#include "scores/scores.h"
#include "shell/shell.h"

#include "fuzz_support.h"

const char* const kFuzzTarget = "scores";

namespace {

// Lines the reader takes as a record's first line: up to LF or NUL, holding "|".
size_t RecordLines(const uint8_t* data, size_t size) {
  size_t records = 0, at = 0;
  while (at < size) {
    size_t end = at;
    bool bar = false;
    while (end < size && data[end] != '\n' && data[end] != 0) bar |= data[end++] == '|';
    if (bar) {
      ++records;
      // The next line is the record's statistics, whatever it holds.
      end = end < size ? end + 1 : end;
      while (end < size && data[end] != '\n' && data[end] != 0) ++end;
    }
    at = end + 1;
  }
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = false;
  if (!started) {
    UseHeadlessBackend();
    ResetGlobals();
    OpenDisplay(1280, 960, 0, 60, 0);
    SetVirtualResolution(1280, 960);
    SpriteLimit[1] = 1000000;
    started = true;
  }
  const std::string home = CurrentDir();
  const std::string root = ScratchFolder();
  Check(ChangeDir(root), "chdir");
  FILE* f = std::fopen("scores.dat", "wb");
  Check(f != nullptr, "open scores.dat");
  if (size) Check(std::fwrite(data, 1, size, f) == size, "write scores.dat");
  std::fclose(f);

  ScoreList.clear();
  PlayerName = "Player";
  LoadScores();
  Check(ScoreList.size() == RecordLines(data, size), "one record per line holding |");
  const Scores* prev = nullptr;
  for (const Scores& s : ScoreList) {
    Check(s.Badges >= 0 && s.Level >= 0 && s.GameMode >= 0 && s.GameFlags >= 0 && s.Quit >= 0,
          "a field that is read as a size is negative");
    for (int i = 1; i <= 30; i++) Check(s.Best[i] >= 0, "negative statistic");
    Check(s.Best[0] == 0, "element 0 was set");
    Check(s.Name == Trim(s.Name), "name not trimmed");
    if (prev) Check(prev->Timestamp >= s.Timestamp, "not newest first");
    prev = &s;
  }

  // Save and load again: the same list. (Names read from the file hold no
  // "|" and no line ends, so the writer's replacements never apply here.)
  const std::vector<Scores> first(ScoreList.begin(), ScoreList.end());
  SaveScores();
  ScoreList.clear();
  PlayerName = "Player";
  LoadScores();
  Check(ScoreList.size() == first.size(), "record count changed in the round trip");
  size_t i = 0;
  for (const Scores& s : ScoreList) Check(SameRecord(s, first[i++]), "record changed in the round trip");
  Check(PlayerName == (first.empty() ? std::string("Player") : first.front().Name), "player name");

  // The panel on the groups the file names, pinned to an arbitrary item.
  PinnedItem = size > 0 ? data[0] : 0;
  GraphScroll = size > 1 ? (data[1] % 126) * 8 : 0;
  std::set<std::tuple<int, int, int>> groups;
  for (const Scores& s : first) groups.insert({s.GameMode, s.Level, s.GameFlags});
  for (const auto& [mode, level, flags] : groups) {
    ShowScoreTable(320, mode, level, flags);
    HeadlessClearDraws();
    if (groups.size() > 8) break;  // a few groups show everything the panel does
  }
  ScoreList.clear();

  Check(ChangeDir(home), "chdir back");
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
