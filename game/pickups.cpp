// pickups.cpp — combos and points, the flying pickups, the floating score
// numbers and each player's head-up display.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "game/game.h"
#include "shell/shell.h"

int SpawnScorePopup(int points, int x, int y, int r, int g, int b) {
  ore o;
  o.n = points;
  o.x = x;
  o.y = y;
  o.t = 120;
  o.r = r;
  o.g = g;
  o.b = b;
  PopupList.push_back(o);
  return points;
}

void UpdateScorePopups() {
  SetFont(Fonts[FONT_HUD]);
  ResetDrawState();
  for (auto it = PopupList.begin(); it != PopupList.end();) {
    ore& o = *it;
    o.t -= 1;
    o.y -= 0.25;
    SetColorAlpha(o.r, o.g, o.b, o.t / 120.0);
    DrawTextAligned(TruncInt(o.x), TruncInt(o.y), Str(o.n), 1, 1);
    it = o.t <= 0 ? PopupList.erase(it) : std::next(it);
  }
}

void AwardPoints(ayer& h, int value, int above) {
  constexpr int64_t lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  int points = static_cast<int>(std::clamp<int64_t>(int64_t{h.combo} * value, lo, hi));
  int y = TruncInt((h.y - h.jumphigh * SinDeg(h.jump)) - above);
  int64_t score = int64_t{h.Score} + SpawnScorePopup(points, TruncInt(h.x), y, 255, 255, 0);
  h.Score = static_cast<int>(std::clamp<int64_t>(score, lo, hi));
}

void AwardPickup(ayer& h, int kind) {
  struct Award {
    int combo, value;
  };
  // By kind: coin, feather (the birds' pickup), jumps, lock, star, floaty.
  constexpr Award kAwards[6] = {{1, 100}, {1, 10}, {1, 25}, {1, 10}, {15, 10}, {1, 10}};
  const Award& award = kAwards[kind >= PICKUP_COIN && kind <= PICKUP_FLOATY ? kind : PICKUP_FEATHER];
  h.combo += award.combo;
  if (kind == PICKUP_JUMPS) h.Jumps += 3;
  if (kind == PICKUP_LOCK) h.ComboLock = 1200;
  if (kind == PICKUP_FLOATY) h.Floaty = 450;
  AwardPoints(h, award.value, 72);
  PlaySfx(kind == PICKUP_COIN ? SFX_COIN : SFX_PICKUP, 1, 1, 0);
}

void PickupPass() {
  const int W = VirtualWidth, H = VirtualHeight;
  for (auto it = PickupList.begin(); it != PickupList.end();) {
    kup& p = *it;
    Round.pickupsAlive += 1;
    SetDrawRotation(p.n == PICKUP_FLOATY ? 0 : p.rot);
    SetDrawScale(1);
    p.rot += p.rotgo;
    p.ang += 1;
    if (p.ang > 180) p.ang -= 180;
    p.x += p.d;
    if (p.x < 50) p.d = std::fabs(p.d);
    if (p.x > W - 50) p.d = -std::fabs(p.d);
    bool caught = false;
    p.t -= 1;

    double alpha = 1;
    if (p.notyet > 0) alpha = 0.6;
    if (p.t < 120 && p.t % 30 < 15) alpha = 0.25;
    SetColorAlpha(255, 255, 255, alpha);
    const double height = 710 * SinDeg(p.ang);
    DrawSprite(GetsImage, TruncInt(p.x - 32), TruncInt((H - 128) - height - 32), p.n, SPRITE_IMAGE);

    SetDrawScale(1.2);
    SetDrawRotation(0);
    if (p.notyet > 0) p.notyet -= 1;
    if (p.notyet == 0) {
      const float px = static_cast<float>(TruncInt(p.x));
      const float py = static_cast<float>(TruncInt((H - 128) - height));
      for (ayer& h : HeroList) {
        float hx = static_cast<float>(TruncInt(h.x));
        float hy = static_cast<float>(TruncInt((h.y - 32) - h.jumphigh * SinDeg(h.jump)));
        if (ImagesCollide(HeroPicture(h), hx, hy, HeroFrame(h), GetsImage, px, py, GETS_CATCH_SHAPE)) {
          caught = true;
          AwardPickup(h, p.n);
        }
      }
    }
    if (p.t < 1) caught = true;
    it = caught ? PickupList.erase(it) : std::next(it);
  }
}

void DrawHud(ayer& h, int player) {
  const int W = VirtualWidth;
  if (player == 1) PlayerOne = &h;
  if (player == 2) PlayerTwo = &h;
  const bool one = player == 1;
  const int x = one ? 140 : W - 140;
  const int align = one ? 0 : 2;

  SetColorAlpha(180, 255, 180, 1);
  DrawTextAligned(x, 4, "Score : " + ZeroPad(h.Score, 12), align, 0);
  SetColorAlpha(255, 255, 255);
  DrawTextAligned(x, 24, "Last Combo : " + ZeroPad(h.Best[1], 5), align, 0);
  if (h.ComboLock > 0) {
    h.ComboLock -= 1;
    if (!one) DrawSprite(GetsImage, W - 256, 10, PICKUP_LOCK, SPRITE_IMAGE);
    else if (h.ComboLock % 30 < 15 || h.ComboLock > 75) DrawSprite(GetsImage, 240, 10, PICKUP_LOCK, SPRITE_IMAGE);
  }
  DrawTextAligned(x, 44, "Best Combo : " + ZeroPad(h.Best[2], 5), align, 0);
  if (h.Floaty > 0) {
    h.Floaty -= 1;
    h.jumpspeed = 1.5;
    const int floatyX = one ? 120 : W - 184;
    if (h.Floaty % 30 < 15 || h.Floaty > 75) DrawSprite(GetsImage, floatyX, 80, PICKUP_FLOATY, SPRITE_IMAGE);
  }
  SetColorAlpha(255, 255, 255);
  if (one) DrawTextAligned(4, 20, "Jumps", 0, 0);
  else DrawTextAligned(W - 4, 20, "Jumps", 2, 0);

  for (int j = 1; j <= h.Jumps; j++) {
    if (one) DrawSprite(GetsImage, -16, 32 * j, GETS_JUMP_ONE, SPRITE_IMAGE);
    else DrawSprite(GetsImage, W - 48, 32 * j, GETS_JUMP_TWO, SPRITE_IMAGE);
  }
}
