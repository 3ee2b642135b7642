// replays.cpp — naming, finding and removing the replay files beside the
// score file. A record's replay is "round-<stamp>-<score>-<name>.replay",
// <name> a hash of the name's letters and digits, which survive the score
// file's trimming and character replacement; two-player rounds are
// "twoplayer-<stamp>-<n>.replay".
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <tuple>
#include <vector>

#include "media/media.h"
#include "scores/replays.h"

namespace {

const std::string kExtension = ".replay";
const std::string kRoundPrefix = "round-", kTwoPlayerPrefix = "twoplayer-";

uint32_t NameHash(const std::string& name) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0xC0) {
      h ^= u;
      h *= 16777619u;
    }
  }
  return h;
}

std::string RoundName(int64_t stamp, int64_t score, uint32_t nameHash) {
  char hash[9];
  std::snprintf(hash, sizeof hash, "%08x", nameHash);
  return kRoundPrefix + Str(stamp) + "-" + Str(score) + "-" + hash + kExtension;
}

bool HasAffixes(const std::string& name, const std::string& prefix) {
  return name.size() > prefix.size() + kExtension.size() && name.compare(0, prefix.size(), prefix) == 0 &&
         name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) == 0;
}

// The two numbers of a two-player name, for ordering; false for any other name.
bool TwoPlayerOrder(const std::string& name, int64_t& stamp, int64_t& n) {
  if (!HasAffixes(name, kTwoPlayerPrefix)) return false;
  const size_t length = name.size() - kTwoPlayerPrefix.size() - kExtension.size();
  const std::string middle = name.substr(kTwoPlayerPrefix.size(), length);
  const size_t dash = middle.find('-');
  if (dash == std::string::npos) return false;
  stamp = ToInt64(middle.substr(0, dash));
  n = ToInt64(middle.substr(dash + 1));
  return Str(stamp) + "-" + Str(n) == middle;
}

}  // namespace

std::string ReplayFolder() {
  const std::string file = ScoreFilePath();
  const size_t slash = file.find_last_of("/\\");
  return slash == std::string::npos ? "" : file.substr(0, slash);
}

std::string ReplayFileOf(const Scores& record) {
  return JoinPath(ReplayFolder(), RoundName(record.Timestamp, record.Score, NameHash(record.Name)));
}

bool HasReplay(const Scores& record) { return FileType(ReplayFileOf(record)) == 1; }

void FreeReplayName(Scores& record, const std::string& own) {
  auto taken = [&] {
    const std::string file = ReplayFileOf(record);
    return (file != own && FileType(file) != 0) ||
           std::any_of(ScoreList.begin(), ScoreList.end(), [&](const Scores& s) { return ReplayFileOf(s) == file; });
  };
  while (taken()) ++record.Timestamp;
}

void WriteReplayFile(const std::string& file, const std::string& bytes) {
  if (!WriteWholeFileSafely(file, bytes)) ReportError(file + ": replay not saved: " + FileError());
}

std::string TwoPlayerReplayFile() {
  const int64_t stamp = DateStamp();
  const std::string stem = kTwoPlayerPrefix + Str(stamp) + "-";
  for (int n = 1;; ++n) {
    std::string name = stem + Str(n);
    name += kExtension;
    std::string file = JoinPath(ReplayFolder(), name);
    if (FileType(file) == 0) return file;
  }
}

void PruneReplays(int64_t saveBegan) {
  // File times may lag the clock by a tick of the system's coarse clock.
  constexpr int64_t kSlackMs = 2000;
  std::set<std::string> kept;
  for (const Scores& s : ScoreList) kept.insert(RoundName(s.Timestamp, s.Score, NameHash(s.Name)));
  const std::string folder = ReplayFolder();
  for (const std::string& name : FilesInFolder(folder)) {
    if (!HasAffixes(name, kRoundPrefix) || kept.count(name)) continue;
    const std::string file = JoinPath(folder, name);
    if (FileTimeMs(file) < saveBegan - kSlackMs) DeleteFile(file);
  }
  PruneTwoPlayerReplays();
}

void PruneTwoPlayerReplays() {
  std::vector<std::tuple<int64_t, int64_t, std::string>> rounds;
  const std::string folder = ReplayFolder();
  for (const std::string& name : FilesInFolder(folder)) {
    int64_t stamp, n;
    if (TwoPlayerOrder(name, stamp, n)) rounds.emplace_back(stamp, n, name);
  }
  std::sort(rounds.begin(), rounds.end());
  for (size_t i = 0; i + kTwoPlayerReplaysKept < rounds.size(); ++i)
    DeleteFile(JoinPath(folder, std::get<2>(rounds[i])));
}
