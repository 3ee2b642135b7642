// Replays: every round recorded and played back to the same end, the golden
// replays every build must agree on, a changed rule or a damaged file said
// plainly, the files kept as long as their records, and the ways to watch one.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <set>

#include "game/replay.h"
#include "scores/replays.h"
#include "tests/replays/scripted.h"
#include "tests/unit/support.h"

using namespace support;

namespace {

class ReplayTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    const std::string staged = StagedArt();
    if (staged.empty()) GTEST_SKIP() << "the art is not staged in this build";
    LoadSheets(staged);
  }

  static std::vector<fs::path> Goldens() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(WENHOD_REPLAY_DIR))
      if (entry.path().extension() == ".replay") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
  }

  // A Medium round from the same seed with the jump held, the name offered
  // taken: the record it added.
  static Scores PlayMediumRound() {
    const std::list<Scores> before = ScoreList;
    HeadlessOnPresent([] {
      if (GameState == STATE_TITLE) TapKey(KEY_ENTER);  // name entry: take the name offered
    });
    HeadlessSetClock(4711);
    Difficulty = DIFFICULTY_MEDIUM;
    GameState = STATE_ROUND;
    HeadlessKey(KEY_Z, true);
    PlayRound();
    HeadlessKey(KEY_Z, false);
    HeadlessOnPresent(nullptr);
    for (const Scores& s : ScoreList)
      if (std::none_of(before.begin(), before.end(), [&](const Scores& b) { return SameRecord(b, s); })) return s;
    return Scores{};
  }

  static Replay Golden(const std::string& name) {
    Replay r;
    std::string why;
    EXPECT_TRUE(DecodeReplay(ReadBytes(fs::path(WENHOD_REPLAY_DIR) / (name + ".replay")), r, why)) << why;
    return r;
  }
};

const char* BuildName() {
#if defined(__EMSCRIPTEN__)
  return "page";
#elif defined(_WIN32)
  return "windows";
#elif defined(__SANITIZE_ADDRESS__)
  return "sanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return "sanitizer";
#else
  return "native";
#endif
#else
  return "native";
#endif
}

TEST_F(ReplayTest, RoundsOfEveryDifficultyWithAPausePlayBackToTheSameEnd) {
  for (int difficulty = DIFFICULTY_EASY; difficulty <= DIFFICULTY_TWO_PLAYER; ++difficulty) {
    SCOPED_TRACE(difficulty);
    const scripted::Played played =
        scripted::Play({"t", difficulty, 7000u + 13u * difficulty, difficulty == 1, 400, false, 60});
    const Replay& recorded = played.replay;
    ASSERT_GT(recorded.frames, 400u);
    // The pause reseeded from the clock, and that is kept.
    ASSERT_FALSE(recorded.events.empty());
    EXPECT_EQ(recorded.events.front().frame, 400u);
    EXPECT_EQ(recorded.scores[0], PlayerOne->Score);

    Replay read;
    std::string why;
    ASSERT_TRUE(DecodeReplay(EncodeReplay(recorded), read, why)) << why;
    EXPECT_EQ(EncodeReplay(read), EncodeReplay(recorded));
    // Neither the sprite budget, nor the slow-system mode, nor the clock
    // decides a round: a replay plays the same under any of them.
    SpriteLimit[SPRITE_IMAGE] = 1;
    Settings[SET_SLOWSYSTEM] = 1;
    HeadlessSetClock(999999);
    uint64_t end = 0;
    EXPECT_EQ(CheckReplay(read, &end), REPLAY_MATCHED);
    EXPECT_EQ(end, recorded.endHash);
    EXPECT_EQ(PlayerOne->Score, recorded.scores[0]);
    if (difficulty == DIFFICULTY_TWO_PLAYER) {
      EXPECT_EQ(PlayerTwo->Score, recorded.scores[1]);
    }
    SpriteLimit[SPRITE_IMAGE] = 50000;
    Settings[SET_SLOWSYSTEM] = 0;
  }
}

TEST_F(ReplayTest, AFinishedRoundKeepsItsReplayBesideItsRecord) {
  const Scores record = PlayMediumRound();
  ASSERT_EQ(ScoreList.size(), 1u);
  ASSERT_TRUE(HasReplay(record));
  Replay replay;
  std::string why;
  ASSERT_TRUE(DecodeReplay(ReadBytes(ReplayFileOf(record)), replay, why)) << why;
  EXPECT_EQ(replay.scores[0], record.Score);
  EXPECT_EQ(replay.difficulty, DIFFICULTY_MEDIUM);

  // Watched: the round screen with its banner, and nothing added or saved.
  const std::string before = ReadBytes("scores.dat");
  HeadlessClearDraws();
  EXPECT_EQ(WatchReplayFile(ReplayFileOf(record)), REPLAY_MATCHED);
  EXPECT_FALSE(Texts(HeadlessDraws(), "Replay").empty());
  EXPECT_FALSE(Texts(HeadlessDraws(), "Game Over").empty());
  EXPECT_TRUE(Texts(HeadlessDraws(), "Enter Your Name").empty());
  EXPECT_TRUE(Texts(HeadlessDraws(), kReplayMismatch).empty());
  EXPECT_EQ(ScoreList.size(), 1u);
  EXPECT_EQ(ReadBytes("scores.dat"), before);
  EXPECT_EQ(Difficulty, DIFFICULTY_MEDIUM);
}

TEST_F(ReplayTest, AWindowClosedAtTheNamePromptKeepsTheReplayWithTheRecord) {
  int typed = 0;
  HeadlessOnPresent([&] {
    if (GameState != STATE_TITLE) return;  // name entry comes after the round
    if (++typed == 1) HeadlessType('x');
    if (typed == 3) HeadlessRequestClose();
  });
  HeadlessSetClock(4711);
  Difficulty = DIFFICULTY_HARD;
  GameState = STATE_ROUND;
  HeadlessKey(KEY_Z, true);
  EXPECT_THROW(PlayRound(), HeadlessExit);
  HeadlessKey(KEY_Z, false);
  HeadlessOnPresent(nullptr);
  ASSERT_EQ(ScoreList.size(), 1u);
  const Scores record = ScoreList.front();
  EXPECT_EQ(record.Name, "Playerx");
  ASSERT_TRUE(HasReplay(record));
  // Only the named record's replay: the offered one's was renamed, not copied.
  int replays = 0;
  const fs::path folder = fs::path(ReplayFileOf(record)).parent_path();
  for (const auto& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder))
    replays += entry.path().extension() == ".replay";
  EXPECT_EQ(replays, 1);
}

// The same round (the same seed, the jump held) played three times, the name
// offered taken each time: a clock set back an hour between the first two
// (or summer time ending) stamps the second before the first, and a third at
// the first's very second would share its replay's name. Each record keeps
// its own replay, and the first keeps its bytes. The name offered ends with
// a space (phone keyboards add one): the record's is trimmed, and its replay
// is kept all the same.
TEST_F(ReplayTest, EachRecordKeepsItsOwnReplayWhateverTheClockSays) {
  PlayerName = "Wen ";
  const std::time_t noon = 1781524800;  // 15 June 2026, 12:00 UTC
  auto play = [](std::time_t when) {
    HeadlessSetDate(when);
    return PlayMediumRound();
  };
  const Scores first = play(noon);
  ASSERT_TRUE(HasReplay(first));
  EXPECT_EQ(first.Name, "Wen");
  const std::string firstBytes = ReadBytes(ReplayFileOf(first));
  const Scores setBack = play(noon - 3600);
  const Scores again = play(noon);
  HeadlessSetDate(0);

  ASSERT_EQ(ScoreList.size(), 3u);
  EXPECT_EQ(setBack.Timestamp, first.Timestamp - 3600);
  EXPECT_EQ(setBack.Score, first.Score);
  std::set<std::string> files;
  for (const Scores& s : ScoreList) {
    SCOPED_TRACE(s.Timestamp);
    ASSERT_TRUE(HasReplay(s));
    files.insert(ReplayFileOf(s));
    Replay replay;
    std::string why;
    EXPECT_TRUE(DecodeReplay(ReadBytes(ReplayFileOf(s)), replay, why)) << why;
    EXPECT_EQ(replay.scores[0], s.Score);
  }
  EXPECT_EQ(files.size(), 3u);
  EXPECT_EQ(again.Timestamp, first.Timestamp + 1);  // moved on a second, clear of the first
  EXPECT_EQ(ReadBytes(ReplayFileOf(first)), firstBytes);
}

TEST_F(ReplayTest, GoldenReplaysReachTheirEnds) {
  const std::vector<fs::path> goldens = Goldens();
  ASSERT_GE(goldens.size(), 10u);
  uint64_t digest = 14695981039346656037ull;
  int matched = 0;
  std::set<int> difficulties;
  const int widescreen = Settings[SET_WIDESCREEN], width = VirtualWidth, difficulty = Difficulty;
  for (const fs::path& file : goldens) {
    Replay r;
    std::string why;
    ASSERT_TRUE(DecodeReplay(ReadBytes(file), r, why)) << file << ": " << why;
    uint64_t end = 0;
    const ReplayOutcome outcome = CheckReplay(r, &end);
    EXPECT_EQ(outcome, REPLAY_MATCHED) << file.filename() << " ended with hash " << std::hex << end;
    matched += outcome == REPLAY_MATCHED ? 1 : 0;
    difficulties.insert(r.difficulty);
    // Played in its own drawing area, difficulty and widescreen, leaving the player's as they were.
    EXPECT_EQ(Settings[SET_WIDESCREEN], widescreen);
    EXPECT_EQ(VirtualWidth, width);
    EXPECT_EQ(Difficulty, difficulty);
    digest = (digest ^ end) * 1099511628211ull;
  }
  EXPECT_EQ(difficulties.size(), 4u);
  // One line per build, to be compared across builds.
  std::printf("golden replays, %s build: %d of %zu match, end hashes %016llx\n", BuildName(), matched, goldens.size(),
              static_cast<unsigned long long>(digest));
}

TEST_F(ReplayTest, AReplayOfAChangedRuleDoesNotMatch) {
  const Replay medium = Golden("medium");
  DifficultyTable[DIFFICULTY_MEDIUM].jumps += 1;  // one jump more than the round was played with
  EXPECT_EQ(CheckReplay(medium), REPLAY_DIFFERED);
  WriteBytes(temp / "medium.replay", EncodeReplay(medium));
  HeadlessClearDraws();
  const ReplayOutcome watched = static_cast<ReplayOutcome>(WatchReplayFile(temp / "medium.replay"));
  DifficultyTable[DIFFICULTY_MEDIUM].jumps -= 1;
  EXPECT_EQ(watched, REPLAY_DIFFERED);
  EXPECT_FALSE(Texts(HeadlessDraws(), kReplayMismatch).empty());
  ASSERT_FALSE(Messages.empty());
  EXPECT_EQ(Messages.back().txt, kReplayMismatch);
  EXPECT_EQ(CheckReplay(medium), REPLAY_MATCHED);
}

TEST_F(ReplayTest, DamagedCutOrForeignFilesAreRefusedPlainly) {
  const std::string good = EncodeReplay(Golden("two-player-pause"));
  Replay r;
  std::string why;
  for (size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(DecodeReplay(good.substr(0, n), r, why)) << n;
  std::string flipped = good;
  flipped[60] = static_cast<char>(flipped[60] ^ 0x10);
  EXPECT_FALSE(DecodeReplay(flipped, r, why));
  EXPECT_EQ(why, "the replay is damaged");
  std::string other = good;
  other[4] = 9;
  EXPECT_FALSE(DecodeReplay(other, r, why));
  EXPECT_EQ(why, "a replay of another version of the game");
  EXPECT_FALSE(DecodeReplay("\x89PNG\r\n\x1a\n", r, why));
  EXPECT_EQ(why, "not a replay of this game");

  // One run of held keys in a few bytes may claim any length of play, and
  // checking a replay plays all of it: past an hour's play it is refused.
  Replay idle = Golden("easy");
  idle.events.clear();
  for (const uint32_t frames : {kReplayMaxFrames + 1, 1u << 26}) {
    idle.frames = frames;
    idle.runs = {{0, frames}};
    const std::string bytes = EncodeReplay(idle);
    EXPECT_LT(bytes.size(), 70u);
    EXPECT_FALSE(DecodeReplay(bytes, r, why)) << frames;
    EXPECT_EQ(why, "the replay claims more than an hour of play");
  }
  idle.frames = kReplayMaxFrames;
  idle.runs = {{0, kReplayMaxFrames}};
  EXPECT_TRUE(DecodeReplay(EncodeReplay(idle), r, why)) << why;
  // A round that long is played, but its replay is not kept.
  RecordedReplay = idle;
  RecordedReplay.frames = kReplayMaxFrames + 1;
  std::string kept = "?";
  EXPECT_NE(Said([&] { kept = RecordedReplayBytes(); }).find("replay not saved: the round lasted longer"),
            std::string::npos);
  EXPECT_EQ(kept, "");

  // Watching one says so, on screen and on standard error, and plays nothing.
  WriteBytes(temp / "cut.replay", good.substr(0, good.size() / 2));
  const std::string said = Said([&] { EXPECT_EQ(WatchReplayFile(temp / "cut.replay"), REPLAY_UNREADABLE); });
  EXPECT_NE(said.find("replay not played"), std::string::npos) << said;
  ASSERT_FALSE(Messages.empty());
  EXPECT_EQ(Messages.back().txt, "Replay not played: the replay is damaged");
  Said([&] { EXPECT_EQ(WatchReplayFile(temp / "missing.replay"), REPLAY_UNREADABLE); });
  EXPECT_EQ(Messages.back().txt.rfind("Replay not played: it could not be read", 0), 0u);
}

TEST_F(ReplayTest, AReplayGoesWithItsRecordAndTwoPlayerKeepsTen) {
  // 51 Medium records: the oldest is not among the best, so showing the group thins it.
  for (int i = 1; i <= 51; ++i) ScoreList.push_back(Record(i == 1 ? 1 : 100 + i, 1000 + i, "Wen", 1));
  SortScores();
  const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const Scores& s : ScoreList) {
    WriteBytes(ReplayFileOf(s), "x");
    fs::last_write_time(ReplayFileOf(s), anHourAgo);
  }
  const Scores oldest = ScoreList.back();
  const Scores newest = ScoreList.front();
  // A replay written while the list was saved (another copy's new round, its
  // record not yet seen) is left for a later save.
  const Scores others = Record(999, 5000, "Hod", 1);
  WriteBytes(ReplayFileOf(others), "x");
  ShowScoreTable(320, 1, 0, 0);
  ASSERT_EQ(ScoreList.size(), 50u);
  EXPECT_TRUE(HasReplay(oldest));  // nothing goes before the list is saved
  SaveScores();
  EXPECT_FALSE(HasReplay(oldest));
  EXPECT_TRUE(HasReplay(newest));
  EXPECT_TRUE(HasReplay(others));

  std::vector<std::string> made;
  for (int i = 0; i < 12; ++i) {
    made.push_back(TwoPlayerReplayFile());
    WriteBytes(made.back(), "x");
  }
  PruneTwoPlayerReplays();
  EXPECT_EQ(FileType(made[0]), 0);
  EXPECT_EQ(FileType(made[1]), 0);
  for (size_t i = 2; i < made.size(); ++i) EXPECT_EQ(FileType(made[i]), 1) << made[i];
}

TEST_F(ReplayTest, TheCardOffersAReplayAndADroppedFileIsWatched) {
  ScoreList.push_back(Record(500, 2000, "Wen", 1));
  ScoreList.push_back(Record(400, 1000, "Hod", 1));
  WriteBytes(ReplayFileOf(ScoreList.front()), "x");
  PinnedItem = 1;  // the newest, with a replay
  ShowScoreTable(320, 1, 0, 0);
  EXPECT_FALSE(Texts(DrawnBy([] { ShowScoreTable(320, 1, 0, 0); }), "Replay : press R or click here").empty());
  TapKey(KEY_R);
  ShowScoreTable(320, 1, 0, 0);
  EXPECT_EQ(ReplayRequest, ReplayFileOf(ScoreList.front()));
  ReplayRequest.clear();
  PinnedItem = 2;  // no replay: no hint, and R does nothing
  EXPECT_TRUE(Texts(DrawnBy([] { ShowScoreTable(320, 1, 0, 0); }), "Replay : press R or click here").empty());
  TapKey(KEY_R);
  ShowScoreTable(320, 1, 0, 0);
  EXPECT_EQ(ReplayRequest, "");

  HeadlessDropFile("/somewhere/round.replay");
  FinishFrame(0);
  EXPECT_EQ(ReplayRequest, "/somewhere/round.replay");
}

// By pad: the right shoulder pins the newest round, the left shoulder (or
// left) older ones, the graph scrolling to show each; X watches the shown
// record's replay, and the card says so.
TEST_F(ReplayTest, APadStepsThroughTheRoundsAndXWatches) {
  enum { X = 2, LB = 4, RB = 5, LEFT = 14 };  // the standard layout's buttons
  for (int i = 0; i < 30; ++i) ScoreList.push_back(Record(100 + i, 3000 - i, "Wen", 1));
  WriteBytes(ReplayFileOf(*std::next(ScoreList.begin(), 20)), "x");
  HeadlessSetJoysticks(1);
  DiscoverJoysticks();
  const auto tap = [](int button) {
    HeadlessJoyButton(0, button, true);
    SamplePads();
    ShowScoreTable(320, 1, 0, 0);
    HeadlessJoyButton(0, button, false);
    SamplePads();
  };
  tap(RB);
  EXPECT_EQ(PinnedItem, 1);
  tap(RB);
  EXPECT_EQ(PinnedItem, 1);  // nothing newer
  for (int i = 0; i < 19; ++i) tap(i % 2 ? LB : LEFT);
  EXPECT_EQ(PinnedItem, 20);
  EXPECT_EQ(GraphScroll, 24);  // its column in view
  EXPECT_TRUE(Texts(DrawnBy([] { ShowScoreTable(320, 1, 0, 0); }), "Replay : press [X]").empty());
  tap(LB);
  EXPECT_EQ(PinnedItem, 21);
  EXPECT_EQ(GraphScroll, 48);
  EXPECT_FALSE(Texts(DrawnBy([] { ShowScoreTable(320, 1, 0, 0); }), "Replay : press [X]").empty());
  tap(X);
  EXPECT_EQ(ReplayRequest, ReplayFileOf(*std::next(ScoreList.begin(), 20)));
}

}  // namespace
