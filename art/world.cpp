// world.cpp — the two worlds' props, blocks, markers and ground tiles
// ("scenery.png"), and the pickups with the jump icons ("gets.png").
// Drawn at half size and scaled up x2 like the figures.
#include <cmath>

#include "art/art.h"

namespace {

constexpr float kPi = 3.14159265f;

template <typename F>
Canvas Figure(int w, int h, F draw) {
  Canvas c(w, h);
  draw(c);
  Outline(c, kInk);
  return c;
}

//------------------------------------------------------------------------------
// Plain world: a sunset desert
//------------------------------------------------------------------------------
Canvas Cactus() {
  return Figure(64, 64, [](Canvas& c) {
    Rgba g = Hex(0x3f9a4a), light = Hex(0x6cc46a), dark = Hex(0x2c7236);
    ThickLine(c, 32, 62, 32, 13, 10, g);
    ThickLine(c, 32, 42, 21, 42, 7, g);
    ThickLine(c, 21, 42, 21, 27, 7, g);
    ThickLine(c, 32, 34, 43, 34, 7, g);
    ThickLine(c, 43, 34, 43, 21, 7, g);
    for (int y = 14; y < 60; y += 1) c.Set(30, y, light), c.Set(35, y, dark);
    for (int y = 28; y < 42; ++y) c.Set(20, y, light);
    for (int y = 22; y < 34; ++y) c.Set(42, y, light);
    for (int y = 18; y < 60; y += 6) c.Set(28, y, Hex(0xf4f0c0)), c.Set(37, y + 3, Hex(0xf4f0c0));
    FillEllipse(c, 32, 10, 3, 2.5f, Hex(0xf25c8a));  // flower
    FillEllipse(c, 32, 10, 1, 1, Hex(0xffe070));
  });
}

Canvas Rock() {
  return Figure(64, 64, [](Canvas& c) {
    FillPolygon(c, {14, 63, 17, 52, 24, 45, 35, 43, 44, 47, 50, 55, 51, 63}, Hex(0xa86a4a));
    FillPolygon(c, {19, 52, 25, 46, 33, 45, 30, 50, 22, 54}, Hex(0xd08c62));
    FillPolygon(c, {40, 52, 47, 50, 50, 58, 49, 63, 42, 63}, Hex(0x7c4a34));
    // A dry scrub growing beside it.
    Rgba twig = Hex(0x8a6a3a);
    ThickLine(c, 52, 62, 55, 50, 1.2f, twig);
    ThickLine(c, 53, 57, 59, 52, 1.2f, twig);
    ThickLine(c, 54, 54, 50, 48, 1.2f, twig);
    FillEllipse(c, 56, 50, 2.5f, 2, Hex(0x9aa040));
    FillEllipse(c, 50, 48, 2, 1.8f, Hex(0x9aa040));
  });
}

// Blocks are solid 64x64 squares (32 here) in the middle of the cell, edge
// included, so bumping them is exact and predictable.
Canvas SandBlock() {
  Canvas c(64, 64);
  FillRect(c, 16, 16, 32, 32, kInk);
  FillRect(c, 17, 17, 30, 30, Hex(0xd9a05b));
  FillRect(c, 17, 17, 30, 2, Hex(0xf3cf8e));
  FillRect(c, 17, 17, 2, 30, Hex(0xf3cf8e));
  FillRect(c, 17, 45, 30, 2, Hex(0x9c6430));
  FillRect(c, 45, 17, 2, 30, Hex(0x9c6430));
  // Carved sun.
  FillEllipse(c, 32, 32, 6, 6, Hex(0xb87a3e));
  FillEllipse(c, 32, 32, 4.5f, 4.5f, Hex(0xf7c948));
  for (int k = 0; k < 8; ++k) {
    float a = k * kPi / 4;
    ThickLine(c, 32 + std::cos(a) * 7.5f, 32 + std::sin(a) * 7.5f, 32 + std::cos(a) * 11, 32 + std::sin(a) * 11, 1.6f,
              Hex(0xb87a3e));
  }
  for (int i : {21, 42}) c.Set(i, 21, Hex(0x6e4424)), c.Set(i, 42, Hex(0x6e4424));  // rivets
  return c;
}

Canvas CrystalBlock() {
  Canvas c(64, 64);
  FillRect(c, 16, 16, 32, 32, Hex(0x121a4a));
  for (int j = 17; j < 47; ++j)
    for (int i = 17; i < 47; ++i) c.Set(i, j, Mix(Hex(0x8ae6ff), Hex(0x2f7fd6), (j - 17 + (i - 17) * 0.5f) / 45));
  FillRect(c, 17, 17, 30, 2, Hex(0xd8f8ff));
  FillRect(c, 17, 17, 2, 30, Hex(0xd8f8ff));
  FillRect(c, 17, 45, 30, 2, Hex(0x1f4fa0));
  FillRect(c, 45, 17, 2, 30, Hex(0x1f4fa0));
  ThickLine(c, 22, 27, 27, 22, 1.2f, Hex(0xffffff, 200));  // glint
  // Gold star.
  std::vector<float> star;
  for (int k = 0; k < 10; ++k) {
    float r = k % 2 ? 4.5f : 10.5f, a = -kPi / 2 + k * kPi / 5;
    star.push_back(32 + std::cos(a) * r);
    star.push_back(33 + std::sin(a) * r);
  }
  Canvas s(64, 64);
  FillPolygon(s, star, Hex(0xf7c948));
  Outline(s, Hex(0x8a5a10), false);
  Blit(c, s, 0, 0);
  return c;
}

Canvas Signpost() {
  return Figure(64, 64, [](Canvas& c) {
    FillRect(c, 30, 30, 4, 33, Hex(0x8a5a30));
    FillRect(c, 30, 30, 1, 33, Hex(0xb07a44));
    FillPolygon(c, {17, 19, 43, 19, 49, 26, 43, 33, 17, 33}, Hex(0xc68a4e));
    FillRect(c, 17, 19, 26, 2, Hex(0xe0aa6c));
    // A little mask painted on the board: the costume is put on here.
    FillRect(c, 22, 24, 16, 4, Hex(0x2a1650));
    c.Set(26, 25, Hex(0xffffff));
    c.Set(33, 25, Hex(0xffffff));
    FillRect(c, 28, 28, 4, 1, Hex(0x2a1650));
  });
}

// Ground tiles tile in order 0,1,2,3 and wrap; every pattern is a function of
// the x along the four tiles together, so the seams never show.
Canvas GroundTile(int index, bool costume) {
  Canvas c(64, 64);
  Lcg rng(uint32_t(1234 + index * 97 + (costume ? 5000 : 0)));
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      float gx = float(index * 64 + x);
      float wave = std::sin(gx * 2 * kPi / 128) * 1.5f + std::sin(gx * 2 * kPi / 64 + 1) * 1.0f;
      Rgba col;
      if (!costume) {
        float layer = std::fmod(y + wave + 64, 12.0f);
        col = Mix(Hex(0xe0a860), Hex(0x9a5a2e), y / 70.0f);
        if (layer < 2) col = Shade(col, 0.88f);
        if (y < 3) col = y == 0 ? Hex(0xf8d49a) : Hex(0xeebc78);
      } else {
        float top = 7 + wave;
        col = Mix(Hex(0x5a2e8e), Hex(0x2a1650), y / 70.0f);
        if (y < top) col = y < 2 ? Hex(0x9cf07a) : Hex(0x46c46a);
        else if (y < top + 2) col = Hex(0x2a8a4e);
      }
      c.Set(x, y, col);
    }
  // Pebbles or crystals, kept clear of the tile edges.
  for (int k = 0; k < 9; ++k) {
    int x = rng.Range(4, 59), y = rng.Range(costume ? 16 : 8, 60);
    if (!costume) {
      FillEllipse(c, x, y, 1.8f, 1.2f, Hex(0xb07040));
      c.Set(x - 1, y - 1, Hex(0xf0c890));
    } else {
      FillPolygon(c, {float(x), float(y - 3), float(x + 2), float(y), float(x), float(y + 3), float(x - 2), float(y)},
                  k % 2 ? Hex(0x8ae6ff) : Hex(0xf06ad8));
    }
  }
  if (costume)  // grass blades
    for (int k = 0; k < 14; ++k) {
      int x = 2 + k * 4 + rng.Range(0, 2);
      ThickLine(c, x, 4, x + 1, 1, 1, Hex(0x9cf07a));
    }
  return c;
}

//------------------------------------------------------------------------------
// Costume world: the blue Zavored
//------------------------------------------------------------------------------
Canvas SpiralTree() {
  return Figure(64, 64, [](Canvas& c) {
    ThickLine(c, 32, 63, 32, 30, 5, Hex(0x7a4aa8));
    ThickLine(c, 31, 63, 31, 30, 1, Hex(0xa878d8));
    FillEllipse(c, 32, 20, 17, 15, Hex(0x3ac0a0));
    FillEllipse(c, 28, 16, 10, 8, Hex(0x6ae0c0));
    // Spiral swirl on the crown.
    for (int k = 0; k < 60; ++k) {
      float a = k * 0.22f, r = 1 + k * 0.2f;
      c.Set(int(32 + std::cos(a) * r), int(20 + std::sin(a) * r * 0.85f), Hex(0x1f8a78));
    }
    for (auto [x, y] : {std::pair{20, 24}, {44, 18}, {36, 30}, {26, 10}})
      FillEllipse(c, x, y, 1.6f, 1.6f, Hex(0xf7c948));
  });
}

Canvas FlowerClump() {
  return Figure(64, 64, [](Canvas& c) {
    for (int k = 0; k < 9; ++k) {
      float x = 14 + k * 4.5f, h = 10 + (k * 37 % 7);
      ThickLine(c, x, 63, x + (k % 3 - 1) * 2.5f, 63 - h, 2, k % 2 ? Hex(0x3ab86a) : Hex(0x5ad88a));
    }
    for (auto [x, y, col] :
         {std::tuple{17.0f, 50.0f, 0xf06ad8u}, {31.0f, 46.0f, 0xf7c948u}, {45.0f, 49.0f, 0x8ae6ffu}}) {
      for (int p = 0; p < 5; ++p) {
        float a = p * 2 * kPi / 5;
        FillEllipse(c, x + std::cos(a) * 2.5f, y + std::sin(a) * 2.5f, 1.8f, 1.8f, Hex(col));
      }
      FillEllipse(c, x, y, 1.3f, 1.3f, Hex(0xffffff));
    }
  });
}

Canvas Banner() {
  return Figure(64, 64, [](Canvas& c) {
    FillRect(c, 30, 14, 3, 49, Hex(0xf7c948));
    FillRect(c, 30, 14, 1, 49, Hex(0xfff0a0));
    FillEllipse(c, 31.5f, 12, 3, 3, Hex(0xf7c948));
    // Purple pennant with a gold star, flying to the right.
    FillPolygon(c, {33, 16, 52, 18, 47, 24, 53, 31, 33, 31}, Hex(0x6a2fa6));
    FillPolygon(c, {33, 16, 52, 18, 50, 20, 33, 19}, Hex(0x8a56c8));
    std::vector<float> star;
    for (int k = 0; k < 10; ++k) {
      float r = k % 2 ? 2.2f : 5, a = -kPi / 2 + k * kPi / 5;
      star.push_back(40.5f + std::cos(a) * r);
      star.push_back(24 + std::sin(a) * r);
    }
    FillPolygon(c, star, Hex(0xf7c948));
  });
}

//------------------------------------------------------------------------------
// Pickups (32x32 here, 64x64 in the file)
//------------------------------------------------------------------------------
std::vector<float> StarPoints(float cx, float cy, float r0, float r1) {
  std::vector<float> pts;
  for (int k = 0; k < 10; ++k) {
    float r = k % 2 ? r0 : r1, a = -kPi / 2 + k * kPi / 5;
    pts.push_back(cx + std::cos(a) * r);
    pts.push_back(cy + std::sin(a) * r);
  }
  return pts;
}

void Label(Canvas& c, int right, int top, const std::string& text) {
  Canvas t(c.w, c.h);
  DrawText(t, right - TextWidth(text), top, text, Hex(0xffffff));
  Outline(t, kInk);
  Blit(c, t, 0, 0);
}

Canvas Coin() {
  return Figure(32, 32, [](Canvas& c) {
    FillEllipse(c, 16, 16, 12, 12, Hex(0xc98f1c));
    FillEllipse(c, 16, 16, 10.5f, 10.5f, Hex(0xf7c948));
    Ring(c, 16, 16, 7, 8, Hex(0xd9a02a));
    FillRect(c, 15, 11, 2, 10, Hex(0xfff0a0));  // stamped bar
    ThickLine(c, 9, 13, 12, 9, 1.5f, Hex(0xffffff));
  });
}

Canvas Feather() {
  return Figure(32, 32, [](Canvas& c) {
    FillPolygon(c, {7, 25, 10, 15, 17, 7, 26, 4, 24, 12, 18, 20}, Hex(0xeef4f8));
    FillPolygon(c, {7, 25, 18, 20, 24, 12, 26, 4, 22, 14, 14, 22}, Hex(0xaac4dc));
    ThickLine(c, 4, 28, 25, 5, 1.4f, Hex(0x7a8ca8));
    for (int k = 0; k < 3; ++k) ThickLine(c, 12 + k * 4, 15 - k * 4, 9 + k * 4, 14 - k * 4, 1, Hex(0xc8d8e8));
  });
}

Canvas JumpBoot() {
  Canvas c = Figure(32, 32, [](Canvas& c) {
    FillPolygon(c, {9, 10, 17, 10, 17, 20, 26, 22, 27, 27, 8, 27}, Hex(0xe2383a));
    FillRect(c, 8, 25, 20, 2, Hex(0xf7e8d0));
    FillRect(c, 9, 10, 8, 2, Hex(0xff7a6a));
    // A little wing on the heel.
    FillPolygon(c, {8, 14, 3, 10, 4, 14, 2, 16, 6, 18, 8, 18}, Hex(0xffffff));
  });
  Label(c, 30, 2, "+3");
  return c;
}

Canvas Padlock() {
  return Figure(32, 32, [](Canvas& c) {
    Ring(c, 16, 13, 5, 8, Hex(0xa8b0c0));
    FillRect(c, 7, 14, 18, 14, Hex(0xf7c948));
    FillRect(c, 7, 14, 18, 2, Hex(0xfff0a0));
    FillRect(c, 7, 26, 18, 2, Hex(0xc98f1c));
    FillEllipse(c, 16, 19.5f, 2, 2, Hex(0x3a2a10));
    FillRect(c, 15, 20, 2, 4, Hex(0x3a2a10));
  });
}

Canvas BigStar() {
  Canvas c = Figure(32, 32, [](Canvas& c) {
    FillPolygon(c, StarPoints(16, 17, 6.5f, 15), Hex(0xf7c948));
    FillPolygon(c, StarPoints(15, 16, 3, 7), Hex(0xfff0a0));
  });
  Label(c, 25, 14, "+15");
  return c;
}

Canvas Balloon() {
  return Figure(32, 32, [](Canvas& c) {
    ThickLine(c, 16, 23, 14, 30, 1, Hex(0xf4f0e0));
    FillEllipse(c, 16, 12, 9, 10.5f, Hex(0x2aa8e0));
    FillPolygon(c, {14, 22, 18, 22, 16, 25}, Hex(0x1e80b0));
    FillEllipse(c, 12.5f, 8, 2.5f, 3.5f, Hex(0xb8ecff));
  });
}

Canvas JumpIcon(Rgba disc, Rgba rim) {
  // 14x14 in the middle: the head-up display overlaps them 32 px apart.
  return Figure(32, 32, [&](Canvas& c) {
    FillEllipse(c, 16, 16, 6.5f, 6.5f, rim);
    FillEllipse(c, 16, 16, 5.5f, 5.5f, disc);
    FillPolygon(c, {16, 11, 20.5f, 16, 18, 16, 18, 20.5f, 14, 20.5f, 14, 16, 11.5f, 16}, Hex(0xffffff));
  });
}

}  // namespace

Canvas ScenerySheet() {
  Canvas sheet(512, 512);
  const Canvas cells[16] = {Cactus(),
                            Rock(),
                            SandBlock(),
                            Signpost(),
                            GroundTile(0, false),
                            GroundTile(1, false),
                            GroundTile(2, false),
                            GroundTile(3, false),
                            SpiralTree(),
                            FlowerClump(),
                            CrystalBlock(),
                            Banner(),
                            GroundTile(0, true),
                            GroundTile(1, true),
                            GroundTile(2, true),
                            GroundTile(3, true)};
  for (int f = 0; f < 16; ++f) PutCell(sheet, f, Scale(cells[f], 2));
  return sheet;
}

Canvas GetsSheet() {
  Canvas sheet(256, 256);
  const Canvas pickups[6] = {Coin(), Feather(), JumpBoot(), Padlock(), BigStar(), Balloon()};
  for (int f = 0; f < 6; ++f) PutCell(sheet, f, Scale(pickups[f], 2));
  PutCell(sheet, 14, Scale(JumpIcon(Hex(0x3ad8e0), Hex(0x1a7a90)), 2));  // player two
  PutCell(sheet, 15, Scale(JumpIcon(Hex(0xf7a030), Hex(0xb05a10)), 2));  // player one
  return sheet;
}
