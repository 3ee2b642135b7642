// ui.cpp — the framework's pictures: the 16x16 icon strip used by the menus,
// the two splash logos, the badge medals and the title picture.
// Menu icons are mostly white so the menus can tint them by colour.
#include <cmath>

#include "art/art.h"

namespace {

constexpr float kPi = 3.14159265f;
const Rgba kWhite = Hex(0xffffff);
const Rgba kGrey = Hex(0xc8ccd8);
const Rgba kDim = Hex(0x8a90a4);

template <typename F>
Canvas Icon(F draw, bool outline = true) {
  Canvas c(16, 16);
  draw(c);
  if (outline) Outline(c, kInk);
  return c;
}

//------------------------------------------------------------------------------
// Icons (16x16 at full size)
//------------------------------------------------------------------------------
Canvas EngineTestSprite() {
  return Icon([](Canvas& c) { FillEllipse(c, 8, 8, 6, 6, kWhite); });
}

// Binding cells carry the input's name drawn over them, so their middles are
// dark and only the rims are light.
const Rgba kFace = Hex(0x3a4058);

Canvas KeyCap() {
  return Icon([](Canvas& c) {
    FillRect(c, 1, 2, 14, 13, kGrey);
    FillRect(c, 2, 1, 12, 13, kWhite);
    FillRect(c, 1, 2, 14, 11, kWhite);
    FillRect(c, 3, 3, 10, 8, kFace);
    FillRect(c, 2, 13, 12, 2, kDim);
  });
}

Canvas Marker() {
  return Icon([](Canvas& c) { FillPolygon(c, {8, 2, 14, 8, 8, 14, 2, 8}, kWhite); });
}

Canvas Hat() {
  return Icon([](Canvas& c) {
    FillRect(c, 5, 0, 6, 16, kWhite);
    FillRect(c, 0, 5, 16, 6, kWhite);
    FillRect(c, 6, 1, 4, 14, kFace);
    FillRect(c, 1, 6, 14, 4, kFace);
    FillRect(c, 7, 7, 2, 2, kDim);
  });
}

Canvas Axis() {
  return Icon([](Canvas& c) {
    FillEllipse(c, 8, 10, 7, 5, kWhite);
    FillEllipse(c, 8, 10, 6, 4, kFace);
    ThickLine(c, 8, 10, 8, 4, 2, kGrey);
    FillEllipse(c, 8, 4, 3.5f, 3, kWhite);
  });
}

Canvas Button() {
  return Icon([](Canvas& c) {
    FillEllipse(c, 8, 8, 7, 7, kWhite);
    FillEllipse(c, 8, 8, 5.5f, 5.5f, kFace);
    FillEllipse(c, 6, 5.5f, 1.5f, 1.2f, kDim);
  });
}

Canvas Screen(int w, int h) {
  return Icon([=](Canvas& c) {
    int x = (16 - w) / 2, y = 1 + (11 - h) / 2;
    FillRect(c, x, y, w, h, kWhite);
    FillRect(c, x + 1, y + 1, w - 2, h - 2, kDim);
    FillRect(c, 7, y + h, 2, 2, kWhite);
    FillRect(c, 5, y + h + 2, 6, 1, kWhite);
  });
}

Canvas Windowed() {
  return Icon([](Canvas& c) {
    FillRect(c, 1, 3, 12, 10, kWhite);
    FillRect(c, 2, 6, 10, 6, kDim);
    FillRect(c, 4, 1, 11, 2, kGrey);  // a second window behind
    FillRect(c, 13, 1, 2, 9, kGrey);
  });
}

Canvas FullScreen() {
  return Icon([](Canvas& c) {
    FillRect(c, 1, 1, 14, 14, kDim);
    for (auto [x, y, dx, dy] : {std::tuple{1, 1, 1, 1}, {14, 1, -1, 1}, {1, 14, 1, -1}, {14, 14, -1, -1}}) {
      FillRect(c, std::min(x, x + 4 * dx), y, 5, 1, kWhite);
      FillRect(c, x, std::min(y, y + 4 * dy), 1, 5, kWhite);
      ThickLine(c, x + 0.5f, y + 0.5f, x + 4.5f * dx + 0.5f, y + 4.5f * dy + 0.5f, 1.2f, kWhite);
    }
  });
}

Canvas Pips(int n) {
  return Icon([=](Canvas& c) {
    FillEllipse(c, 8, 8, 7, 7, kDim);
    for (int k = 0; k < n; ++k) {
      float x = n == 1 ? 8 : 4.5f + k * 7.0f / (n - 1);
      FillEllipse(c, x, 8, 2, 2, kWhite);
    }
  });
}

// The slider bar is drawn as two stretched halves meeting in the middle.
Canvas BarHalf(bool left) {
  return Icon([=](Canvas& c) {
    FillRect(c, 0, 6, 16, 4, kWhite);
    if (left) {
      FillRect(c, 0, 6, 3, 4, kClear);
      FillEllipse(c, 4, 8, 3, 2, kWhite);
    } else {
      for (int y = 6; y < 10; ++y) c.Set(15, y, kClear), c.Set(14, y, kClear), c.Set(13, y, kClear);
      FillEllipse(c, 12, 8, 3, 2, kWhite);
    }
  });
}

Canvas Knob() {
  return Icon([](Canvas& c) {
    FillRect(c, 5, 2, 6, 12, kWhite);
    FillRect(c, 4, 3, 8, 10, kWhite);
    FillRect(c, 7, 4, 2, 8, kGrey);
  });
}

void Speaker(Canvas& c, int x) {
  FillRect(c, x, 6, 3, 4, kWhite);
  FillPolygon(c, {float(x + 3), 6, float(x + 7), 2, float(x + 7), 14, float(x + 3), 10}, kWhite);
}

Canvas AudioIcon(int k) {
  return Icon([=](Canvas& c) {
    switch (k) {
      case 0:  // speaker with sound waves
        Speaker(c, 1);
        for (int y = 0; y < 16; ++y)
          for (int x = 10; x < 16; ++x) {
            float d = std::hypot(x + 0.5f - 7, y + 0.5f - 8);
            if ((d >= 4.5f && d <= 5.6f) || (d >= 6.9f && d <= 8.0f)) c.Set(x, y, kWhite);
          }
        break;
      case 1:  // a note
        FillEllipse(c, 5, 12, 3, 2.2f, kWhite);
        FillRect(c, 7, 2, 2, 10, kWhite);
        FillPolygon(c, {8, 2, 13, 4, 13, 7, 9, 5}, kWhite);
        break;
      case 2:  // headphones
        Ring(c, 8, 9, 4.5f, 6, kWhite);
        FillRect(c, 1, 9, 14, 7, kClear);
        FillRect(c, 1, 9, 4, 6, kWhite);
        FillRect(c, 11, 9, 4, 6, kWhite);
        break;
      case 3:  // a wave
        for (int x = 1; x < 15; ++x) {
          float y = 8 - std::sin((x - 1) * kPi / 3.5f) * 4;
          FillRect(c, x, int(y), 1, 2, kWhite);
        }
        break;
      case 4:  // a small speaker
        Speaker(c, 4);
        break;
      default:  // a microphone
        FillEllipse(c, 8, 5, 3, 4, kWhite);
        FillRect(c, 7, 9, 2, 4, kWhite);
        FillRect(c, 4, 13, 8, 2, kWhite);
        break;
    }
  });
}

// The pointer: an arrow whose tip is the cell's top-left pixel, since the
// frame service draws it with its centre 12 units right and down of the mouse.
Canvas Pointer() {
  Canvas c(16, 16);
  const char* map = R"(
k...........
kk..........
kwk.........
kwwk........
kwwwk.......
kwwwwk......
kwwwwwk.....
kwwwwwwk....
kwwwwwwwk...
kwwwwwkkkk..
kwwkwwk.....
kwk.kwwk....
kk..kwwk....
k....kwwk...
.....kwwk...
......kk....)";
  DrawMap(c, 0, 0, map, {{'k', kInk}, {'w', kWhite}});
  return c;
}

//------------------------------------------------------------------------------
// Logos (drawn at half size, 128x64, then scaled x2)
//------------------------------------------------------------------------------
void ShadowText(Canvas& c, int x, int y, const std::string& s, Rgba col, int k) {
  Canvas t(c.w, c.h);
  DrawText(t, x, y, s, col, k);
  Outline(t, kInk);
  Canvas shadow(c.w, c.h);
  DrawText(shadow, x + 1, y + 1, s, kInk, k);
  Outline(shadow, kInk);
  Blit(c, shadow, 1, 1);
  Blit(c, t, 0, 0);
}

Canvas MarrowLogo() {
  Canvas c(128, 64);
  // A striped marrow lying on its side: the studio's mark.
  Canvas m(128, 64);
  FillEllipse(m, 64, 16, 24, 9, Hex(0x3f8a3a));
  for (int k = -3; k <= 3; ++k) {
    for (int x = 44; x <= 84; ++x) {
      float y = 16 + k * 2.6f * std::sqrt(std::max(0.0f, 1 - ((x - 64) / 24.0f) * ((x - 64) / 24.0f)));
      if (k % 2 == 0) m.Set(x, int(y), Hex(0x8ad070));
    }
  }
  FillEllipse(m, 56, 12, 6, 2, Hex(0xc8f0a0));
  FillRect(m, 86, 14, 6, 3, Hex(0x7a5a2a));  // stalk
  Outline(m, kInk);
  Blit(c, m, 0, 0);
  ShadowText(c, 64 - TextWidth("MARROWBY", 2) / 2, 31, "MARROWBY", Hex(0xfff0c8), 2);
  ShadowText(c, 64 - TextWidth("GAMES") / 2, 51, "GAMES", Hex(0xf7c948), 1);
  return c;
}

Canvas BrackenLogo() {
  Canvas c(128, 64);
  // A bracken frond uncurling: the engine's mark.
  Canvas f(128, 64);
  Rgba stem = Hex(0x6a8a2a), leaf = Hex(0x9ad04a);
  for (int k = 0; k < 40; ++k) {
    float t = k / 40.0f;
    float x = 12 + t * 14, y = 56 - t * 40;
    f.Set(int(x), int(y), stem);
    f.Set(int(x) + 1, int(y), stem);
    if (k % 5 == 2 && k < 34) {
      float len = 9 * (1 - t) + 3;
      ThickLine(f, x, y, x - len, y - len * 0.4f, 2, leaf);
      ThickLine(f, x, y, x + len, y - len * 0.1f, 2, leaf);
    }
  }
  for (int k = 0; k < 50; ++k) {  // the curl at the top
    float a = k * 0.2f, r = 6 - k * 0.11f;
    FillEllipse(f, 26 + std::cos(a) * r + 2, 14 + std::sin(a) * r, 1, 1, leaf);
  }
  Outline(f, kInk);
  Blit(c, f, 0, 0);
  ShadowText(c, 40, 18, "BRACKEN", Hex(0xd8f0a0), 2);
  ShadowText(c, 40, 36, "FOLD", Hex(0xd8f0a0), 2);
  ShadowText(c, 90, 43, "ENGINE", Hex(0xf7c948), 1);
  return c;
}

//------------------------------------------------------------------------------
// Badges (32x32 half size)
//------------------------------------------------------------------------------
Canvas Medal(int n) {
  static const uint32_t kRibbon[4] = {0xe2383a, 0x2f7fd6, 0x3da24c, 0x8a46c8};
  static const uint32_t kMetal[4] = {0xf7c948, 0xc8ccd8, 0xd08a4a, 0x8ae6ff};
  Canvas c(32, 32);
  FillPolygon(c, {9, 2, 15, 2, 17, 14, 13, 16}, Hex(kRibbon[n % 4]));
  FillPolygon(c, {23, 2, 17, 2, 15, 14, 19, 16}, Shade(Hex(kRibbon[n % 4]), 0.75f));
  Rgba metal = Hex(kMetal[(n / 4) % 4]);
  FillEllipse(c, 16, 21, 9.5f, 9.5f, Shade(metal, 0.7f));
  FillEllipse(c, 16, 21, 8, 8, metal);
  std::string s = std::to_string(n + 1);
  DrawText(c, 16 - TextWidth(s) / 2, 18, s, kInk);
  Outline(c, kInk);
  return c;
}

}  // namespace

Canvas IconsSheet() {
  Canvas sheet(128, 128);
  PutCell(sheet, 0, EngineTestSprite());
  PutCell(sheet, 3, KeyCap());
  PutCell(sheet, 7, Marker());
  PutCell(sheet, 8, Hat());
  PutCell(sheet, 9, Axis());
  PutCell(sheet, 10, Button());
  PutCell(sheet, 11, Screen(12, 9));
  PutCell(sheet, 12, Screen(14, 8));
  PutCell(sheet, 13, Windowed());
  PutCell(sheet, 14, FullScreen());
  for (int k = 0; k < 3; ++k) PutCell(sheet, 18 + k, Pips(k + 1));
  PutCell(sheet, 21, BarHalf(true));
  PutCell(sheet, 22, BarHalf(false));
  PutCell(sheet, 23, Knob());
  for (int k = 0; k < 6; ++k) PutCell(sheet, 24 + k, AudioIcon(k));
  PutCell(sheet, 63, Pointer());
  return sheet;
}

Canvas StudioLogo() { return Scale(MarrowLogo(), 2); }

Canvas EngineLogo() { return Scale(BrackenLogo(), 2); }

Canvas BadgesSheet() {
  Canvas sheet(256, 256);
  for (int n = 0; n < 16; ++n) PutCell(sheet, n, Scale(Medal(n), 2));
  return sheet;
}

Canvas TitlePicture() {
  // Half size 200x104, shown between the title text and the prompt: an oval
  // of the blue world with a gold rim, the costumed hero large in his standing
  // pose, a Varno gull at his side and a few sparkles.
  const int w = 200, h = 104;
  const float cx = 100, cy = 52, rx = 98, ry = 50;
  auto inside = [&](int x, int y, float grow) {
    float dx = (x + 0.5f - cx) / (rx + grow), dy = (y + 0.5f - cy) / (ry + grow);
    return dx * dx + dy * dy <= 1;
  };
  Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (inside(x, y, 0)) c.Set(x, y, Hex(0xf7c948));
      if (inside(x, y, -3)) c.Set(x, y, Mix(Hex(0x8ae6ff), Hex(0x2a5ac8), y / float(h)));
      if (inside(x, y, -3) && y > 84 + std::sin(x * 0.08f) * 2) c.Set(x, y, y > 88 ? Hex(0x2a8a4e) : Hex(0x46c46a));
    }
  for (auto [x, y, r] :
       {std::tuple{24.0f, 40.0f, 5.0f}, {150.0f, 22.0f, 4.0f}, {180.0f, 50.0f, 3.0f}, {38.0f, 70.0f, 3.0f}}) {
    Canvas s(w, h);
    FillPolygon(s,
                {x, y - r, x + r * 0.3f, y - r * 0.3f, x + r, y, x + r * 0.3f, y + r * 0.3f, x, y + r, x - r * 0.3f,
                 y + r * 0.3f, x - r, y, x - r * 0.3f, y - r * 0.3f},
                Hex(0xffffff));
    Blit(c, s, 0, 0);
  }
  Blit(c, BirdFigure(true, 0), 112, 32);
  Blit(c, Scale(HeroFigure(true, 2), 3), 36, 3);
  Outline(c, kInk);
  return Scale(c, 2);
}

Canvas AppIcon(int size) {
  // Drawn once at 64 x 64 and scaled, so every size is the same picture: a
  // rounded tile of the blue sky over grass, the costumed hero standing on it.
  Canvas tile(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const float dx = std::fmax(std::fabs(x + 0.5f - 32) - 22, 0.0f),
                  dy = std::fmax(std::fabs(y + 0.5f - 32) - 22, 0.0f);
      if (dx * dx + dy * dy > 100) continue;  // corners rounded with a radius of 10
      tile.Set(x, y, y < 54 ? Mix(Hex(0x8ae6ff), Hex(0x2a5ac8), y / 64.0f) : y < 57 ? Hex(0x46c46a) : Hex(0x2a8a4e));
    }
  Canvas hero = Scale(HeroFigure(true, 0), 2);  // 64 x 64, feet at the bottom
  Blit(tile, hero, 0, -4);
  return size == 64 ? tile : size % 64 == 0 ? Scale(tile, size / 64) : ScaleTo(tile, size, size);
}
