// The score record, the list's order, the best list, and "scores.dat":
// byte-exact round trips, damaged files read as far as they go, and saving
// that never costs the scores already on disk.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <thread>

#include "scores/replays.h"
#include "tests/unit/support.h"

using namespace support;

namespace {

// A file of one record: its line, then its best combos.
const std::string kExample =
    "1234|Player|0|65149974729|0|1|0|0\r\n3|7|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0\r\n";

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

std::vector<int64_t> Stamps() {
  std::vector<int64_t> out;
  for (const Scores& s : ScoreList) out.push_back(s.Timestamp);
  return out;
}

// The eight fields of a record line.
void ExpectFields(const Scores& s, int64_t score, const std::string& name, int badges, int64_t stamp, int level,
                  int mode, int flags, int quit) {
  EXPECT_EQ(s.Score, score);
  EXPECT_EQ(s.Name, name);
  EXPECT_EQ(s.Badges, badges);
  EXPECT_EQ(s.Timestamp, stamp);
  EXPECT_EQ(s.Level, level);
  EXPECT_EQ(s.GameMode, mode);
  EXPECT_EQ(s.GameFlags, flags);
  EXPECT_EQ(s.Quit, quit);
}

using ScoreFile = ScoresTest;

TEST_F(ScoreFile, ExampleRecordReadsAndWritesBackByteForByte) {
  WriteBytes("scores.dat", kExample);
  PlayerName = "Someone";
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 1u);
  const Scores& s = ScoreList.front();
  ExpectFields(s, 1234, "Player", 0, 65149974729, 0, 1, 0, 0);
  EXPECT_EQ(s.Best[1], 3);
  EXPECT_EQ(s.Best[2], 7);
  for (int i = 3; i <= 30; i++) EXPECT_EQ(s.Best[i], 0) << i;
  EXPECT_EQ(PlayerName, "Player");

  fs::remove(dir / "scores.dat");
  SaveScores();
  EXPECT_EQ(ReadBytes("scores.dat"), kExample);
  EXPECT_FALSE(fs::exists(dir / "scores.dat.tmp"));
}

TEST_F(ScoreFile, EveryFieldOfEveryRecordSurvivesSaveAndLoad) {
  Scores a = Record(INT64_MAX, 70000000000, "Ann Lee", 2);
  a.Badges = INT32_MAX;
  a.Level = 3;
  a.GameFlags = 4;
  a.Quit = 1;
  for (int i = 1; i <= 30; i++) a.Best[i] = i * 1000 + 7;
  Scores b = Record(-42, 65149974729, "\xe9lan", 0);  // Score and Timestamp keep their sign
  Scores c = Record(0, -5, "", 1);                    // an empty name stays empty
  ScoreList = {a, b, c};
  SaveScores();
  const std::string first = ReadBytes("scores.dat");
  ScoreList.clear();
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 3u);
  auto it = ScoreList.begin();
  const Scores& ra = *it++;
  ExpectFields(ra, INT64_MAX, "Ann Lee", INT32_MAX, 70000000000, 3, 2, 4, 1);
  for (int i = 1; i <= 30; i++) EXPECT_EQ(ra.Best[i], i * 1000 + 7) << i;
  EXPECT_EQ(it->Score, -42);
  EXPECT_EQ(it->Name, "\xe9lan");
  ++it;
  EXPECT_EQ(it->Timestamp, -5);
  EXPECT_EQ(it->Name, "");
  EXPECT_EQ(PlayerName, "Ann Lee");
  SaveScores();
  EXPECT_EQ(ReadBytes("scores.dat"), first);
}

TEST_F(ScoreFile, EmptyListWritesZeroBytesAndReadsBackEmpty) {
  SaveScores();
  ASSERT_TRUE(fs::exists(dir / "scores.dat"));
  EXPECT_EQ(fs::file_size(dir / "scores.dat"), 0u);
  PlayerName = "Wen";
  LoadScores();
  EXPECT_TRUE(ScoreList.empty());
  EXPECT_EQ(PlayerName, "Wen");
}

TEST_F(ScoreFile, NoFileLeavesListAndNameAlone) {
  ScoreList = {Record(5, 10)};
  PlayerName = "Hod";
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 1u);
  EXPECT_EQ(PlayerName, "Hod");
  // Nor does a folder of that name.
  fs::create_directory(dir / "scores.dat");
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 1u);
  EXPECT_EQ(ScoreList.front().Score, 5);
}

TEST_F(ScoreFile, LoadSortsNewestFirstKeepingFileOrderOfEqualStampsAndNamesTheFirstLine) {
  WriteBytes("scores.dat", Lines({"1|Old|0|100|0|0|0|0", "0", "2|New|0|300|0|0|0|0", "0", "3|TieA|0|200|0|0|0|0", "0",
                                  "4|TieB|0|200|0|0|0|0", "0"}));
  LoadScores();
  EXPECT_EQ(Stamps(), (std::vector<int64_t>{300, 200, 200, 100}));
  std::vector<std::string> names;
  for (const Scores& s : ScoreList) names.push_back(s.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"New", "TieA", "TieB", "Old"}));
  EXPECT_EQ(PlayerName, "Old");  // the first record line, not the newest
}

TEST_F(ScoreFile, SortIsNewestFirstAndStable) {
  ScoreList = {Record(1, 5, "a"), Record(2, 9, "b"), Record(3, 5, "c"), Record(4, 9, "d"), Record(5, 1, "e")};
  SortScores();
  std::string order;
  for (const Scores& s : ScoreList) order += s.Name;
  EXPECT_EQ(order, "bdace");
  EXPECT_LT(Record(0, 9).Compare(Record(0, 5)), 0);
  EXPECT_GT(Record(0, 5).Compare(Record(0, 9)), 0);
  EXPECT_EQ(Record(0, 5).Compare(Record(0, 5)), 0);
  EXPECT_LT(Record(0, INT64_MAX).Compare(Record(0, INT64_MIN)), 0);
}

TEST_F(ScoreFile, DamagedLinesReadAsFarAsTheyGo) {
  WriteBytes("scores.dat",
             "\r\n"
             "just a comment line\r\n"
             "  77|  Spaced Name \t|x|9q|-3|-2|-1|-7  \r\n"  // trimmed; text reads up to its first non-digit
             "4|5|-5\r\n"                                    // missing elements 0, negatives made positive
             "8|Short|1\n"                                   // LF alone; fields 4 to 8 missing
             "12\n"                                          // one number: elements 1 and 2
             "99999999999999999999|Big|-2147483648|-99999999999999999999|2147483648|0|0|0\r\n"
             "99999999999|-2147483648\r\n"
             "5|End|0|1|0|0|0|0");  // the file ends after line 1
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 4u);
  std::vector<const Scores*> r;
  for (const Scores& s : ScoreList) r.push_back(&s);
  // Stamps 9, 0, INT64_MIN, 1 sort as 9, 1, 0, INT64_MIN.
  const Scores& spaced = *r[0];
  ExpectFields(spaced, 77, "Spaced Name", 0, 9, 3, 2, 1, 7);
  EXPECT_EQ(spaced.Best[1], 4);
  EXPECT_EQ(spaced.Best[2], 5);
  EXPECT_EQ(spaced.Best[3], 5);
  EXPECT_EQ(spaced.Best[4], 0);
  EXPECT_EQ(PlayerName, "Spaced Name");

  const Scores& end = *r[1];
  EXPECT_EQ(end.Name, "End");
  for (int i = 1; i <= 30; i++) EXPECT_EQ(end.Best[i], 0) << i;

  const Scores& shortRec = *r[2];
  EXPECT_EQ(shortRec.Name, "Short");
  EXPECT_EQ(shortRec.Badges, 1);
  EXPECT_EQ(shortRec.Timestamp, 0);
  EXPECT_EQ(shortRec.Quit, 0);
  EXPECT_EQ(shortRec.Best[1], 12);
  EXPECT_EQ(shortRec.Best[2], 12);
  EXPECT_EQ(shortRec.Best[3], 0);

  const Scores& big = *r[3];  // huge numbers saturate
  EXPECT_EQ(big.Score, INT64_MAX);
  EXPECT_EQ(big.Timestamp, INT64_MIN);
  EXPECT_EQ(big.Badges, INT32_MAX);
  EXPECT_EQ(big.Level, INT32_MAX);
  EXPECT_EQ(big.Best[1], INT32_MAX);
  EXPECT_EQ(big.Best[2], INT32_MAX);
}

TEST_F(ScoreFile, BarsAndLineEndsInANameCannotShiftTheFields) {
  Scores s = Record(10, 20, "a|b|c");
  s.Quit = 1;
  ScoreList = {s, Record(30, 10, std::string("a\tb\nc\rd\0e", 9))};
  SaveScores();
  const std::string bytes = ReadBytes("scores.dat");
  EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")),
            "10|a\xa6"
            "b\xa6"
            "c|0|20|0|1|0|1");
  ScoreList.clear();
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 2u);
  EXPECT_EQ(ScoreList.front().Name,
            "a\xa6"
            "b\xa6"
            "c");
  EXPECT_EQ(ScoreList.front().Timestamp, 20);
  EXPECT_EQ(ScoreList.front().Quit, 1);
  EXPECT_EQ(ScoreList.back().Name, "a\tb c d e");
  EXPECT_EQ(ScoreList.back().Score, 30);
}

// Messages posted with this text.
int Posted(const std::string& text) {
  int n = 0;
  for (const ment& m : Messages) n += m.txt == text;
  return n;
}

TEST_F(ScoreFile, FailedSavesKeepTheOldFileAndSaySoOnce) {
  WriteBytes("scores.dat", kExample);
  ScoreList = {Record(1, 1), Record(2, 2)};

  // The temporary file cannot be made.
  fs::create_directory(dir / "scores.dat.tmp");
  testing::internal::CaptureStderr();
  SaveScores();
  EXPECT_EQ(ReadBytes("scores.dat"), kExample);
  fs::remove(dir / "scores.dat.tmp");

  // The disk is full: every write fails at the close (Linux's /dev/full).
  if (fs::exists("/dev/full")) {
    fs::create_symlink("/dev/full", dir / "scores.dat.tmp");
    SaveScores();
    EXPECT_EQ(ReadBytes("scores.dat"), kExample);
    fs::remove(dir / "scores.dat.tmp");
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Posted("Scores Not Saved"), 1);
  ExpectSaidOnce(said, (dir / "scores.dat").string() + ": scores not saved: " + kFolderInTheWay);

  // Once it can be written, the list's records join the one the file held,
  // newest first, and nothing is left behind.
  SaveScores();
  const std::string saved = ReadBytes("scores.dat");
  EXPECT_EQ(saved.substr(0, kExample.size()), kExample);
  EXPECT_EQ(saved.substr(kExample.size(), 11), "2|Wen|0|2|0");
  EXPECT_FALSE(fs::exists(dir / "scores.dat.tmp"));
}

TEST_F(ScoreFile, AFileThatCannotBeReadIsNeverReplaced) {
  SKIP_UNLESS_MODES_FORBID_READING();
  WriteBytes("scores.dat", kExample);
  fs::permissions(dir / "scores.dat", fs::perms::none);
  AsOrdinaryUser(LoadScores);
  EXPECT_TRUE(ScoreList.empty());  // the game plays on with an empty list
  EXPECT_EQ(PlayerName, "Player");
  EXPECT_NE(ScoreFileState.readError, "");

  // Rounds of this run live in memory only; no save, no reload replaces the file.
  ScoreList.push_back(Record(50, 70000000000, "Newer", 2));
  const std::string said = Said([] {
    SaveScores();
    LoadScores();  // Apply reloads the assets
    SaveScores();
  });
  EXPECT_EQ(ReadBytes("scores.dat"), kExample);
  EXPECT_FALSE(fs::exists(dir / "scores.dat.tmp"));
  ASSERT_EQ(ScoreList.size(), 1u);
  EXPECT_EQ(ScoreList.front().Name, "Newer");
  EXPECT_EQ(Posted("Scores Not Saved"), 1);
  ExpectSaidOnce(said, (dir / "scores.dat").string() + ": scores not saved: it could not be read (Permission denied)");
}

TEST_F(ScoreFile, APinnedReadOnlyFileIsReadButNotReplaced) {
  WriteBytes("scores.dat", kExample);
  fs::permissions(dir / "scores.dat", fs::perms::owner_read | fs::perms::group_read);
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 1u);
  ScoreList.push_back(Record(50, 70000000000, "Newer", 2));
  const std::string said = Said(SaveScores);
  EXPECT_EQ(ReadBytes("scores.dat"), kExample);
  EXPECT_EQ(Posted("Scores Not Saved"), 1);
  EXPECT_NE(said.find("scores.dat: scores not saved: Permission denied"), std::string::npos) << said;
}

TEST_F(ScoreFile, ReloadKeepsRoundsPlayedSinceStartWithoutDuplicates) {
  WriteBytes("scores.dat", kExample);
  LoadScores();
  ASSERT_EQ(ScoreList.size(), 1u);
  ScoreList.push_back(Record(500, 70000000000, "Newer", 2));  // a round played since
  SortScores();
  PlayerName = "Newer";
  LoadScores();  // Apply reloads the assets
  ASSERT_EQ(ScoreList.size(), 2u);
  EXPECT_EQ(ScoreList.front().Name, "Newer");
  EXPECT_EQ(ScoreList.front().Score, 500);
  EXPECT_EQ(ScoreList.back().Score, 1234);
  EXPECT_EQ(PlayerName, "Newer");
  LoadScores();
  EXPECT_EQ(ScoreList.size(), 2u);
  // The file holds the new round already.
  EXPECT_EQ(ReadBytes("scores.dat").substr(0, 10), "500|Newer|");

  // When the file cannot be rewritten, the reload keeps the list rather than the file.
  ScoreList.push_back(Record(600, 80000000000, "Newest", 2));
  fs::create_directory(dir / "scores.dat.tmp");
  LoadScores();
  EXPECT_EQ(ScoreList.size(), 3u);
}

// Two copies of the game sharing the file, played in turn in this process:
// what each holds of its own (its list, the file as it last read or wrote it).
struct Copy {
  std::list<Scores> list, onDisk;
  std::string stamp;
  std::string player = "Player";
};
void Enter(Copy& c) {
  std::swap(ScoreList, c.list);
  std::swap(ScoresOnDisk, c.onDisk);
  std::swap(ScoresFileStamp, c.stamp);
  std::swap(PlayerName, c.player);
}
void Leave(Copy& c) { Enter(c); }
template <typename Run>
void As(Copy& c, Run run) {
  Enter(c);
  run();
  Leave(c);
}

std::vector<std::string> Names(const std::list<Scores>& list) {
  std::vector<std::string> out;
  for (const Scores& s : list) out.push_back(s.Name);
  return out;
}

TEST_F(ScoreFile, TwoCopiesKeepEachOthersRecordsAndASecondSaveChangesNothing) {
  WriteBytes("scores.dat", kExample);
  Copy a, b;
  As(a, LoadScores);
  As(b, LoadScores);
  As(a, [] {
    ScoreList.push_back(Record(900, 70000000100, "Alpha", 2));
    SaveScores();
  });
  As(b, [] {
    ScoreList.push_back(Record(700, 70000000200, "Bravo", 2));
    SaveScores();
    EXPECT_EQ(Names(ScoreList), (std::vector<std::string>{"Bravo", "Alpha", "Player"}));
  });
  const std::string both = ReadBytes("scores.dat");
  // Both close, in either order: the file stays as it is.
  As(a, [] {
    EXPECT_EQ(Names(ScoreList), (std::vector<std::string>{"Alpha", "Player"}));
    RefreshScores();  // back on the title: the other copy's record shows
    EXPECT_EQ(Names(ScoreList), (std::vector<std::string>{"Bravo", "Alpha", "Player"}));
    SaveScores();
  });
  As(b, SaveScores);
  EXPECT_EQ(ReadBytes("scores.dat"), both);
  As(a, [] {
    SaveScores();
    EXPECT_EQ(ScoreList.size(), 3u);
  });
  EXPECT_EQ(ReadBytes("scores.dat"), both);
  EXPECT_EQ(std::count(both.begin(), both.end(), '\n'), 6);
}

TEST_F(ScoreFile, ARecordOneCopyRemovedDoesNotComeBackFromAnother) {
  // 51 Hard rounds, the oldest the lowest: showing the group thins it.
  std::string file;
  for (int i = 0; i < 51; i++)
    file += std::to_string(1000 - i) + "|r" + std::to_string(i) + "|0|" + std::to_string(60000000000 - i) +
            "|0|2|0|0\r\n0\r\n";
  WriteBytes("scores.dat", file);
  Copy a, b;
  As(a, LoadScores);
  As(b, LoadScores);
  As(a, [] {
    ShowScoreTable(320, 2, 0, 0);
    ASSERT_EQ(ScoreList.size(), 50u);
    SaveScores();
  });
  EXPECT_EQ(ReadBytes("scores.dat").find("|r50|"), std::string::npos);

  // A round ends in A: kept under the offered name as the prompt opens. B,
  // back on its title meanwhile, sees it; then A's player types a name.
  As(a, [] {
    PlayerName = "Offered";
    KeepAwaitedScore(Record(5000, 0, "", 2), "");
  });
  EXPECT_NE(ReadBytes("scores.dat").find("|Offered|"), std::string::npos);  // a prompt never answered keeps it
  As(b, [] {
    RefreshScores();
    EXPECT_EQ(ScoreList.front().Name, "Offered");
  });
  As(a, [] {
    PlayerName = "Alpha";
    NameAwaitedScore();
    EXPECT_FALSE(ScoreAwaitingName.has_value());
    EXPECT_EQ(ScoreList.front().Name, "Alpha");
  });
  // B still holds the thinned record and the offered name; its next save
  // adds its own round and brings back neither.
  As(b, [] {
    ASSERT_EQ(ScoreList.size(), 51u);
    ScoreList.push_back(Record(10, 80000000000, "Bravo", 2));
    SaveScores();
    EXPECT_EQ(Names(ScoreList).front(), "Bravo");
    EXPECT_EQ(ScoreList.size(), 52u);
  });
  const std::string saved = ReadBytes("scores.dat");
  EXPECT_EQ(saved.find("|r50|"), std::string::npos);
  EXPECT_EQ(saved.find("|Offered|"), std::string::npos);
  EXPECT_NE(saved.find("|Alpha|"), std::string::npos);
  EXPECT_NE(saved.find("|Bravo|"), std::string::npos);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 2 * 52);
}

// Another program cuts the file short (a copy stopped half way, a full
// disk): the records this copy knows are not taken for removals, and the one
// cut in two comes back whole, wherever the file is cut (every third byte of
// its last record, every eleventh before it).
TEST_F(ScoreFile, AFileCutShortLosesNoRecordThisCopyKnows) {
  const std::list<Scores> three = {Record(300, 300, "Newest"), Record(200, 200, "Middle"), Record(100, 100, "Oldest")};
  ScoreList = three;
  SaveScores();
  const std::string whole = ReadBytes("scores.dat");
  ScoreList.push_back(Record(400, 400, "Round"));
  SaveScores();
  const std::string four = ReadBytes("scores.dat");
  const size_t lastRecord = whole.find("100|Oldest|");
  int cuts = 0;
  for (size_t n = 1; n < whole.size(); n += n >= lastRecord ? 3 : 11) {
    const auto lines = std::count(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n), '\n');
    if (whole[n - 1] == '\n' && lines % 2 == 0)
      continue;  // between two records: a file that reads back whole, as if another copy had removed the rest
    SCOPED_TRACE(n);
    ScoreList = three;
    ScoresOnDisk = three;
    WriteBytes("scores.dat", whole.substr(0, n));
    ScoreList.push_back(Record(400, 400, "Round"));
    SaveScores();
    ASSERT_EQ(ReadBytes("scores.dat"), four);
    ++cuts;
  }
  EXPECT_GT(cuts, 40);
  // A record this copy does not know, cut short, is kept as far as it reads.
  WriteBytes("scores.dat", whole + "77|Stranger|0|50");
  ScoresOnDisk = ScoreList = three;
  SaveScores();
  EXPECT_EQ(Names(ScoreList), (std::vector<std::string>{"Newest", "Middle", "Oldest", "Stranger"}));
}

TEST_F(ScoreFile, MergingAddsNothingTwiceAndKeepsTheFilesOwnDuplicates) {
  const Scores r = Record(5, 100, "Same", 2), s = Record(6, 200, " Spaced ", 2);
  // A record the file holds twice stays twice; one this copy added that the
  // file already has (a save that landed unseen) is not added again, even
  // when it differs only in what the file cannot hold (spaces at the ends).
  const std::list<Scores> file = {r, r, Record(6, 200, "Spaced", 2)};
  const std::list<Scores> merged = MergeScores({}, {r, s}, file);
  EXPECT_EQ(Names(merged), (std::vector<std::string>{"Spaced", "Same", "Same"}));
  EXPECT_EQ(Names(MergeScores(merged, merged, merged)), Names(merged));
  // Removed here: one of the two goes.
  EXPECT_EQ(Names(MergeScores(file, {r, file.back()}, file)), (std::vector<std::string>{"Spaced", "Same"}));
  // Added here, equal to one the file held already: both stay (a save must
  // keep every record this copy read, even two alike).
  EXPECT_EQ(Names(MergeScores({r}, {r, r}, {r})), (std::vector<std::string>{"Same", "Same"}));

  // The same through the file: saving twice writes the same bytes.
  WriteBytes("scores.dat", Lines({"5|Same|0|100|0|2|0|0", "0", "5|Same|0|100|0|2|0|0", "0"}));
  ScoreList = {s};
  SaveScores();
  const std::string once = ReadBytes("scores.dat");
  SaveScores();
  EXPECT_EQ(ReadBytes("scores.dat"), once);
  EXPECT_EQ(Names(ScoreList), (std::vector<std::string>{"Spaced", "Same", "Same"}));
}

// Two processes of this program saving rounds at the same moments into one
// folder: the lock keeps every round of both. Each runs this same test with
// kCopyFolder set, as a copy of the game would save.
const char* const kCopyFolder = "WENHOD_TEST_SCORE_COPY";
constexpr int kCopyRounds = 25;

TEST_F(ScoreFile, TwoCopiesSavingAtOnceKeepEveryRound) {
  if (const char* folder = std::getenv(kCopyFolder)) {
    ASSERT_TRUE(ChangeDir(folder));
    LoadScores();
    const int64_t copy = static_cast<int64_t>(std::hash<std::string>{}(dir.string()) % 1000000);
    for (int i = 1; i <= kCopyRounds; i++) {
      ScoreList.push_back(Record(i, copy * 100 + i, "Copy" + std::to_string(copy), 2));
      SaveScores();
    }
    return;
  }
  SetEnv(kCopyFolder, dir.string());
  int status[2] = {-1, -1};
  {
    std::thread a([&] { status[0] = RunThisProgram("--gtest_filter=ScoreFile.TwoCopiesSavingAtOnceKeepEveryRound"); });
    status[1] = RunThisProgram("--gtest_filter=ScoreFile.TwoCopiesSavingAtOnceKeepEveryRound");
    a.join();
  }
  UnsetEnv(kCopyFolder);
  EXPECT_EQ(status[0], 0);
  EXPECT_EQ(status[1], 0);
  ScoreList.clear();
  LoadScores();
  std::set<std::string> names;
  for (const Scores& s : ScoreList) names.insert(s.Name);
  EXPECT_EQ(ScoreList.size(), 2u * kCopyRounds);
  EXPECT_EQ(names.size(), 2u);
}

// Two processes of this program in one folder, built to race on purpose: one
// names the round it left at its prompt, which renames the round's replay
// (written an hour ago), and pauses right after the rename until the other
// has saved, which prunes replays whose records it cannot see. The other
// saves as soon as the rename is done. Under the lock it has to wait for the
// rename's own save, and keeps the replay; the pause gives up after two
// seconds. Run again with a lock file no one may write (another program
// holding it, a read-only one where that binds), which locks as well.
const char* const kRaceFolder = "WENHOD_TEST_RACE_FOLDER";
const char* const kRaceRole = "WENHOD_TEST_RACE_ROLE";
const std::string kRaceReplay = "the round's replay";

void Flag(const std::string& name) { WriteBytes(name, ""); }
bool WaitFor(const std::string& name, int ms) {
  for (; ms > 0 && !fs::exists(name); ms -= 10) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return fs::exists(name);
}

void RenameInRace() {
  PlayerName = "Offered";
  KeepAwaitedScore(Record(900, 0, "", 1), kRaceReplay);
  ASSERT_TRUE(HasReplay(*ScoreAwaitingName));
  fs::last_write_time(ReplayFileOf(*ScoreAwaitingName), fs::file_time_type::clock::now() - std::chrono::hours(1));
  PlayerName = "Alpha";
  ScoreLockStep = [](const char* step) {
    if (std::string(step) != "renamed") return;
    Flag("renamed");
    WaitFor("pruned", 2000);
  };
  NameAwaitedScore();
}

void PruneInRace() {
  Flag("pruner-ready");
  ASSERT_TRUE(WaitFor("renamed", 120000));
  ScoreList.push_back(Record(10, 1, "Other", 1));
  SaveScores();
  Flag("pruned");
}

TEST_F(ScoreFile, ARenameRacingAnotherCopysPruningKeepsTheReplay) {
  if (const char* folder = std::getenv(kRaceFolder)) {
    ASSERT_TRUE(ChangeDir(folder));
    LoadScores();
    if (std::string(std::getenv(kRaceRole)) == "renamer") RenameInRace();
    else PruneInRace();
    return;
  }
  const std::string self = "--gtest_filter=ScoreFile.ARenameRacingAnotherCopysPruningKeepsTheReplay";
  for (const bool barred : {false, true}) {
    SCOPED_TRACE(barred ? "a lock file no one may write" : "the lock file the game makes");
    const fs::path folder = dir / (barred ? "barred" : "made");
    const std::string lockFile = (folder / "scores.dat.lock").string();
    fs::create_directory(folder);
    if (barred) {
      support::WriteBytes(lockFile, "");
      if (!BarWriting(lockFile, true)) GTEST_SKIP() << "a file cannot be barred from writing here";
    }
    SetEnv(kRaceFolder, folder.string());
    SetEnv(kRaceRole, "pruner");
    int pruner = -1, renamer = -1;
    std::thread other([&] { pruner = RunThisProgram(self); });
    const bool ready = WaitFor((folder / "pruner-ready").string(), 120000);
    SetEnv(kRaceRole, "renamer");  // the pruner has its environment by now
    if (ready) renamer = RunThisProgram(self);
    else Flag((folder / "renamed").string());  // lets the pruner end
    other.join();
    UnsetEnv(kRaceFolder);
    UnsetEnv(kRaceRole);
    if (barred) BarWriting(lockFile, false);
    ASSERT_TRUE(ready);
    EXPECT_EQ(renamer, 0);
    EXPECT_EQ(pruner, 0);

    ASSERT_TRUE(ChangeDir(folder.string()));
    ScoreList.clear();
    ScoresOnDisk.clear();
    LoadScores();
    EXPECT_EQ(Names(ScoreList), (std::vector<std::string>{"Alpha", "Other"}));
    ASSERT_FALSE(ScoreList.empty());
    ASSERT_TRUE(HasReplay(ScoreList.front()));
    EXPECT_EQ(support::ReadBytes(ReplayFileOf(ScoreList.front())), kRaceReplay);
    int replays = 0;
    for (const auto& entry : fs::directory_iterator(folder)) replays += entry.path().extension() == ".replay";
    EXPECT_EQ(replays, 1);
    ASSERT_TRUE(ChangeDir(dir.string()));
  }
}

// A lock file that can be neither written nor read: the scores are still
// saved, and the player is told once that they are not coordinated.
TEST_F(ScoreFile, NoLockToBeHadIsSaidOnce) {
  SKIP_UNLESS_MODES_FORBID_READING();
  WriteBytes("scores.dat.lock", "");
  fs::permissions(dir / "scores.dat.lock", fs::perms::none);
  fs::permissions(dir, fs::perms::all);
  ScoreList = {Record(5, 10, "Unlocked")};
  const std::string said = Said([] {
    AsOrdinaryUser([] {
      SaveScores();
      SaveScores();
    });
  });
  ExpectSaidOnce(said, (dir / "scores.dat").string() + ": scores saved without the lock on " +
                           (dir / "scores.dat.lock").string() + " (Permission denied)");
  EXPECT_NE(ReadBytes("scores.dat").find("|Unlocked|"), std::string::npos);
}

TEST_F(ScoreFile, BestListIsHighestFirstTiesNewestFirstAtMostTwentyFive) {
  for (int i = 0; i < 30; i++) ScoreList.push_back(Record(i % 10, 1000 - i, "r" + std::to_string(i), 0));
  ScoreList.push_back(Record(1000, 1, "other group", 1));
  std::vector<Scores*> best = BestList(0, 0, 0);
  ASSERT_EQ(best.size(), 25u);
  // Scores 9, 9, 9 (records 9, 19, 29), then 8, 8, 8 ... down to 2, then the
  // newest 1; the older ones and the zeros drop out.
  std::vector<std::string> names;
  for (const Scores* s : best) names.push_back(s->Name);
  EXPECT_EQ(names[0], "r9");
  EXPECT_EQ(names[1], "r19");
  EXPECT_EQ(names[2], "r29");
  EXPECT_EQ(names[3], "r8");
  EXPECT_EQ(best[24]->Score, 1);
  EXPECT_EQ(names[24], "r1");
  for (size_t i = 1; i < best.size(); i++) EXPECT_GE(best[i - 1]->Score, best[i]->Score);
  EXPECT_EQ(BestList(1, 0, 0).size(), 1u);
  EXPECT_TRUE(BestList(0, 1, 0).empty());
  // A later, higher record pushes out the 25th.
  ScoreList.push_back(Record(50, 0, "late", 0));
  best = BestList(0, 0, 0);
  EXPECT_EQ(best.front()->Name, "late");
  EXPECT_EQ(best.back()->Name, "r22");
}

}  // namespace
