// art.h — the pictures the generator makes, one function per file (or family
// of files). Each answers a finished canvas at its final size.
#pragma once

#include "art/canvas.h"

// Dark edge shared by every figure, so they stand out on both skies.
extern const Rgba kInk;

// Draws one part of a figure on its own layer, gives it the dark edge and
// lays it on the figure, so parts in front outline themselves over those behind.
template <typename F>
void Layer(Canvas& fig, F draw) {
  Canvas part(fig.w, fig.h);
  draw(part);
  Outline(part, kInk);
  Blit(fig, part, 0, 0);
}

// Hero: 256x256 sheets of 64x64 cells (walk 0-7, airborne 8, 9-15 repeat).
Canvas HeroSheet(bool costume, bool facingLeft);
Canvas HeroFigure(bool costume, int frame);  // one half-size (32x32) frame, outlined
Canvas TitlePicture();                       // the costumed hero, large

// Bird: 512x512 sheets of 128x128 cells (walk 0-11, squash 12-15).
Canvas BirdSheet(bool costume, bool facingLeft);
Canvas BirdFigure(bool costume, int frame);  // one half-size (64x64) frame, outlined

// World and pickups.
Canvas ScenerySheet();  // 512x512, 16 cells of 128
Canvas GetsSheet();     // 256x256, 16 cells of 64

// Framework pictures.
Canvas IconsSheet();       // 128x128, 64 cells of 16
Canvas StudioLogo();       // "logo.png"
Canvas EngineLogo();       // "Brindle.png"
Canvas BadgesSheet();      // 256x256, 16 cells of 64
Canvas AppIcon(int size);  // the program's icon, size x size
