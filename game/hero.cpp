// hero.cpp — the heroes: walking, jumping, bouncing on birds and bumping the
// blocks from below.
#include "game/game.h"
#include "game/replay.h"
#include "media/random.h"
#include "shell/shell.h"

namespace {

// Height of the hero above its ground line at a given arc angle.
double Lift(const ayer& h, double angle) { return h.jumphigh * SinDeg(angle); }

// The walking controls: wall, jump start, combo reset, run and brake.
void Control(ayer& h, int player) {
  const int W = VirtualWidth;
  h.x += h.xs;
  if (h.x > W - 40) {
    h.x = W - 40;
    if (h.xs > 0) h.xs = 0;
  }
  if (h.x < 40) {
    h.x = 40;
    if (h.xs < 0) h.xs = 0;
  }
  const int held = HeldActions(player);
  if (h.jump == 0 && (held & INPUT_JUMP) && h.Jumps > 0) {
    h.Jumps -= 1;
    h.jump = h.jumpspeed;
    h.jumphigh = h.jumpability;
    PlaySfx(SFX_JUMP, 1, 1, 0);
  }
  if (h.jump == 0 && h.ComboLock == 0) h.combo = 0;
  const bool left = (held & INPUT_LEFT) != 0;
  const bool right = (held & INPUT_RIGHT) != 0;
  if (left) h.xs -= 0.6;
  if (right) h.xs += 0.6;
  if (!left && h.xs < 0) h.xs += 0.5;
  if (!right && h.xs > 0) h.xs -= 0.5;
  if (h.xs > -0.4 && h.xs < 0.4) {
    h.xs = 0;
    h.stp = 0;
  }
  if (h.xs < 0) h.d = -1;
  if (h.xs > 0) h.d = 1;
  double step = h.xs / 3;
  h.stp = TruncInt(h.stp + (step < 0 ? -step : step));
}

// Releases a pickup from a bumped block: kind 0, or 2 to 5 by chance.
void ReleaseBlockPickup(int bx) {
  kup p;
  p.notyet = 15;
  p.x = bx;
  p.ang = 75;
  p.rot = Rnd(0, 360);
  p.rotgo = Rnd(-6, 6);
  p.d = Rnd(-3, 3);
  p.t = 1200;
  p.n = PICKUP_COIN;
  if (Rand(0, 5) == 1) p.n = PICKUP_JUMPS;
  if (Rand(0, 5) == 1) p.n = PICKUP_LOCK;
  if (Rand(0, 5) == 1) p.n = PICKUP_STAR;
  if (Rand(0, 5) == 1) p.n = PICKUP_FLOATY;
  PickupList.push_back(p);
}

}  // namespace

int HeroPicture(const ayer& hero) {
  if (hero.d == -1) return Round.zavored ? HeroVarno2Image : Hero2Image;
  return Round.zavored ? HeroVarnoImage : HeroImage;
}

int HeroFrame(const ayer& hero) { return hero.jump > 0 ? HERO_AIRBORNE : hero.stp / 2; }

void HeroPass() {
  const int W = VirtualWidth, H = VirtualHeight;
  int k = 0;
  for (ayer& h : HeroList) {
    Round.jumpsTotal += h.Jumps;
    if (h.Best[2] < h.combo) h.Best[2] = h.combo;
    if (h.combo != 0) h.Best[1] = h.combo;

    if (Round.walker < W / 2) {
      h.stp += 1;
      h.x = Round.walker;
      if (k == 1) {
        h.x = W - Round.walker;
        h.d = -1;
      }
    }
    if (Round.walker > W / 4 - 4 && Round.opening < 90) h.stp = 4;

    k += 1;
    h.jumpspeed = 3.0;
    DrawHud(h, k);
    if (Round.walker >= W / 2) Control(h, k);

    h.y = H - 126;
    if (h.xs > h.MaxSpeed) h.xs = h.MaxSpeed;
    if (h.xs < -h.MaxSpeed) h.xs = -h.MaxSpeed;
    if (h.jump > 0) {
      h.jump += h.jumpspeed;
      if (h.jump > 180) h.jump = 0;
    }
    if (h.stp > 15) h.stp -= 16;

    if (k == 2) SetColorAlpha(80, 255, 255, 1);
    else SetColorAlpha(255, 255, 255, 1);
    DrawSprite(HeroPicture(h), TruncInt(h.x - 32), TruncInt((h.y - 64) - Lift(h, h.jump)), HeroFrame(h), SPRITE_IMAGE);

    ResetDrawState();
    SetDrawScale(0.5);
    if (h.Floaty > 0 && (h.Floaty % 30 < 15 || h.Floaty > 75)) {
      DrawSprite(GetsImage, TruncInt(h.x - 16), TruncInt(h.y - Lift(h, h.jump)), PICKUP_FLOATY, SPRITE_IMAGE);
    }
    SetDrawScale(1);
  }
}

void BounceTest(ken& bird, int image, int frame) {
  const int H = VirtualHeight;
  const float birdX = static_cast<float>(bird.x), birdY = static_cast<float>(H - 256 + bird.y);
  for (ayer& h : HeroList) {
    for (int a = 0; a <= 12; a += 4) {
      // Only the end of a fall bounces; the cheap test goes first.
      if (!(h.jump > 160)) continue;
      int hx = TruncInt(h.x - 32);
      int hy = TruncInt((h.y - 64) - Lift(h, h.jump) + a);
      if (!ImagesCollide(HeroPicture(h), static_cast<float>(hx), static_cast<float>(hy), HeroFrame(h), image, birdX,
                         birdY, frame)) {
        continue;
      }
      h.jumphigh += 50;
      if (h.jumphigh > Round.arcLimit) h.jumphigh = Round.arcLimit;
      h.jump = h.jumpspeed;
      h.combo += 1;
      double rate = Rnd(0.8, 1.2);
      int sfx = Rand(SFX_BOUNCE, SFX_BOUNCE + 4);
      PlaySfx(sfx, rate, 1, 0);
      AwardPoints(h, 5, 72);
      bird.mash = 130;

      kup p;
      p.notyet = 15;
      p.x = bird.d == 1 ? bird.x + 112 : bird.x - 16;
      p.ang = 5;
      p.rot = Rnd(0, 360);
      p.rotgo = Rnd(-6, 6);
      p.d = bird.d == 1 ? 3.5 : -3.5;
      p.n = PICKUP_FEATHER;
      p.t = 600;
      PickupList.push_back(p);
    }
  }
}

void BlockPass() {
  const int W = VirtualWidth, H = VirtualHeight;
  for (ayer& h : HeroList) {
    for (int i = 0; i < 4; i++) {
      const int bx = i * (W / 4) + W / 12 + 64;
      const int by = H - 664 - Round.bump[i];
      const int image = HeroPicture(h), frame = HeroFrame(h);
      const float hx = static_cast<float>(TruncInt(h.x));
      auto heroY = [&](double angle) { return static_cast<float>(TruncInt((h.y - 32) - Lift(h, angle))); };
      if (!ImagesCollide(image, hx, heroY(h.jump), frame, SceneryImage, static_cast<float>(bx), static_cast<float>(by),
                         SCENERY_BLOCK)) {
        continue;
      }
      // Three frames earlier the hero was clear: this is the moment of contact.
      bool before = ImagesCollide(image, hx, heroY(h.jump - 3 * h.jumpspeed), frame, SceneryImage,
                                  static_cast<float>(bx), static_cast<float>(by), SCENERY_BLOCK);
      if (before || !(h.jump < 90) || Round.rest[i] != 0) continue;

      h.jump = (90 - h.jump) + 90;
      PlaySfx(SFX_BLOCK, 1, 1, 0);
      Round.bump[i] = 16;
      h.combo += 1;
      AwardPoints(h, 5, 128);
      ReleaseBlockPickup(bx);
    }
    SetDrawScale(1);
  }
}
