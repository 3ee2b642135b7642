// The pause menu, run the way the round meets it: Escape held while a round is
// in play, through FinishFrame, steered frame by frame from the present hook.
#include <cmath>
#include <numbers>

#include "media/random.h"
#include "tests/unit/support.h"

using namespace support;

namespace {

class PauseMenuTest : public ShellTest {
 protected:
  std::vector<std::vector<DrawRecord>> frames;  // each pause frame's draws
  std::function<void(int)> script;              // told the number of the frame just shown
  int32_t escapeUpAt = -1;                      // the delay hook lets Escape go at this clock
  std::function<void()> onDelay;

  void SetUp() override {
    ShellTest::SetUp();
    OpenTestDisplay();
    GameState = 1;
    HeadlessOnPresent([this] {
      if (GameState != 2) return;
      frames.push_back(HeadlessLastFrame());
      if (frames.size() > 5000) throw StopScreen();  // a menu that never ends
      if (script) script(static_cast<int>(frames.size()));
    });
    HeadlessOnDelay([this] {
      if (escapeUpAt >= 0 && Millisecs() >= escapeUpAt) {
        HeadlessKey(KEY_ESCAPE, false);
        escapeUpAt = -1;
      }
      if (onDelay) onDelay();
    });
  }

  // Escape held for `ms`, as a player presses it.
  void PressEscape(int ms) {
    HeadlessKey(KEY_ESCAPE, true);
    escapeUpAt = Millisecs() + ms;
  }

  // One round frame with Escape tapped: answers what FinishFrame answers.
  int Pause(int holdMs = 30) {
    frames.clear();
    PressEscape(holdMs);
    return FinishFrame(0);
  }

  // 0 when "Continue" is highlighted, 1 for "Quit", -1 for neither; checks
  // colour and indent agree.
  static int Highlighted(const std::vector<DrawRecord>& frame) {
    int found = -1;
    const char* items[] = {"Continue", "Quit"};
    for (int i = 0; i < 2; ++i) {
      const DrawRecord* r = FindText(frame, items[i]);
      if (!r) ADD_FAILURE() << items[i] << " not drawn";
      if (!r) continue;
      const bool yellow = r->r == 255 && r->g == 255 && r->b == 0;
      EXPECT_FLOAT_EQ(r->x, yellow ? 158.f : 138.f) << items[i];
      EXPECT_FLOAT_EQ(r->y, 360.f + 60.f * (i + 1)) << items[i];
      if (yellow) found = i;
    }
    return found;
  }
};

TEST_F(PauseMenuTest, HeldEscapeAndHeldButtonNeedReleasingFirst) {
  HeadlessKey(KEY_Z, true);  // the jump button, still held as the pause opens
  const int presentsBefore = HeadlessPresentCount();
  const int32_t pressedAt = Millisecs();
  int32_t firstFrameAt = 0;
  int presentsAtFirst = 0;
  bool escapeDownAtFirst = false;
  script = [&](int f) {
    if (f == 1) {
      firstFrameAt = Millisecs();
      presentsAtFirst = HeadlessPresentCount();
      escapeDownAtFirst = KeyDown(KEY_ESCAPE);
    }
    if (f == 10) HeadlessKey(KEY_Z, false);
    if (f == 15) HeadlessKey(KEY_Z, true);  // a fresh press chooses
  };
  EXPECT_EQ(Pause(500), 1);

  // The round frame is shown, and right after its wait, before another
  // round frame, the menu, Escape still held; that Escape answers nothing
  // however long it is held; no choice while Z stayed down.
  EXPECT_EQ(firstFrameAt - pressedAt, 15);
  EXPECT_TRUE(escapeDownAtFirst);
  EXPECT_EQ(presentsAtFirst - presentsBefore, 2);
  EXPECT_EQ(CountKind(frames[0], DrawRecord::CLEAR), 1);
  EXPECT_EQ(frames.size(), 16u);
  EXPECT_EQ(GameState, 1);
}

TEST_F(PauseMenuTest, SelectionWrapsBothWaysAndEscapeAnswersBySelection) {
  std::vector<int> lit;
  script = [&](int f) {
    lit.push_back(Highlighted(frames.back()));
    switch (f) {
      case 2: HeadlessKey(KEY_UP, true); break;  // Continue -> Quit
      case 3: HeadlessKey(KEY_UP, false); break;
      case 5: HeadlessKey(KEY_DOWN, true); break;  // Quit -> nothing -> Continue
      case 6: HeadlessKey(KEY_DOWN, false); break;
      case 8: HeadlessKey(KEY_W, true); break;  // player 2's up works too
      case 9: HeadlessKey(KEY_W, false); break;
      case 11: PressEscape(50); break;
      default: break;
    }
  };
  EXPECT_EQ(Pause(), 99);  // Escape while "Quit" is highlighted quits
  EXPECT_EQ(lit, (std::vector<int>{0, 0, 1, 1, 1, -1, 0, 0, 1, 1, 1}));

  // Escape anywhere else continues, including on the wrap frame.
  script = [&](int f) {
    if (f == 1) HeadlessKey(KEY_DOWN, true);
    if (f == 2) HeadlessKey(KEY_DOWN, false);
    if (f == 3) HeadlessKey(KEY_DOWN, true);
    if (f == 4) {
      EXPECT_EQ(Highlighted(frames.back()), -1);
      PressEscape(50);
    }
  };
  EXPECT_EQ(Pause(), 1);
  EXPECT_EQ(frames.size(), 4u);
}

TEST_F(PauseMenuTest, ConfirmWithAnyPlayersButtonOrSpace) {
  Keys[40 + 11] = KEY_K;  // player 3's second button
  script = [&](int f) {
    if (f == 1) HeadlessKey(KEY_DOWN, true);
    if (f == 2) HeadlessKey(KEY_DOWN, false);
    if (f == 3) HeadlessKey(KEY_K, true);
  };
  EXPECT_EQ(Pause(), 99);
  EXPECT_EQ(frames.size(), 4u);
  HeadlessKey(KEY_K, false);

  script = [&](int f) {
    if (f == 2) HeadlessKey(KEY_SPACE, true);
  };
  EXPECT_EQ(Pause(), 1);
  EXPECT_EQ(frames.size(), 3u);
  HeadlessKey(KEY_SPACE, false);
}

TEST_F(PauseMenuTest, TitlesStandStillAndThePictureTurnsAndIsFreed) {
  std::vector<std::vector<DrawRecord>> all;
  int picture = 0;
  script = [&](int f) {
    if (f == 1) {
      for (const DrawRecord& r : frames[0])
        if (r.kind == DrawRecord::IMAGE) picture = r.image;
      EXPECT_EQ(ImageWidth(picture), 800);  // display pixels, not virtual units
      EXPECT_EQ(ImageHeight(picture), 600);
    }
    if (f == 3) PressEscape(30);
  };
  Pause();
  all.insert(all.end(), frames.begin(), frames.end());
  EXPECT_NE(picture, 0);
  EXPECT_EQ(ImageWidth(picture), 0) << "frozen picture kept after the pause";
  const int firstPicture = picture;
  Pause();
  all.insert(all.end(), frames.begin(), frames.end());
  EXPECT_EQ(ImageWidth(picture), 0);
  EXPECT_EQ(ImageWidth(firstPicture), 0);

  // The places follow the fixed seed: blue, green, red, y, x per title.
  SeedRnd(37171650);
  SetFont(Fonts[7]);
  const int half = TextWidth(WindowTitle) / 2, halfH = TextHeight(WindowTitle) / 2;
  std::vector<DrawRecord> expected(180);
  for (DrawRecord& e : expected) {
    e.b = Rand(1, 5) * 50;
    e.g = Rand(1, 5) * 50;
    e.r = Rand(1, 5) * 50;
    e.y = static_cast<float>(Rand(0, VirtualHeight) - halfH);
    e.x = static_cast<float>(Rand(0, VirtualWidth) - half);
  }

  ASSERT_EQ(all.size(), 6u);
  for (size_t f = 0; f < all.size(); ++f) {
    const int n = static_cast<int>(f % 3) + 1;  // frame number within its pause
    const double a1 = 0.1 * n, a2 = 0.4 * n;
    const std::vector<DrawRecord>& frame = all[f];
    const std::vector<DrawRecord> titles = Texts(frame, WindowTitle);
    ASSERT_EQ(titles.size(), 180u);
    for (size_t i = 0; i < titles.size(); ++i) {
      const DrawRecord& t = titles[i];
      EXPECT_EQ(t.x, expected[i].x) << "title " << i + 1;
      EXPECT_EQ(t.y, expected[i].y) << "title " << i + 1;
      EXPECT_EQ(t.r, expected[i].r);
      EXPECT_EQ(t.g, expected[i].g);
      EXPECT_EQ(t.b, expected[i].b);
      EXPECT_FLOAT_EQ(t.alpha, 0.4f);
      EXPECT_NEAR(t.rotation, a1 + 2.0 * (static_cast<double>(i) + 1), 1e-3);
      EXPECT_NEAR(t.scaleX, std::sin(a2 * std::numbers::pi / 180) * 0.5 + 1.5, 1e-5);
    }
    // 140 below the menu, 40 over it.
    size_t firstItem = 0, titlesBefore = 0;
    while (frame[firstItem].text != "Continue") ++firstItem;
    for (size_t k = 0; k < firstItem; ++k) titlesBefore += frame[k].text == WindowTitle;
    EXPECT_EQ(titlesBefore, 140u);

    // The picture turns and pulses about the middle; the box is plain.
    const DrawRecord& pic = frame[1];
    ASSERT_EQ(pic.kind, DrawRecord::IMAGE);
    EXPECT_EQ(pic.x, 640);
    EXPECT_EQ(pic.y, 480);
    EXPECT_NEAR(pic.rotation, a1, 1e-4);
    EXPECT_NEAR(pic.scaleY, std::sin(a2 * 1.3 * std::numbers::pi / 180) * 0.5 + 1.5, 1e-5);
    bool box = false;
    for (const DrawRecord& r : frame)
      if (r.kind == DrawRecord::RECT && r.x == 128 && r.y == 360 && r.w == 213 && r.h == 240) {
        box = true;
        EXPECT_EQ(r.rotation, 0);
        EXPECT_FLOAT_EQ(r.alpha, 0.5f);
      }
    EXPECT_TRUE(box);
  }
}

TEST_F(PauseMenuTest, RoundClockSkipsThePauseAndRandomnessIsReseeded) {
  GameStartTime = Millisecs() - 5000;
  const int32_t elapsedBefore = Millisecs() - GameStartTime;
  const int32_t startBefore = GameStartTime;
  bool leaving = false;
  int32_t menuState = 0;                            // the generator as the menu's last frame left it
  std::vector<std::pair<int32_t, int32_t>> delays;  // generator state and clock at each sleep after
  script = [&](int f) {
    EXPECT_EQ(GameState, 2);
    if (f == 700) {  // about ten and a half seconds
      PressEscape(200);
      leaving = true;
      menuState = RndState();
    }
  };
  onDelay = [&] {
    if (leaving) delays.emplace_back(RndState(), Millisecs());
  };
  EXPECT_EQ(Pause(), 1);
  EXPECT_EQ(GameState, 1);
  EXPECT_GE(GameStartTime - startBefore, 700 * 15);
  // Only the round frame that opened the pause counts toward the round.
  EXPECT_LE(Millisecs() - GameStartTime - elapsedBefore, 20);
  // Seeded from the clock just before the first wait for Escape's release:
  // the first sleep with the generator moved off the menu's state.
  const auto exit = std::find_if(delays.begin(), delays.end(), [&](auto d) { return d.first != menuState; });
  ASSERT_NE(exit, delays.end());
  EXPECT_EQ(exit->first, exit->second - 1);
}

TEST_F(PauseMenuTest, TabOpensTheSettingsPanelOverTheRunningMenu) {
  size_t plainDraws = 0;
  script = [&](int f) {
    if (f == 2) {
      plainDraws = frames.back().size();
      TapKey(KEY_TAB);
    }
    if (f == 20) {
      EXPECT_EQ(SettingsOpen, 1);
      EXPECT_GT(SettingsSlide, -300);
      EXPECT_EQ(Highlighted(frames.back()), 0);  // the menu still runs underneath
      EXPECT_GT(frames.back().size(), plainDraws + 20) << "panel not drawn";
      PressEscape(30);
    }
  };
  EXPECT_EQ(Pause(), 1);
  EXPECT_EQ(frames.size(), 20u);
  EXPECT_TRUE(fs::exists(files / "Setup.ini"));
}

}  // namespace
