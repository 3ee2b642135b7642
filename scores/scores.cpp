// scores.cpp — the score record and list, the best list of a group, and the
// score file "scores.dat": two text lines per record, newest first.
//
// Several copies of the game may share the file. None writes its own list
// over it: under the file's lock each reads it as it is now and applies only
// its own changes since it last read or wrote it (the records it added, the
// records it removed), so a record another copy added is never lost and one
// another copy removed (renamed at its name prompt, thinned by the retention
// rule) does not come back.
#include <algorithm>
#include <cstdint>
#include <functional>

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
  return Str(s.Score) + "|" + FileSafeName(s.Name) + "|" + Str(s.Badges) + "|" + Str(s.Timestamp) + "|" + Str(s.Level) +
         "|" + Str(s.GameMode) + "|" + Str(s.GameFlags) + "|" + Str(s.Quit);
}

std::string BestLine(const Scores& s) {
  std::string line = Str(s.Best[1]);
  for (int i = 2; i <= 30; ++i) line += "|" + Str(s.Best[i]);
  return line;
}

Scores ParseRecord(const std::string& line, const std::string& stats) {
  Scores s;
  s.Score = ToInt64(FieldOf(line, "|", 1));
  s.Name = Trim(FieldOf(line, "|", 2));
  s.Badges = AbsField(line, 3);
  s.Timestamp = ToInt64(FieldOf(line, "|", 4));
  s.Level = AbsField(line, 5);
  s.GameMode = AbsField(line, 6);
  s.GameFlags = AbsField(line, 7);
  s.Quit = AbsField(line, 8);
  for (int i = 1; i <= 30; ++i) s.Best[i] = AbsField(stats, i);  // empty at the end of the file: all zeros
  return s;
}

// The record as the file gives it back, so that one saved and read again is
// the same record.
Scores Stored(const Scores& s) { return ParseRecord(RecordLine(s), BestLine(s)); }

bool EraseOne(std::list<Scores>& list, const Scores& record) {
  const auto at = std::find_if(list.begin(), list.end(), [&](const Scores& s) { return SameRecord(s, record); });
  if (at == list.end()) return false;
  list.erase(at);
  return true;
}

// The records of `from` less one equal record of `less` for each of those.
std::list<Scores> Without(std::list<Scores> from, const std::list<Scores>& less) {
  for (const Scores& s : less) EraseOne(from, s);
  return from;
}

// How a file read back: whole, or cut short (by another program, a full
// disk) with the lines of its last record as far as they go.
struct ReadBack {
  bool whole = true;
  std::string line, stats;  // the last record's lines
};

size_t Bars(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '|')); }

// The file's records into `out` in file order, or none when there is no plain
// file (a special one, a pipe say, could block the read forever). False when
// it is there but cannot be read: then it is never replaced this run. A file
// whose last line has no line end, or whose last record lacks some of its
// fields, was cut short.
bool ReadScoreRecords(const std::string& file, std::list<Scores>& out, ReadBack& back) {
  out.clear();
  back = ReadBack{};
  if (!ScoreFileState.readError.empty()) return false;
  if (FileType(file) != 1) return true;
  TextFile* f = ReadKeptFile(ScoreFileState, file);
  if (!f) return false;
  bool lastWhole = true, read = false;
  while (!Eof(f)) {
    const std::string line = ReadLine(f);
    read = true;
    if (Instr(line, "|") == 0) continue;
    const std::string stats = ReadLine(f);
    out.push_back(ParseRecord(line, stats));
    lastWhole = Bars(line) >= 7 && Bars(stats) >= 29;
    back.line = line;
    back.stats = stats;
  }
  back.whole = lastWhole && (!read || LineEnded(f));
  EndReadingKeptFile(ScoreFileState, f);
  return ScoreFileState.readError.empty();
}

// Is a record read as far as a cut file went (line, stats) the start of s?
bool CutFrom(const std::string& line, const std::string& stats, const Scores& s) {
  const std::string full = RecordLine(s);
  if (line == full) return BestLine(s).rfind(stats, 0) == 0;
  return stats.empty() && full.rfind(line, 0) == 0;
}

// A file cut short lost records; no copy removed them. Its last record, cut,
// goes when it is the start of one this copy holds (which is kept whole
// instead), and only the records the file still holds count as read, so
// this copy's others are written back.
void KeepWhatWasCut(std::list<Scores>& stored, const ReadBack& back) {
  auto cut = [&](const Scores& s) { return CutFrom(back.line, back.stats, s); };
  if (!stored.empty() && (std::any_of(ScoresOnDisk.begin(), ScoresOnDisk.end(), cut) ||
                          std::any_of(ScoreList.begin(), ScoreList.end(), cut)))
    stored.pop_back();
  ScoresOnDisk = Without(ScoresOnDisk, Without(ScoresOnDisk, stored));
}

// Writes the list beside the score file and puts it in place only when every
// write and the close succeeded, so a full disk never costs the old scores.
// A file we could not read may hold records we never saw: it is left alone.
// The first time a save does not happen the player is told on screen too.
bool WriteScoreRecords(const std::string& file, const std::list<Scores>& list) {
  const bool told = ScoreFileState.notSavedTold;
  TextFile* f = ReplaceKeptFile(ScoreFileState, file);
  bool saved = false;
  if (f) {
    for (const Scores& s : list) {
      WriteLine(f, RecordLine(s));
      WriteLine(f, BestLine(s));
    }
    saved = CloseKeptFile(ScoreFileState, file, f);
  }
  if (!told && ScoreFileState.notSavedTold) ShowMessage("Scores Not Saved", 1);
  return saved;
}

// Under the lock: the file as it is now with this copy's changes, which
// becomes ScoreList; then `change`, which may change the list and the
// replays beside it; then, when `write`, the list is written back. The first
// record line's name goes to `firstName` (what the file offers once this
// returns). True when the file was read (and, with `write`, replaced).
bool SyncScoreFile(bool write, std::optional<std::string>* firstName = nullptr,
                   const std::function<void()>& change = nullptr) {
  const std::string file = ScoreFile();
  const int64_t began = FileClockMs();
  SharedFileLock* lock = LockSharedFile(ScoreFileState, file);
  std::list<Scores> stored;
  // The copies replace the file but never remove it: a file that has gone was
  // lost, and this copy's records all go back.
  if (FileType(file) == 0) ScoresOnDisk.clear();
  ReadBack back;
  bool done = ReadScoreRecords(file, stored, back);
  if (done) {
    if (!back.whole) KeepWhatWasCut(stored, back);
    if (firstName && !stored.empty()) *firstName = stored.front().Name;
    ScoreList = MergeScores(ScoresOnDisk, ScoreList, stored);
    ScoresOnDisk = std::move(stored);
  }
  if (change) change();
  if (write) {
    SortScores();
    done = WriteScoreRecords(file, ScoreList);  // refused when the file could not be read
    if (done) {
      ScoresOnDisk = ScoreList;
      if (firstName && !ScoreList.empty()) *firstName = ScoreList.front().Name;
      PruneReplays(began);  // still under the lock: no copy holds a record the file lacks
    }
  }
  ScoresFileStamp = SharedFileStamp(file);
  UnlockSharedFile(lock, write && done);
  return done;
}

}  // namespace

std::list<Scores> ScoreList;
std::string PlayerName = "Player";
int GraphScroll;
int PinnedItem;
std::optional<Scores> ScoreAwaitingName;
std::list<Scores> ScoresOnDisk;
std::string ScoresFileStamp;
KeptFile ScoreFileState{"scores", "", false};
void (*ScoreLockStep)(const char* step);

void ResetScoreState() {
  ScoreList.clear();
  PlayerName = "Player";
  GraphScroll = 0;
  PinnedItem = 0;
  ScoreAwaitingName.reset();
  ScoresOnDisk.clear();
  ScoresFileStamp.clear();
  ScoreFileState = {"scores", "", false};
  ScoreLockStep = nullptr;
}

int Scores::Compare(const Scores& other) const {
  if (Timestamp > other.Timestamp) return -1;
  return Timestamp < other.Timestamp ? 1 : 0;
}

void SortScores() {
  // std::list::sort is stable: equal stamps keep the order they were added in.
  ScoreList.sort([](const Scores& a, const Scores& b) { return a.Compare(b) < 0; });
}

bool SameRecord(const Scores& a, const Scores& b) {
  return a.Score == b.Score && a.Timestamp == b.Timestamp && a.Badges == b.Badges && a.Name == b.Name &&
         std::equal(std::begin(a.Best), std::end(a.Best), std::begin(b.Best)) && a.Level == b.Level &&
         a.GameMode == b.GameMode && a.GameFlags == b.GameFlags && a.Quit == b.Quit;
}

std::list<Scores> MergeScores(const std::list<Scores>& base, const std::list<Scores>& mine,
                              const std::list<Scores>& file) {
  std::list<Scores> merged = Without(file, Without(base, mine));
  std::list<Scores> added;
  for (const Scores& s : Without(mine, base)) added.push_back(Stored(s));
  // A save of ours that landed unseen is in the file but not in the base: it
  // adds nothing twice. Counted against what the file gained, not all it
  // holds, so a record equal to one already there is still added.
  merged.splice(merged.end(), Without(std::move(added), Without(file, base)));
  merged.sort([](const Scores& a, const Scores& b) { return a.Compare(b) < 0; });
  return merged;
}

// The record and its replay are written in one hold of the lock, on the
// list and the replays just read: no other copy sees one without the other.
void KeepAwaitedScore(Scores record, const std::string& replay) {
  record.Timestamp = DateStamp();
  record.Name = PlayerName;
  record = Stored(record);
  SyncScoreFile(true, nullptr, [&] {
    FreeReplayName(record);
    ScoreList.push_back(record);
    if (!replay.empty()) WriteReplayFile(ReplayFileOf(record), replay);
  });
  ScoreAwaitingName = record;
}

// The rename happens in the same hold of the lock as the save: another copy
// pruning meanwhile would take the renamed replay, whose record it cannot
// see yet, for an orphan.
void NameAwaitedScore() {
  if (!ScoreAwaitingName) return;
  const Scores kept = *ScoreAwaitingName;
  ScoreAwaitingName.reset();
  Scores named = kept;
  named.Timestamp = DateStamp();
  named.Name = PlayerName;
  named = Stored(named);
  if (SameRecord(named, kept)) return;
  SyncScoreFile(true, nullptr, [&] {
    EraseOne(ScoreList, kept);
    const std::string replay = ReplayFileOf(kept);
    FreeReplayName(named, replay);
    if (ReplayFileOf(named) != replay && FileType(replay) == 1) RenameFile(replay, ReplayFileOf(named));
    if (ScoreLockStep) ScoreLockStep("renamed");
    ScoreList.push_back(named);
  });
}

void KeepTwoPlayerReplay(const std::string& replay) {
  if (replay.empty()) return;
  SyncScoreFile(false, nullptr, [&] {
    WriteReplayFile(TwoPlayerReplayFile(), replay);
    PruneTwoPlayerReplays();
  });
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
  if (FileType(ScoreFile()) != 1) return;  // no file: the list and the name stay
  // A fresh read: the file, with the rounds played here since it was last
  // read or written (reloading after Apply), which are written out with it.
  ScoreList = Without(ScoreList, ScoresOnDisk);
  ScoresOnDisk.clear();
  std::optional<std::string> first;
  SyncScoreFile(!ScoreList.empty(), &first);
  if (first) PlayerName = *first;
}

void SaveScores() { SyncScoreFile(true); }

void RefreshScores() {
  if (SharedFileStamp(ScoreFile()) != ScoresFileStamp) SyncScoreFile(false);
}

std::string ScoreFilePath() { return ScoreFile(); }
