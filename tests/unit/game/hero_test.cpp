// Heroes: jumping, walls, bounces on birds and block hits, played through
// whole round frames with scripted keys where the behaviour spans frames.
#include <algorithm>
#include <cmath>

#include "tests/unit/support.h"

using namespace support;

namespace {

class HeroTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    LoadSheets(MakeTestArt());
  }

  // A hero placed over a walking bird so the bounce test's pictures meet.
  static ken BirdUnder(ayer& h, int birdX) {
    ken b;
    b.x = birdX;
    h.x = birdX + 32;
    h.y = VirtualHeight - 126;
    h.jumphigh = 200;
    h.jumpspeed = 3;
    return b;
  }
};

TEST_F(HeroTest, JumpLastsSixtyFramesAndHeldJumpRepeatsAfterLanding) {
  ayer& h = StartAlone(0);
  HeadlessKey(KEY_Z, true);
  RoundFrame();
  HeadlessKey(KEY_Z, false);
  EXPECT_EQ(h.Jumps, 7);
  EXPECT_EQ(h.jumphigh, 200);
  EXPECT_DOUBLE_EQ(h.jump, 6);
  Frames(58);
  EXPECT_DOUBLE_EQ(h.jump, 180);  // 59 frames in: at the top of the drawn arc's end
  // The airborne pose is frame 8 of the hero sheet.
  bool airborne = false;
  for (const DrawRecord& r : HeadlessLastFrame()) {
    if (r.kind == DrawRecord::IMAGE && r.image == HeroVarnoImage) airborne = r.frame == 8;
  }
  EXPECT_TRUE(airborne);
  RoundFrame();
  EXPECT_EQ(h.jump, 0);  // landed on frame 60

  // Holding the control: a new jump on the frame after each landing.
  HeadlessKey(KEY_UP, true);
  Frames(61);
  EXPECT_EQ(h.Jumps, 5);
  HeadlessKey(KEY_UP, false);
}

TEST_F(HeroTest, FloatyJumpTakesTwiceAsLongAtTheSameHeight) {
  ayer& h = StartAlone(0);
  h.Floaty = 1000;
  HeadlessKey(KEY_Z, true);
  RoundFrame();
  HeadlessKey(KEY_Z, false);
  EXPECT_DOUBLE_EQ(h.jump, 3);
  EXPECT_EQ(h.jumphigh, 200);
  Frames(118);
  EXPECT_DOUBLE_EQ(h.jump, 180);
  RoundFrame();
  EXPECT_EQ(h.jump, 0);
  EXPECT_EQ(h.Floaty, 1000 - 120);
}

TEST_F(HeroTest, WallsHoldTheHeroFacingThemWithoutWalking) {
  ayer& h = StartAlone(0);
  HeadlessKey(KEY_LEFT, true);
  Frames(200);
  EXPECT_EQ(h.x, 40);
  EXPECT_EQ(h.d, -1);
  int stp = h.stp;
  Frames(10);
  EXPECT_EQ(h.x, 40);
  EXPECT_DOUBLE_EQ(h.xs, -0.6);
  EXPECT_EQ(h.d, -1);
  EXPECT_EQ(h.stp, stp);
  HeadlessKey(KEY_LEFT, false);

  HeadlessKey(KEY_RIGHT, true);
  Frames(300);
  EXPECT_EQ(h.x, VirtualWidth - 40);
  EXPECT_EQ(h.d, 1);
  EXPECT_DOUBLE_EQ(h.xs, 0.6);
  HeadlessKey(KEY_RIGHT, false);

  // Released: braking by 0.5 brings it to a stop inside the dead zone.
  Frames(1);
  EXPECT_EQ(h.xs, 0);
  EXPECT_EQ(h.stp, 0);
}

TEST_F(HeroTest, RunningSpeedIsCappedAndBothDirectionsCancelWithoutBraking) {
  ayer& h = StartAlone(0);
  h.x = 100;
  HeadlessKey(KEY_RIGHT, true);
  Frames(30);
  EXPECT_DOUBLE_EQ(h.xs, 8);
  HeadlessKey(KEY_LEFT, true);
  double x = h.x;
  Frames(5);
  EXPECT_NEAR(h.xs, 8, 1e-9);
  EXPECT_NEAR(h.x, x + 40, 1e-6);
  HeadlessKey(KEY_LEFT, false);
  HeadlessKey(KEY_RIGHT, false);
}

TEST_F(HeroTest, BouncesRaiseTheArcUpToTheLimit) {
  LoadTestSounds();
  ayer& h = StartAlone(0);
  ken bird = BirdUnder(h, 400);
  const int expectedArc[] = {250, 300, 350, 400, 450, 468, 468};
  int score = 0;
  for (int i = 0; i < 7; i++) {
    h.jump = 170;
    bird.mash = 0;
    SetDrawScale(1.1);
    BounceTest(bird, BirdVarnoImage, 0);
    score += 5 * (i + 1);
    EXPECT_EQ(h.jumphigh, expectedArc[i]) << "bounce " << i + 1;
    EXPECT_DOUBLE_EQ(h.jump, 3);
    EXPECT_EQ(h.combo, i + 1);
    EXPECT_EQ(h.Score, score);
    EXPECT_EQ(bird.mash, 130);
  }
  ASSERT_EQ(PickupList.size(), 7u);
  const kup& p = PickupList.front();
  EXPECT_EQ(p.n, 1);
  EXPECT_EQ(p.x, 400 - 16);
  EXPECT_EQ(p.d, -3.5);
  EXPECT_EQ(p.ang, 5);
  EXPECT_EQ(p.t, 600);
  EXPECT_EQ(p.notyet, 15);
  ASSERT_EQ(PopupList.size(), 7u);
  EXPECT_EQ(PopupList.back().n, 35);
  EXPECT_EQ(PopupList.back().x, 432);
  EXPECT_EQ(PopupList.back().y, TruncInt((h.y - 468 * SinDeg(3)) - 72));
  for (int n : PlayedSounds()) {
    EXPECT_GE(n, 5);
    EXPECT_LE(n, 9);
  }
  EXPECT_EQ(PlayedSounds().size(), 7u);
}

TEST_F(HeroTest, OnlyTheLastTwentyDegreesOfAFallBounce) {
  ayer& h = StartAlone(0);
  ken bird = BirdUnder(h, 400);
  SetDrawScale(1.1);
  for (double angle : {20.0, 160.0}) {  // both meet the bird
    h.jump = angle;
    BounceTest(bird, BirdVarnoImage, 0);
    EXPECT_EQ(h.jump, angle);
    EXPECT_EQ(h.combo, 0);
  }
  EXPECT_TRUE(PickupList.empty());
  h.jump = 160.5;
  BounceTest(bird, BirdVarnoImage, 0);
  EXPECT_EQ(h.combo, 1);

  // A bird walking left releases its pickup ahead of itself, flying right.
  ken left = BirdUnder(h, 600);
  left.d = 1;
  h.jump = 175;
  BounceTest(left, Bird2Image, 0);
  EXPECT_EQ(PickupList.back().x, 600 + 112);
  EXPECT_EQ(PickupList.back().d, 3.5);

  // Too far to the side: no contact, no bounce.
  ken away = BirdUnder(h, 400);
  h.x = 400 + 32 + 200;
  h.jump = 175;
  BounceTest(away, BirdVarnoImage, 0);
  EXPECT_EQ(h.jump, 175);
}

TEST_F(HeroTest, BounceDrawsRateThenSoundThenPickupSpin) {
  LoadTestSounds();
  ayer& h = StartAlone(0);
  ken bird = BirdUnder(h, 400);
  h.jump = 170;
  SeedRnd(777);
  double rate = Rnd(0.8, 1.2);
  int sfx = Rand(5, 9);
  double rot = Rnd(0, 360), rotgo = Rnd(-6, 6);
  SeedRnd(777);
  HeadlessClearSounds();
  SetDrawScale(1.1);
  BounceTest(bird, BirdVarnoImage, 0);
  ASSERT_EQ(PlayedSounds(), std::vector<int>{sfx});
  bool rateSeen = false;
  for (const SoundRecord& r : HeadlessSounds()) {
    if (r.kind == SoundRecord::RATE) rateSeen = std::fabs(r.value - rate) < 1e-5;
  }
  EXPECT_TRUE(rateSeen);
  ASSERT_EQ(PickupList.size(), 1u);
  EXPECT_DOUBLE_EQ(PickupList.front().rot, rot);
  EXPECT_DOUBLE_EQ(PickupList.front().rotgo, rotgo);
}

TEST_F(HeroTest, BlockHitTurnsTheRiseIntoAFallAndRestsTheBlock) {
  LoadTestSounds();
  ayer& h = StartAlone(0);
  const int W = VirtualWidth;
  const int bx = W / 4 + W / 12 + 64;  // centre of block 1
  h.x = bx;
  h.Jumps = 0;
  h.jumphigh = 468;
  h.jump = 3;
  HeadlessClearSounds();
  int frames = 0;
  while (Round.bump[1] == 0 && frames < 40) {
    RoundFrame();
    frames++;
  }
  ASSERT_EQ(Round.bump[1], 16);
  EXPECT_GT(h.jump, 90);
  EXPECT_LT(h.jump, 120);
  EXPECT_EQ(h.combo, 1);
  EXPECT_EQ(h.Score, 5);
  std::vector<int> played = PlayedSounds();
  EXPECT_EQ(std::count(played.begin(), played.end(), 3), 1);
  ASSERT_EQ(PickupList.size(), 1u);
  const kup& p = PickupList.front();
  EXPECT_EQ(p.ang, 76);  // released at 75, already moved once this frame
  EXPECT_NEAR(p.x, bx + p.d, 1e-9);
  EXPECT_EQ(p.t, 1199);
  EXPECT_TRUE(p.n == 0 || (p.n >= 2 && p.n <= 5));
  EXPECT_EQ(PopupList.back().n, 5);
  EXPECT_EQ(PopupList.back().x, bx);
  // The frame service has already lifted it by a quarter pixel.
  EXPECT_NEAR(PopupList.back().y, TruncInt((h.y - 468 * SinDeg(h.jump)) - 128), 0.25 + 1e-9);
  PickupList.clear();

  // The block rises 16 pixels, sinks back one per frame, then rests.
  Frames(16);
  EXPECT_EQ(Round.bump[1], 0);
  EXPECT_EQ(Round.rest[1], 419);

  // While resting it cannot be hit again.
  for (int attempt = 0; attempt < 5; attempt++) {
    while (h.jump != 0) RoundFrame();
    h.jump = 3;
    for (int i = 0; i < 30; i++) RoundFrame();
  }
  EXPECT_EQ(Round.bump[1], 0);
  EXPECT_TRUE(PickupList.empty());
  while (Round.rest[1] > 0) RoundFrame();
  while (h.jump != 0) RoundFrame();
  h.jump = 3;
  for (int i = 0; i < 30 && Round.bump[1] == 0; i++) RoundFrame();
  EXPECT_EQ(Round.bump[1], 16);
}

TEST_F(HeroTest, FirstHeroTestsBlocksAtScaleOnePointOneSecondAtOne) {
  StartAlone(3);
  const int W = VirtualWidth;
  ayer& one = HeroList.front();
  ayer& two = HeroList.back();
  // Both heroes so high that their pictures meet a block only when scaled
  // up by 1.1, each under its own block.
  for (ayer* h : {&one, &two}) {
    h->jumphigh = 468;
    h->jump = std::asin(439.0 / 468.0) * 180 / 3.14159265358979;
  }
  one.x = 1 * (W / 4) + W / 12 + 64;
  two.x = 2 * (W / 4) + W / 12 + 64;
  ResetDrawState();
  SetDrawScale(1.1);
  BlockPass();
  EXPECT_EQ(one.combo, 1);
  EXPECT_EQ(Round.bump[1], 16);
  EXPECT_EQ(two.combo, 0);
  EXPECT_EQ(Round.bump[2], 0);
  float sx = 0, sy = 0;
  GetScale(sx, sy);
  EXPECT_EQ(sx, 1);
}

TEST_F(HeroTest, ComboLockKeepsTheComboOnLanding) {
  ayer& h = StartAlone(0);
  h.combo = 5;
  h.ComboLock = 100;
  RoundFrame();
  EXPECT_EQ(h.combo, 5);
  EXPECT_EQ(h.ComboLock, 99);
  EXPECT_EQ(h.Best[1], 5);
  EXPECT_EQ(h.Best[2], 5);
  h.ComboLock = 1;  // runs out in this frame's display, before the control step
  RoundFrame();
  EXPECT_EQ(h.combo, 0);
  EXPECT_EQ(h.Best[1], 5);  // the last non-zero combo stays on show
}

TEST_F(HeroTest, SecondHeroIsTintedAndOpeningMirrorsIt) {
  Difficulty = 3;
  StartRound();
  BirdList.clear();
  RoundFrame();
  ayer& one = HeroList.front();
  ayer& two = HeroList.back();
  EXPECT_EQ(one.x, -236);  // the walk steps before the heroes are placed
  EXPECT_EQ(two.x, VirtualWidth + 236);
  EXPECT_EQ(two.d, -1);
  EXPECT_EQ(PlayerOne, &one);
  EXPECT_EQ(PlayerTwo, &two);
  int plain = 0, tinted = 0;
  for (const DrawRecord& r : HeadlessLastFrame()) {
    if (r.kind != DrawRecord::IMAGE) continue;
    if (r.image == HeroImage && r.r == 255 && r.g == 255 && r.b == 255) plain++;
    if (r.image == Hero2Image && r.r == 80 && r.g == 255 && r.b == 255) tinted++;
  }
  EXPECT_EQ(plain, 1);
  EXPECT_EQ(tinted, 1);
}

}  // namespace
