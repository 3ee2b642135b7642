// birds.cpp — the birds strolling along the ground: walk, turn, squash, and
// the springboard test against the heroes.
#include "game/game.h"
#include "media/random.h"
#include "shell/shell.h"

void BirdPass() {
  const int W = VirtualWidth, H = VirtualHeight;
  for (ken& b : BirdList) {
    SetDrawScale(1);
    // The picture follows the direction at the start of the turn, even if
    // the bird turns round below.
    int image =
        b.d == 0 ? (Round.zavored ? BirdVarnoImage : BirdImage) : (Round.zavored ? BirdVarno2Image : Bird2Image);
    int frame = 0;
    if (b.mash == 0) {
      SetAlpha(1);
      if (Rand(0, 60) == 1) b.g = Rand(0, 2);
      if (b.d == 0) b.x += Rand(0, b.g);
      if (b.d == 1) b.x -= Rand(0, b.g);
      if (b.x < 100) b.d = 0;
      if (b.x > W - 100) b.d = 1;
      b.anim += Rand(0, 2);
      if (b.anim > 23) b.anim = 0;
      frame = b.anim / 2;
    } else {
      SetAlpha(0.5);
      frame = b.d == 0 ? BIRD_SQUASH + 3 - b.mash / 33 : BIRD_SQUASH + b.mash / 33;
      b.mash -= 1;
    }
    DrawSprite(image, b.x, H - 256 + b.y, frame, SPRITE_IMAGE);
    SetDrawScale(1.1);
    if (b.mash == 0) BounceTest(b, image, frame);
  }
}
