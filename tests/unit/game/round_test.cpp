// Whole rounds on the headless back end: set-up per difficulty, the opening,
// the end of a round, the result texts, the score record, determinism, and
// the birds' pass.
#include <algorithm>
#include <cmath>

#include "tests/unit/support.h"

using namespace support;

namespace {

class RoundTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    std::string staged = StagedArt();
    LoadSheets(staged.empty() ? MakeTestArt() : staged);
  }

  // Confirms name entry as soon as the round has handed over to it.
  static void ConfirmNameEntryWhenAsked() {
    HeadlessOnPresent([] {
      if (GameState == 0) TapKey(KEY_ENTER);
      if (HeadlessPresentCount() > 50000) throw StopScreen{};
    });
  }
};

TEST_F(RoundTest, DifficultyTableSetsBirdsHeroesAndJumps) {
  struct Row {
    int difficulty, birds, heroes, jumps;
  };
  for (Row row : {Row{0, 7, 1, 8}, Row{1, 5, 1, 5}, Row{2, 4, 1, 3}, Row{3, 8, 2, 10}}) {
    Difficulty = row.difficulty;
    StartRound();
    EXPECT_EQ(static_cast<int>(BirdList.size()), row.birds);
    ASSERT_EQ(static_cast<int>(HeroList.size()), row.heroes);
    EXPECT_EQ(Round.players, row.heroes);
    for (const ayer& h : HeroList) {
      EXPECT_EQ(h.Jumps, row.jumps);
      EXPECT_EQ(h.MaxSpeed, 8);
      EXPECT_EQ(h.jumpability, 200);
      EXPECT_EQ(h.jumpspeed, 3.0);
      EXPECT_EQ(h.d, 1);
    }
    int i = 1;
    for (const ken& b : BirdList) {
      EXPECT_EQ(b.y, i++ / 2);
      EXPECT_GE(b.x, 100);
      EXPECT_LE(b.x, VirtualWidth - 100);
      EXPECT_TRUE(b.d == 0 || b.d == 1);
      EXPECT_EQ(b.g, 0);
    }
  }
  // Widescreen adds a bird.
  Settings[SET_WIDESCREEN] = 1;
  VirtualWidth = 1600;
  VirtualHeight = 900;
  Difficulty = 0;
  StartRound();
  EXPECT_EQ(BirdList.size(), 8u);
  Difficulty = 3;
  StartRound();
  EXPECT_EQ(BirdList.size(), 9u);
  // An unknown difficulty plays as Easy instead of reading past the table.
  Difficulty = 9;
  StartRound();
  EXPECT_EQ(BirdList.size(), 8u);
  EXPECT_EQ(HeroList.front().Jumps, 8);
}

TEST_F(RoundTest, SetUpSeedsFromTheClockAndDrawsInOrder) {
  HeadlessSetClock(987654);
  Difficulty = 2;
  StartRound();
  const int W = VirtualWidth;
  SeedRnd(static_cast<int32_t>(Millisecs()));
  EXPECT_EQ(Round.r1, Rand(64, W - 192));
  EXPECT_EQ(Round.r2, Rand(64, W - 192));
  EXPECT_EQ(Round.r3, Rand(64, W - 192));
  EXPECT_EQ(Round.r4, Rand(64, W - 192));
  for (const ken& b : BirdList) {
    EXPECT_EQ(b.x, Rand(100, W - 100));
    EXPECT_EQ(b.d, Rand(0, 1));
  }
  EXPECT_EQ(Round.walker, -240);
  EXPECT_EQ(Round.opening, 15);
  EXPECT_EQ(Round.arcLimit, 468);
  EXPECT_EQ(PlayerOne, nullptr);
}

TEST_F(RoundTest, OpeningWalksInChangesCostumeOnceAndHandsOverControl) {
  LoadTestSounds();
  Difficulty = 3;
  StartRound();
  const int W = VirtualWidth;
  ayer& one = HeroList.front();
  ayer& two = HeroList.back();
  int framesToControl = 0, standing = 0;
  while (Round.walker < W / 2 && framesToControl < 1000) {
    RoundFrame();
    framesToControl++;
    if (Round.walker < W / 2) {  // placed after this frame's step of the walk
      EXPECT_EQ(one.x, Round.walker);
      EXPECT_EQ(two.x, W - Round.walker);
    }
    if (Round.opening > 15 && Round.opening < 90) {
      EXPECT_EQ(HeroFrame(one), 2);  // standing pose while the world changes
      standing++;
    }
  }
  // 141 frames to pass a quarter, 75 of costume change, 79 on to the middle.
  EXPECT_EQ(framesToControl, 294);
  EXPECT_EQ(standing, 74);
  EXPECT_EQ(Round.opening, 90);
  EXPECT_EQ(Round.fade, 1);
  std::vector<int> played = PlayedSounds();
  EXPECT_EQ(std::count(played.begin(), played.end(), 2), 1);
  // Control starts in the frame the walk reaches the middle.
  EXPECT_EQ(one.x, W / 2 - 4);
  RoundFrame();
  EXPECT_TRUE(Round.zavored);
  // The plain world is gone: no sunset bands any more, only the blue sky.
  int rects = 0;
  for (const DrawRecord& r : HeadlessLastFrame()) rects += r.kind == DrawRecord::RECT;
  EXPECT_EQ(rects, (VirtualHeight - 128) / 6 + 1);
}

TEST_F(RoundTest, RoundEndsOnlyWithoutJumpsAndLivePickups) {
  ayer& h = StartAlone(1);
  EXPECT_EQ(RoundFrame(), 0);
  h.Jumps = 0;
  PickupList = {kup{.notyet = 15, .x = 100, .ang = 90, .t = 5}};
  for (int i = 0; i < 5; i++) EXPECT_EQ(RoundFrame(), 0) << i;
  EXPECT_TRUE(PickupList.empty());
  // Still in the air: the round ends all the same.
  h.jump = 30;
  h.jumphigh = 200;
  EXPECT_EQ(RoundFrame(), 1);
  EXPECT_GT(h.jump, 0);
}

TEST_F(RoundTest, ResultShowsGameOverAndTheWinnerOverTheLastPicture) {
  const int W = VirtualWidth, H = VirtualHeight;
  struct Case {
    int one, two;
    std::string text;
    int x, r, g, b;
  };
  for (const Case& c :
       {Case{10, 5, "Player One Wins", W / 2 - 120, 255, 0, 0}, Case{5, 10, "Player Two Wins", W / 2 + 120, 0, 80, 255},
        Case{7, 7, "DRAW!", W / 2, 0, 255, 0}}) {
    StartPlaying(3);
    HeroList.front().Jumps = HeroList.back().Jumps = 0;
    ASSERT_EQ(RoundFrame(), 1);
    HeroList.front().Score = c.one;
    HeroList.back().Score = c.two;
    int presents = HeadlessPresentCount();
    ShowRoundResult();
    EXPECT_EQ(HeadlessPresentCount(), presents + 2);
    std::vector<DrawRecord> last = HeadlessLastFrame();
    std::vector<DrawRecord> over = Texts(last, "Game Over");
    ASSERT_EQ(over.size(), 49u + 25u + 1u);
    EXPECT_EQ(over[0].r, 255);  // white outer outline first
    EXPECT_EQ(over[49].r, 8);   // then the dark inner one
    EXPECT_EQ(over.back().r, 255);
    EXPECT_EQ(over.back().g, 255);
    EXPECT_EQ(over.back().b, 0);
    std::vector<DrawRecord> winner = Texts(last, c.text);
    ASSERT_EQ(winner.size(), 75u) << c.text;
    EXPECT_EQ(winner.back().r, c.r);
    EXPECT_EQ(winner.back().g, c.g);
    EXPECT_EQ(winner.back().b, c.b);
    SetFont(winner.back().font);
    EXPECT_EQ(winner.back().x, c.x - TextWidth(c.text) / 2);
    EXPECT_EQ(winner.back().y, H / 2 + 120 - TextHeight(c.text) / 2);
    for (const char* other : {"Player One Wins", "Player Two Wins", "DRAW!"}) {
      if (other != c.text) {
        EXPECT_TRUE(Texts(last, other).empty()) << other;
      }
    }
  }
}

// A slow system presents every second frame. A round that ends on one it
// does not present still shows its result over the last picture the player
// saw: the world, the birds and the hero, not a bare sky.
TEST_F(RoundTest, OnASlowSystemTheResultLiesOverTheLastPresentedPicture) {
  Settings[SET_SLOWSYSTEM] = 1;
  for (int endParity : {1, 0}) {
    StartPlaying(2);
    ayer& h = HeroList.front();
    h.Jumps = 1;
    FrameParity = endParity;  // the frame before the last one: 0 presented, 1 not
    HeadlessClearDraws();
    const int before = HeadlessPresentCount();
    ASSERT_EQ(RoundFrame(), 0);
    h.Jumps = 0;
    ASSERT_EQ(RoundFrame(), 1);  // the round ends here, on a frame of the other parity
    const RoundState endedAt = Round;
    ShowRoundResult();
    EXPECT_EQ(HeadlessPresentCount(), before + 3);
    // What the last present showed: everything drawn since the frame was last cleared.
    const std::vector<DrawRecord>& draws = HeadlessDraws();
    ASSERT_FALSE(draws.empty());
    ASSERT_EQ(draws.back().kind, DrawRecord::PRESENT);
    size_t start = draws.size() - 1;
    while (start > 0 && draws[start - 1].kind != DrawRecord::CLEAR) --start;
    const std::vector<DrawRecord> picture(draws.begin() + static_cast<long>(start), draws.end());
    auto drawn = [&](int image) {
      return std::any_of(picture.begin(), picture.end(),
                         [&](const DrawRecord& r) { return r.kind == DrawRecord::IMAGE && r.image == image; });
    };
    EXPECT_TRUE(drawn(SceneryImage)) << endParity;  // ground, props and blocks
    EXPECT_TRUE(drawn(HeroVarnoImage) || drawn(HeroVarno2Image)) << endParity;
    EXPECT_TRUE(drawn(BirdVarnoImage) || drawn(BirdVarno2Image)) << endParity;
    EXPECT_EQ(Texts(picture, "Game Over").size(), 75u) << endParity;
    EXPECT_EQ(picture.back().kind, DrawRecord::PRESENT);
    EXPECT_EQ(Round.endState, endedAt.endState);  // showing it changes nothing of the round
  }
}

TEST_F(RoundTest, TwoPlayerRoundWaitsFourSecondsAndRecordsNothing) {
  StartPlaying(3);
  HeroList.front().Jumps = HeroList.back().Jumps = 0;
  ASSERT_EQ(RoundFrame(), 1);
  uint32_t before = static_cast<uint32_t>(Millisecs());
  FinishRound();
  EXPECT_EQ(static_cast<uint32_t>(Millisecs()) - before, 4000u);
  EXPECT_TRUE(ScoreList.empty());
  EXPECT_EQ(GameState, 0);
}

TEST_F(RoundTest, OnePlayerRoundIsRecordedAfterNameEntry) {
  StartPlaying(1);
  ayer& h = HeroList.front();
  h.Jumps = 0;
  h.Score = 4321;
  h.combo = 9;
  h.ComboLock = 5;
  RoundFrame();
  h.Best[30] = 77;
  Round.endState = 99;
  PlayerName = "Wen";
  ConfirmNameEntryWhenAsked();
  ScoreList.push_back(Scores{});  // an older record stays behind the new one
  ScoreList.back().Timestamp = 1;
  uint32_t before = static_cast<uint32_t>(Millisecs());
  FinishRound();
  EXPECT_GE(static_cast<uint32_t>(Millisecs()) - before, 1500u);
  EXPECT_EQ(GameState, 0);
  ASSERT_EQ(ScoreList.size(), 2u);
  const Scores& s = ScoreList.front();
  EXPECT_EQ(s.Score, 4321);
  EXPECT_EQ(s.Best[1], 9);
  EXPECT_EQ(s.Best[2], 9);
  EXPECT_EQ(s.Best[30], 77);
  EXPECT_EQ(s.GameMode, 1);
  EXPECT_EQ(s.Quit, 1);
  EXPECT_EQ(s.Level, 0);
  EXPECT_EQ(s.GameFlags, 0);
  EXPECT_EQ(s.Badges, 0);
  EXPECT_EQ(s.Name, PlayerName);
  EXPECT_GT(s.Timestamp, 1);  // stamped now, so sorted ahead of the old record
  // Saved at once, newest first, not only when the program closes.
  TextFile* f = ReadFile("scores.dat");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ReadLine(f), "4321|Wen|0|" + std::to_string(s.Timestamp) + "|0|1|0|1");
  EXPECT_EQ(ReadLine(f), "9|9|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|77");
  EXPECT_EQ(ReadLine(f).substr(0, 2), "0|");  // the older record follows
  CloseFile(f);
  EXPECT_FALSE(ScoreAwaitingName.has_value());
}

TEST_F(RoundTest, HardRoundWithTheJumpHeldPlaysToTheEnd) {
  GameState = 1;
  Difficulty = 2;
  HeadlessSetClock(31337);
  HeadlessKey(KEY_Z, true);
  ConfirmNameEntryWhenAsked();
  EXPECT_EQ(PlayRound(), 0);
  HeadlessKey(KEY_Z, false);
  EXPECT_EQ(GameState, 0);
  ASSERT_EQ(ScoreList.size(), 1u);
  EXPECT_EQ(ScoreList.front().GameMode, 2);
  EXPECT_EQ(ScoreList.front().Quit, 0);
  EXPECT_EQ(HeroList.front().Jumps, 0);
  EXPECT_TRUE(PickupList.empty());
  EXPECT_EQ(ScoreList.front().Score, HeroList.front().Score);
}

// The game as a player meets it, counted in frames: a press made after one
// presented frame shows in the very next presented one, on the title menu,
// the settings panel, a round's start, the hero's run and jump, and the pause
// menu (while its Escape is still held), whether every frame is presented or
// every second one.
TEST_F(RoundTest, APressShowsInTheFirstPresentedFrameAfterIt) {
  const auto hero = [](const std::vector<DrawRecord>& frame) -> const DrawRecord* {
    for (const DrawRecord& r : frame)
      if (r.kind == DrawRecord::IMAGE &&
          (r.image == HeroImage || r.image == Hero2Image || r.image == HeroVarnoImage || r.image == HeroVarno2Image))
        return &r;
    return nullptr;
  };
  for (int slow : {0, 1}) {
    SCOPED_TRACE(slow ? "every second frame presented" : "every frame presented");
    Settings[SET_SLOWSYSTEM] = slow;
    GameState = STATE_TITLE;
    Difficulty = DIFFICULTY_EASY;
    int pressed = 0;  // the key pressed after the last presented frame (0: none)
    int quiet = 40;   // presented frames to let pass before the next press
    int stage = 0;
    std::vector<std::string> answered;  // each press that showed at once
    // After a press: whether it showed; then the next key, once `wait`
    // presented frames have passed.
    const auto next = [&](bool shown, const char* what, int key, int wait) {
      EXPECT_TRUE(shown) << what << " did not show in the first presented frame after the press";
      if (shown && *what) answered.push_back(what);
      HeadlessKey(pressed, false);
      pressed = 0;
      quiet = wait;
      ++stage;
      return key;
    };
    int due = KEY_DOWN;  // the key to press once quiet
    int sleeps = 0;      // 1 ms sleeps since the last presented frame
    // A screen that waits for the key to be let go gets it after a while.
    HeadlessOnDelay([&] {
      if (++sleeps > 200 && pressed != 0) HeadlessKey(pressed, false);
    });
    HeadlessOnPresent([&] {
      const std::vector<DrawRecord> frame = HeadlessLastFrame();
      HeadlessClearDraws();
      sleeps = 0;
      if (pressed != 0) {
        const DrawRecord* h = hero(frame);
        const DrawRecord* medium = FindText(frame, "Medium");
        const float panel = static_cast<float>(SettingsSlide + 300);
        switch (stage) {
          case 0: due = next(medium && medium->alpha == 1, "title menu", KEY_TAB, 5); break;
          case 1:
            due = next(FindRect(frame, static_cast<float>(VirtualWidth), panel), "settings panel", KEY_TAB, 5);
            break;
          case 2: due = next(true, "", KEY_Z, 20); break;  // closing the panel
          case 3: due = next(GameState == STATE_ROUND, "round start", KEY_LEFT, 300); break;
          case 4:
            due = next(h && (h->image == Hero2Image || h->image == HeroVarno2Image), "hero run", KEY_Z, 10);
            break;
          case 5: due = next(h && h->frame == HERO_AIRBORNE, "hero jump", KEY_ESCAPE, 80); break;
          default:
            EXPECT_EQ(GameState, STATE_PAUSED) << "pause did not show in the first presented frame after Escape";
            EXPECT_TRUE(KeyDown(KEY_ESCAPE)) << "the pause menu waited for Escape to be let go";
            if (GameState == STATE_PAUSED) answered.push_back("pause");
            throw StopScreen();
        }
        return;
      }
      if (HeadlessPresentCount() > 5000) throw StopScreen();  // a screen that never answers
      // Pressed once quiet, the panel away and the heroes walked in.
      if (--quiet > 0 || (stage == 3 && SettingsSlide > -300) || (stage == 4 && Round.walker < VirtualWidth / 2))
        return;
      pressed = due;
      HeadlessKey(pressed, true);
    });
    EXPECT_THROW(TitleMenu(), StopScreen);
    HeadlessOnPresent(nullptr);
    HeadlessOnDelay(nullptr);
    HeadlessKey(KEY_ESCAPE, false);
    EXPECT_EQ(answered, (std::vector<std::string>{"title menu", "settings panel", "round start", "hero run",
                                                  "hero jump", "pause"}));
  }
}

// One scripted session: fixed clock, fixed key presses by frame number.
struct Session {
  std::vector<DrawRecord> draws;
  std::vector<int> scores;
  int frames = 0;
};

Session PlayScripted(int difficulty) {
  PopupList.clear();
  HeadlessClearDraws();
  HeadlessSetClock(4242);
  Difficulty = difficulty;
  StartRound();
  Session s;
  while (s.frames < 1200) {
    int f = s.frames;
    HeadlessKey(KEY_Z, f % 90 < 40);
    HeadlessKey(KEY_RIGHT, f % 300 < 100);
    HeadlessKey(KEY_LEFT, f % 300 >= 170 && f % 300 < 260);
    HeadlessKey('W', f % 70 < 10);
    HeadlessKey('D', f % 200 < 60);
    s.frames++;
    if (RoundFrame() != 0) break;
  }
  for (int k : {KEY_Z, KEY_RIGHT, KEY_LEFT, static_cast<int>('W'), static_cast<int>('D')}) HeadlessKey(k, false);
  s.draws = HeadlessDraws();
  for (const ayer& h : HeroList) s.scores.push_back(h.Score);
  return s;
}

bool SameDraw(const DrawRecord& a, const DrawRecord& b) {
  return a.kind == b.kind && a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h && a.text == b.text &&
         a.image == b.image && a.frame == b.frame && a.r == b.r && a.g == b.g && a.b == b.b && a.alpha == b.alpha &&
         a.rotation == b.rotation && a.scaleX == b.scaleX && a.scaleY == b.scaleY;
}

TEST_F(RoundTest, SameSeedAndInputsReplayIdentically) {
  for (int difficulty : {1, 3}) {
    Session a = PlayScripted(difficulty);
    Session b = PlayScripted(difficulty);
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.scores, b.scores);
    ASSERT_EQ(a.draws.size(), b.draws.size());
    ASSERT_GT(a.draws.size(), 1000u);
    size_t differ = 0;
    for (size_t i = 0; i < a.draws.size(); i++) differ += !SameDraw(a.draws[i], b.draws[i]);
    EXPECT_EQ(differ, 0u);
  }
}

TEST_F(RoundTest, MissingImagesDrawNothingAndNeverCollide) {
  ResetGameState();  // no images: every slot 0
  StartPlaying(2);
  ayer& h = HeroList.front();
  ken bird{.x = 400};
  h.x = 432;
  h.jump = 170;
  h.jumphigh = 200;
  SetDrawScale(1.1);
  BounceTest(bird, BirdImage, 0);
  EXPECT_EQ(h.jump, 170);
  PickupList = {kup{.x = h.x, .ang = 1, .t = 600}};
  h.jump = 0;
  int frames = 0;
  HeadlessKey(KEY_Z, true);
  while (RoundFrame() == 0 && frames < 2000) frames++;
  HeadlessKey(KEY_Z, false);
  EXPECT_EQ(h.Jumps, 0);
  EXPECT_EQ(h.combo, 0);
  EXPECT_EQ(h.Score, 0);
  EXPECT_LT(frames, 2000);
  for (const DrawRecord& r : HeadlessLastFrame()) EXPECT_NE(r.kind, DrawRecord::IMAGE);
}

class BirdTest : public RoundTest {};

TEST_F(BirdTest, BirdTurnsAtTheBandButKeepsItsPictureForTheFrame) {
  StartAlone(0);
  BirdList = {ken{.x = 98, .g = 2, .d = 1}};
  Round.zavored = false;
  std::vector<DrawRecord> draws = DrawnBy(BirdPass);
  EXPECT_EQ(BirdList.front().d, 0);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].image, Bird2Image);
  EXPECT_EQ(DrawnBy(BirdPass).at(0).image, BirdImage);
  Round.zavored = true;
  EXPECT_EQ(DrawnBy(BirdPass).at(0).image, BirdVarnoImage);
}

TEST_F(BirdTest, SquashedBirdShowsFourFramesAtHalfAlphaAndStandsStill) {
  StartPlaying(0);
  for (int d : {0, 1}) {
    BirdList = {ken{.x = 500, .d = d, .mash = 130}};
    std::vector<int> frames;
    for (int i = 0; i < 130; i++) {
      const DrawRecord r = DrawnBy(BirdPass).at(0);
      EXPECT_NEAR(r.alpha, 0.5, 1e-6);
      frames.push_back(r.frame);
    }
    EXPECT_EQ(BirdList.front().mash, 0);
    EXPECT_EQ(BirdList.front().x, 500);
    std::vector<int> runs;
    for (int f = 12; f <= 15; f++) runs.push_back(static_cast<int>(std::count(frames.begin(), frames.end(), f)));
    EXPECT_EQ(runs, (std::vector<int>{32, 33, 33, 32}));
    EXPECT_EQ(frames.front(), d == 0 ? 12 : 15);
    EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end()) == (d == 0));
  }
}

TEST_F(BirdTest, BirdCanBeBouncedOnTheFrameItsSquashEnds) {
  StartPlaying(3);
  ayer& one = HeroList.front();
  ayer& two = HeroList.back();
  BirdList = {ken{.x = 400, .mash = 2}};
  for (ayer* h : {&one, &two}) {
    h->x = 432;
    h->jump = 170;
    h->jumphigh = 200;
    h->jumpspeed = 3;
  }
  BirdPass();  // still squashed after this frame
  EXPECT_EQ(one.combo, 0);
  EXPECT_EQ(BirdList.front().mash, 1);
  BirdPass();  // the squash ends, and both heroes land on it
  EXPECT_EQ(one.combo, 1);
  EXPECT_EQ(two.combo, 1);
  EXPECT_EQ(BirdList.front().mash, 130);
  EXPECT_EQ(PickupList.size(), 2u);
}

}  // namespace
