// Awards and combos, the pickups' flight and catching, score popups and the
// head-up display.
#include <cmath>

#include "tests/unit/support.h"

using namespace support;

namespace {

class PickupTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    LoadSheets(MakeTestArt());
    StartAlone(0);
  }

  // A catchable pickup right at the hero's middle (hero standing at x).
  static kup AtHero(const ayer& h, int kind) {
    // ang moves to 2 this pass: centre 832 - 710 sin 2 ~ 807, the hero's middle is 802
    return kup{.n = kind, .x = h.x, .ang = 1, .t = 600};
  }
};

TEST_F(PickupTest, AwardsChangeTheComboFirstThenScore) {
  LoadTestSounds();
  ayer& h = HeroList.front();
  struct Case {
    int kind, comboBefore, comboAfter, points, sound;
  };
  const Case cases[] = {{4, 2, 17, 170, 1}, {0, 9, 10, 1000, 10}, {1, 0, 1, 10, 1},
                        {2, 3, 4, 100, 1},  {3, 1, 2, 20, 1},     {5, 4, 5, 50, 1}};
  for (const Case& c : cases) {
    h.combo = c.comboBefore;
    h.Score = 7;
    h.Jumps = 1;
    h.ComboLock = h.Floaty = 0;
    PopupList.clear();
    HeadlessClearSounds();
    AwardPickup(h, c.kind);
    EXPECT_EQ(h.combo, c.comboAfter) << "kind " << c.kind;
    EXPECT_EQ(h.Score, 7 + c.points) << "kind " << c.kind;
    ASSERT_EQ(PopupList.size(), 1u);
    EXPECT_EQ(PopupList.front().n, c.points);
    EXPECT_EQ(PopupList.front().t, 120);
    EXPECT_EQ(PopupList.front().r, 255);
    EXPECT_EQ(PopupList.front().g, 255);
    EXPECT_EQ(PopupList.front().b, 0);
    EXPECT_EQ(PlayedSounds(), std::vector<int>{c.sound}) << "kind " << c.kind;
    EXPECT_EQ(h.Jumps, c.kind == 2 ? 4 : 1);
    EXPECT_EQ(h.ComboLock, c.kind == 3 ? 1200 : 0);
    EXPECT_EQ(h.Floaty, c.kind == 5 ? 450 : 0);
  }
  // Absurd combos saturate the points and the score rather than wrapping.
  h.combo = 300000000;
  h.Score = 2147483000;
  AwardPickup(h, 0);
  EXPECT_EQ(PopupList.back().n, 2147483647);
  EXPECT_EQ(h.Score, 2147483647);
  // The popup floats from the hero's head.
  h.jumphigh = 200;
  h.jump = 30;
  AwardPickup(h, 1);
  EXPECT_EQ(PopupList.back().x, TruncInt(h.x));
  EXPECT_EQ(PopupList.back().y, TruncInt((h.y - 100.0) - 72));
}

TEST_F(PickupTest, PopupsRiseFadeAndLeaveAfter120Frames) {
  EXPECT_EQ(SpawnScorePopup(1000, 300, 200, 255, 255, 0), 1000);
  std::vector<DrawRecord> texts = Texts(DrawnBy(UpdateScorePopups));
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "1000");
  EXPECT_NEAR(texts[0].alpha, 119 / 120.0, 1e-6);
  EXPECT_EQ(texts[0].r, 255);
  EXPECT_EQ(texts[0].b, 0);
  for (int i = 0; i < 118; i++) UpdateScorePopups();
  ASSERT_EQ(PopupList.size(), 1u);
  EXPECT_DOUBLE_EQ(PopupList.front().y, 200 - 119 * 0.25);
  UpdateScorePopups();
  EXPECT_TRUE(PopupList.empty());
}

TEST_F(PickupTest, PickupsTurnAtTheSideBandsWrapTheirArcAndExpire) {
  const int W = VirtualWidth;
  kup left{.notyet = 15, .x = 52, .d = -3, .ang = 180, .t = 600};
  kup right = left;
  right.x = W - 52;
  right.d = 4;
  kup dying = left;
  dying.x = 300;
  dying.t = 1;
  PickupList = {left, right, dying};
  PickupPass();
  EXPECT_EQ(Round.pickupsAlive, 3);
  ASSERT_EQ(PickupList.size(), 2u);
  EXPECT_EQ(PickupList.front().x, 49);
  EXPECT_EQ(PickupList.front().d, 3);
  EXPECT_EQ(PickupList.front().ang, 1);  // past 180 it bounces off the ground
  EXPECT_EQ(PickupList.front().notyet, 14);
  EXPECT_EQ(PickupList.back().d, -4);
  EXPECT_EQ(PickupList.back().t, 599);
}

TEST_F(PickupTest, PickupsAreDrawnFadedWhileNewAndBlinkBeforeExpiring) {
  kup fresh{.notyet = 15, .n = 2, .x = 300, .ang = 90, .rot = 40, .rotgo = 5, .t = 600};
  kup old = fresh;
  old.notyet = 0;
  old.t = 101;  // 100 after this pass: 100 mod 30 = 10, the faint half
  old.n = 5;    // drawn upright whatever its spin
  PickupList = {fresh, old};
  const std::vector<DrawRecord> images = OfKind(DrawnBy(PickupPass), DrawRecord::IMAGE);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].frame, 2);
  EXPECT_NEAR(images[0].alpha, 0.6, 1e-6);
  EXPECT_NEAR(images[0].rotation, 40, 1e-4);
  EXPECT_EQ(images[1].frame, 5);
  EXPECT_NEAR(images[1].alpha, 0.25, 1e-6);
  EXPECT_EQ(images[1].rotation, 0);
  EXPECT_DOUBLE_EQ(PickupList.front().rot, 45);
}

TEST_F(PickupTest, HeroesCatchPickupsOnlyAfterTheyBecomeCatchable) {
  LoadTestSounds();
  ayer& h = HeroList.front();
  kup p = AtHero(h, 1);
  p.notyet = 2;
  PickupList = {p};
  PickupPass();
  EXPECT_EQ(PickupList.size(), 1u);
  EXPECT_EQ(h.combo, 0);
  PickupList.front().ang = 1;
  PickupPass();  // notyet reaches 0 in this pass and the test runs at once
  EXPECT_TRUE(PickupList.empty());
  EXPECT_EQ(h.combo, 1);
  EXPECT_EQ(h.Score, 10);

  // A pickup far overhead passes by.
  kup high = AtHero(h, 0);
  high.ang = 89;
  PickupList = {high};
  PickupPass();
  EXPECT_EQ(PickupList.size(), 1u);
}

TEST_F(PickupTest, TwoHeroesTouchingOnePickupBothScore) {
  ayer& one = StartAlone(3);
  ayer& two = HeroList.back();
  two.x = one.x + 10;
  PickupList = {AtHero(one, 4)};
  PickupPass();
  EXPECT_TRUE(PickupList.empty());
  EXPECT_EQ(one.combo, 15);
  EXPECT_EQ(two.combo, 15);
  EXPECT_EQ(one.Score, 150);
  EXPECT_EQ(two.Score, 150);
}

TEST_F(PickupTest, HeadUpDisplayTextsAndIcons) {
  const int W = VirtualWidth;
  ayer& h = HeroList.front();
  h.Score = 1234;
  h.Best[1] = 123456;
  h.Best[2] = 7;
  h.Jumps = 3;
  h.ComboLock = 50;  // 49 after this frame: neither blinking half shows it
  h.Floaty = 10;
  ResetDrawState();
  HeadlessClearDraws();
  DrawHud(h, 1);
  std::vector<DrawRecord> texts = Texts(HeadlessDraws());
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "Score : 000000001234");
  EXPECT_EQ(texts[0].x, 140);
  EXPECT_EQ(texts[0].y, 4);
  EXPECT_EQ(texts[0].r, 180);
  EXPECT_EQ(texts[0].g, 255);
  EXPECT_EQ(texts[1].text, "Last Combo : 23456");
  EXPECT_EQ(texts[1].r, 255);
  EXPECT_EQ(texts[1].y, 24);
  EXPECT_EQ(texts[2].text, "Best Combo : 00007");
  EXPECT_EQ(texts[2].y, 44);
  EXPECT_EQ(texts[3].text, "Jumps");
  EXPECT_EQ(texts[3].x, 4);
  EXPECT_EQ(h.ComboLock, 49);
  EXPECT_EQ(h.Floaty, 9);
  EXPECT_EQ(h.jumpspeed, 1.5);
  EXPECT_EQ(PlayerOne, &h);

  std::vector<int> frames;
  std::vector<DrawRecord> icons = OfKind(HeadlessDraws(), DrawRecord::IMAGE);
  ASSERT_EQ(icons.size(), 4u);  // the slow-jump icon, then three jump icons
  EXPECT_EQ(icons[0].frame, 5);
  EXPECT_EQ(icons[0].x, 120 + 32);
  for (int j = 1; j <= 3; j++) {
    EXPECT_EQ(icons[j].frame, 15);
    EXPECT_EQ(icons[j].x, -16 + 32);
    EXPECT_EQ(icons[j].y, 32 * j + 32);
  }

  // Player two: right-aligned, the combo-lock icon steady, its own jump icon.
  HeadlessClearDraws();
  h.Floaty = 0;
  DrawHud(h, 2);
  texts = Texts(HeadlessDraws());
  ASSERT_EQ(texts.size(), 4u);
  SetFont(texts[0].font);
  EXPECT_EQ(texts[0].x + TextWidth(texts[0].text), W - 140);
  EXPECT_EQ(texts[3].x + TextWidth("Jumps"), W - 4);
  icons = OfKind(HeadlessDraws(), DrawRecord::IMAGE);
  ASSERT_EQ(icons.size(), 4u);
  EXPECT_EQ(icons[0].frame, 3);
  EXPECT_EQ(icons[0].x, W - 256 + 32);
  EXPECT_EQ(icons[1].frame, 14);
  EXPECT_EQ(icons[1].x, W - 48 + 32);
  EXPECT_EQ(PlayerTwo, &h);
}

TEST_F(PickupTest, ComboLockIconBlinksForPlayerOne) {
  ayer& h = HeroList.front();
  h.Jumps = 0;
  int shown = 0;
  h.ComboLock = 60;
  for (int i = 0; i < 60; i++) {
    for (const DrawRecord& r : DrawnBy([&] { DrawHud(h, 1); })) shown += r.kind == DrawRecord::IMAGE && r.frame == 3;
  }
  // Counts 59 .. 0: shown where the count mod 30 is below 15.
  EXPECT_EQ(shown, 30);
  EXPECT_EQ(h.ComboLock, 0);
}

}  // namespace
