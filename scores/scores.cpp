// scores.cpp — the score record and list, the best list of a group, and the
// score file "scores.dat": two text lines per record, newest first.
#include <cstdint>

#include "media/media.h"
#include "scores/replays.h"
#include "scores/scores.h"
#include "shell/shell.h"

namespace {

const char* const kScoreFile = "scores.dat";
constexpr size_t kBestListSize = 25;

// In the game's folder under the player root, as in the data tree; with no
// such folder (no data tree at all), beside the settings.
std::string ScoreFile() {
  const std::string folder = PlayerPath(GameFolder());
  return JoinPath(FileType(folder) == 2 ? folder : PlayerRoot(), kScoreFile);
}

int AbsField(const std::string& line, int n) { return SafeAbs(ToInt(FieldOf(line, "|", n))); }

// The file has no escapes: a "|" in a name would shift every later field, and
// a line feed, carriage return or zero byte would end the line. "|" becomes
// the broken bar, which looks the same; the others become spaces.
std::string FileSafeName(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c == '|') c = static_cast<char>(0xA6);
    else if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  }
  return out;
}

std::string RecordLine(const Scores& s) {
  return Str(s.Score) + "|" + FileSafeName(s.Name) + "|" + Str(s.Badges) + "|" + Str(s.Timestamp) + "|" +
         Str(s.Level) + "|" + Str(s.GameMode) + "|" + Str(s.GameFlags) + "|" + Str(s.Quit);
}

std::string BestLine(const Scores& s) {
  std::string line = Str(s.Best[1]);
  for (int i = 2; i <= 30; ++i) line += "|" + Str(s.Best[i]);
  return line;
}

// Once a run, on screen and on standard error: the scores are not saved, and why.
bool NotSaved(const std::string& why) {
  if (!ScoresNotSavedTold) {
    ScoresNotSavedTold = true;
    ShowMessage("Scores Not Saved", 1);
    ReportError(JoinPath(CurrentDir(), ScoreFile()) + ": scores not saved: " + why);
  }
  return false;
}

// Writes the list beside the score file and puts it in place only when every
// write and the close succeeded, so a full disk never costs the old scores.
// A file we could not read may hold records we never saw: it is left alone.
bool WriteScoreFile() {
  SortScores();
  if (!ScoreReadError.empty()) return NotSaved("it could not be read (" + ScoreReadError + ")");
  const std::string file = ScoreFile();
  if (!FileReplaceable(file)) return NotSaved(FileError());
  TextFile* f = WriteFileSafely(file);
  if (!f) return NotSaved(FileError());
  for (const Scores& s : ScoreList) {
    WriteLine(f, RecordLine(s));
    WriteLine(f, BestLine(s));
  }
  return CloseFile(f) || NotSaved(FileError());
}

}  // namespace

std::list<Scores> ScoreList;
std::string PlayerName = "Player";
int GraphScroll;
int PinnedItem;
std::optional<Scores> ScoreAwaitingName;
std::string ScoreReadError;
bool ScoresNotSavedTold;

void ResetScoreState() {
  ScoreList.clear();
  PlayerName = "Player";
  GraphScroll = 0;
  PinnedItem = 0;
  ScoreAwaitingName.reset();
  ScoreReadError.clear();
  ScoresNotSavedTold = false;
}

int Scores::Compare(const Scores& other) const {
  if (Timestamp > other.Timestamp) return -1;
  return Timestamp < other.Timestamp ? 1 : 0;
}

void SortScores() {
  // std::list::sort is stable: equal stamps keep the order they were added in.
  ScoreList.sort([](const Scores& a, const Scores& b) { return a.Compare(b) < 0; });
}

void AddAwaitedScore() {
  if (!ScoreAwaitingName) return;
  Scores record = std::move(*ScoreAwaitingName);
  ScoreAwaitingName.reset();
  record.Timestamp = DateStamp();
  record.Name = PlayerName;
  ScoreList.push_back(std::move(record));
  SortScores();
}

std::vector<Scores*> BestList(int mode, int level, int flags) {
  std::vector<Scores*> best;
  best.reserve(kBestListSize + 1);
  for (Scores& s : ScoreList) {
    if (s.GameMode != mode || s.Level != level || s.GameFlags != flags) continue;
    size_t at = 0;
    while (at < best.size() && best[at]->Score >= s.Score) ++at;
    if (at < best.size()) {
      best.insert(best.begin() + static_cast<std::ptrdiff_t>(at), &s);
      if (best.size() > kBestListSize) best.pop_back();
    } else if (best.size() < kBestListSize) {
      best.push_back(&s);
    }
  }
  return best;
}

void LoadScores() {
  // A special file (a pipe, say) could block the read forever; only a plain file is read.
  const std::string file = ScoreFile();
  if (FileType(file) != 1) return;
  // Reloading after Apply: rounds played since start-up are only in memory.
  // Write them out first, so reading the file back loses and duplicates
  // nothing; if they cannot be written, keep the list as it is.
  if (!ScoreList.empty() && !WriteScoreFile()) return;
  TextFile* f = ReadFile(file);
  if (!f) {
    // Keep what we have rather than an empty list, and never write over it.
    ScoreReadError = FileError();
    return;
  }

  ScoreList.clear();
  int count = 0;
  while (!Eof(f)) {
    const std::string line = ReadLine(f);
    if (Instr(line, "|") == 0) continue;
    ++count;
    Scores s;
    s.Score = ToInt64(FieldOf(line, "|", 1));
    s.Name = Trim(FieldOf(line, "|", 2));
    s.Badges = AbsField(line, 3);
    s.Timestamp = ToInt64(FieldOf(line, "|", 4));
    s.Level = AbsField(line, 5);
    s.GameMode = AbsField(line, 6);
    s.GameFlags = AbsField(line, 7);
    s.Quit = AbsField(line, 8);
    if (count == 1) PlayerName = s.Name;
    const std::string stats = ReadLine(f);  // empty at the end of the file: all zeros
    for (int i = 1; i <= 30; ++i) s.Best[i] = AbsField(stats, i);
    ScoreList.push_back(std::move(s));
  }
  SortScores();
  if (!CloseFile(f)) {
    ScoreReadError = FileError();  // read only in part
  }
}

// Replays are pruned against the list only once it is on disk.
void SaveScores() {
  const int64_t began = FileClockMs();
  if (WriteScoreFile()) PruneReplays(began);
}

std::string ScoreFilePath() { return ScoreFile(); }
