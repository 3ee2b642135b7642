// The real renderer read back pixel by pixel: blends, placement, text, the
// virtual resolution, grabbing, and drawing after the display is reopened.
#include <algorithm>
#include <set>

#include "tests/display/support.h"

using namespace gl;

namespace {

void Reset() {
  SetColor(255, 255, 255);
  SetAlpha(1);
  SetBlend(MASKBLEND);
  SetRotation(0);
  SetScale(1, 1);
  SetFont(0);
}

class Render : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSdlBackend();
    SetAppTitle("render test");
    ASSERT_TRUE(OpenWindow(200, 150, 200, 150));
    Reset();
    ClearScreen();
  }
  void TearDown() override { CloseDisplay(); }

  // A grey background at (0,0)-(100,100) for the blend cases.
  static void Background() {
    SetBlend(SOLIDBLEND);
    SetColor(100, 120, 140);
    DrawRect(0, 0, 100, 100);
    Reset();
  }
  // A 10 x 10 rectangle in a blend, colour and alpha over a fresh background;
  // answers the colour at its middle.
  static Rgb OverBackground(int blend, Rgb c, float alpha) {
    Background();
    SetBlend(blend);
    SetColor(c.r, c.g, c.b);
    SetAlpha(alpha);
    DrawRect(0, 0, 10, 10);
    return At(5, 5);
  }
};

TEST_F(Render, ClearIsBlackAndSolidRectFillsExactly) {
  SetColor(10, 20, 30);
  SetBlend(SOLIDBLEND);
  DrawRect(10, 20, 30, 40);
  // The right edge is exclusive: (40, 59) stays black.
  ExpectSpots(
      {{10, 20, {10, 20, 30}}, {39, 59, {10, 20, 30}}, {40, 59, {0, 0, 0}}, {39, 60, {0, 0, 0}}, {9, 20, {0, 0, 0}}});
  ClearScreen();
  EXPECT_TRUE(Near(At(20, 30), 0, 0, 0));
}

TEST_F(Render, EachBlendOverAKnownBackground) {
  // Solid ignores alpha.
  EXPECT_TRUE(Near(OverBackground(SOLIDBLEND, {200, 50, 0}, 0.25f), 200, 50, 0));
  // Alpha mixes by source alpha; alpha 0 leaves the screen as it was.
  EXPECT_TRUE(Near(OverBackground(ALPHABLEND, {200, 50, 0}, 0.5f), 150, 85, 70));
  EXPECT_TRUE(Near(OverBackground(ALPHABLEND, {255, 255, 255}, 0), 100, 120, 140));
  // Light adds source times alpha, saturating.
  EXPECT_TRUE(Near(OverBackground(LIGHTBLEND, {200, 50, 0}, 0.5f), 200, 145, 140));
  EXPECT_TRUE(Near(OverBackground(LIGHTBLEND, {200, 50, 0}, 1), 255, 170, 140));
  EXPECT_TRUE(Near(OverBackground(LIGHTBLEND, {200, 50, 0}, 0), 100, 120, 140));
  // Shade multiplies the destination by the source.
  EXPECT_TRUE(Near(OverBackground(SHADEBLEND, {128, 255, 0}, 1), 50, 120, 0));

  // At alpha 1 the alpha blend covers exactly; the next draw still blends
  // over it in order.
  OverBackground(ALPHABLEND, {200, 50, 0}, 1);
  SetColor(0, 0, 250);
  SetAlpha(0.5f);
  DrawRect(5, 0, 10, 10);
  SetAlpha(1);
  DrawRect(10, 0, 10, 10);
  EXPECT_EQ(PixelAt(2, 5), Pack(200, 50, 0));
  EXPECT_TRUE(Near(At(7, 5), 100, 25, 125));
  EXPECT_EQ(PixelAt(12, 5), Pack(0, 0, 250));
}

TEST_F(Render, MaskDropsTexelsBelowHalfAlphaAndColourMultiplies) {
  // Four texels: alpha 0, 100 (below half), 128 (half), 255.
  const int img = MakeImage(
      4, 1, {{Pack(255, 0, 0, 0), Pack(255, 0, 0, 100), Pack(255, 255, 255, 128), Pack(200, 200, 200, 255)}}, 0, 0);
  Background();
  SetBlend(MASKBLEND);
  SetColor(255, 128, 255);
  SetScale(10, 10);
  DrawImage(img, 0, 0);
  // (25, 5) is drawn opaque: no blending in the mask blend.
  ExpectSpots({{5, 5, {100, 120, 140}}, {15, 5, {100, 120, 140}}, {25, 5, {255, 128, 255}}, {35, 5, {200, 100, 200}}});

  // The drawing alpha belongs to the alpha and light blends: it moves neither
  // the threshold nor the colour here, for images and rectangles alike.
  for (float alpha : {0.0f, 0.3f, 1.0f}) {
    Background();  // back to the mask blend
    SetColor(255, 128, 255);
    SetScale(10, 10);
    SetAlpha(alpha);
    DrawImage(img, 0, 0);
    EXPECT_TRUE(Near(At(15, 5), 100, 120, 140)) << alpha;
    EXPECT_TRUE(Near(At(25, 5), 255, 128, 255)) << alpha;
    EXPECT_TRUE(Near(At(35, 5), 200, 100, 200)) << alpha;
    SetScale(1, 1);
    DrawRect(0, 20, 10, 10);
    SetScale(10, 10);
    EXPECT_TRUE(Near(At(5, 25), 255, 128, 255)) << alpha;
  }
  SetAlpha(1);
  FreeImage(img);
}

TEST_F(Render, RotatedScaledImageLandsAboutItsHandle) {
  // 20x10: left half red, right half green; handle at the centre.
  std::vector<uint32_t> px(200);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) px[y * 20 + x] = x < 10 ? Pack(255, 0, 0) : Pack(0, 255, 0);
  const int img = MakeImage(20, 10, {px}, 10, 5);

  // Unrotated at scale 2: 40x20 centred on (100, 75).
  SetScale(2, 2);
  DrawImage(img, 100, 75);
  ExpectSpots(
      {{81, 66, {255, 0, 0}}, {118, 84, {0, 255, 0}}, {79, 75, {0, 0, 0}}, {121, 75, {0, 0, 0}}, {100, 64, {0, 0, 0}}});

  // 90 degrees clockwise: the left (red) half turns to the top; 20 wide, 40 tall.
  ClearScreen();
  SetRotation(90);
  DrawImage(img, 100, 75);
  ExpectSpots({{100, 57, {255, 0, 0}},
               {100, 93, {0, 255, 0}},
               {91, 75 - 19, {255, 0, 0}},
               {100, 54, {0, 0, 0}},
               {100, 96, {0, 0, 0}},
               {88, 75, {0, 0, 0}},
               {112, 75, {0, 0, 0}}});

  // The overlap test places frames the same way the renderer draws them.
  const int dot = MakeImage(1, 1, {{Pack(255, 255, 255)}});
  SetScale(2, 2);
  SetRotation(90);
  EXPECT_TRUE(ImagesCollide(img, 100, 75, 0, dot, 100, 57, 0));
  SetScale(1, 1);
  SetRotation(0);
  // Unrotated, the image is 20 wide: a dot 15 px to the right is off it.
  EXPECT_FALSE(ImagesCollide(img, 100, 75, 0, dot, 115, 75, 0));
  FreeImage(img);
  FreeImage(dot);
}

TEST_F(Render, AnimationFramesAndNearestFiltering) {
  // Three 2x1 frames; frame 1 is blue then yellow. Unfiltered scaling keeps
  // hard edges and never bleeds a neighbour frame in.
  const int img = MakeImage(
      2, 1,
      {{Pack(255, 0, 0), Pack(255, 0, 0)}, {Pack(0, 0, 255), Pack(255, 255, 0)}, {Pack(0, 255, 0), Pack(0, 255, 0)}}, 0,
      0);
  SetBlend(SOLIDBLEND);
  SetScale(16, 16);
  DrawImage(img, 10, 10, 1);
  for (int x = 10; x < 26; ++x) EXPECT_TRUE(Near(At(x, 18), 0, 0, 255)) << x;
  for (int x = 26; x < 42; ++x) EXPECT_TRUE(Near(At(x, 18), 255, 255, 0)) << x;
  EXPECT_TRUE(Near(At(42, 18), 0, 0, 0));
  DrawImage(img, 10, 40, 3);  // no such frame: nothing
  EXPECT_TRUE(Near(At(12, 45), 0, 0, 0));
  FreeImage(img);
}

TEST_F(Render, LinesAreOnePixelAndHonourTheLastPixel) {
  SetBlend(SOLIDBLEND);
  DrawLine(10, 20, 30, 20, true);
  for (int x = 10; x <= 30; ++x) EXPECT_TRUE(Near(At(x, 20), 255, 255, 255)) << x;
  ExpectSpots({{31, 20, {0, 0, 0}}, {9, 20, {0, 0, 0}}, {20, 19, {0, 0, 0}}, {20, 21, {0, 0, 0}}});
  DrawLine(10, 40, 30, 40, false);
  EXPECT_TRUE(Near(At(29, 40), 255, 255, 255));
  EXPECT_TRUE(Near(At(30, 40), 0, 0, 0));
  DrawLine(50, 10, 50, 30);
  for (int y = 10; y <= 30; ++y) EXPECT_TRUE(Near(At(50, y), 255, 255, 255)) << y;
}

TEST_F(Render, TextFitsItsMeasuredBoxAndScales) {
  auto inkBox = [](int& x0, int& y0, int& x1, int& y1) {
    const Pixmap p = GrabPixmap(0, 0, 200, 150);
    x0 = y0 = 1000;
    x1 = y1 = -1;
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 200; ++x)
        if ((p.pixels[y * 200 + x] & 0xFFFFFF) != 0) {
          x0 = std::min(x0, x);
          y0 = std::min(y0, y);
          x1 = std::max(x1, x);
          y1 = std::max(y1, y);
        }
  };
  const std::string text = "HEY";
  const int w = TextWidth(text), h = TextHeight(text);
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  SetColor(255, 255, 0);
  DrawText(text, 20, 30);
  int x0, y0, x1, y1;
  inkBox(x0, y0, x1, y1);
  ASSERT_GE(x1, 0) << "no text drawn";
  EXPECT_GE(x0, 20);
  EXPECT_GE(y0, 30);
  EXPECT_LT(x1, 20 + w);
  EXPECT_LT(y1, 30 + h);
  EXPECT_GT(x1 - x0 + 1, w / 2);  // three letters span most of the width
  const Rgb ink = At(x0, y0 + (y1 - y0) / 2);
  EXPECT_EQ(ink.b, 0);  // the colour multiplies the glyphs

  ClearScreen();
  SetScale(2, 2);
  DrawText(text, 20, 30);
  int sx0, sy0, sx1, sy1;
  inkBox(sx0, sy0, sx1, sy1);
  EXPECT_NEAR(sx1 - sx0 + 1, 2 * (x1 - x0 + 1), 2);
  EXPECT_NEAR(sy1 - sy0 + 1, 2 * (y1 - y0 + 1), 2);

  // A TrueType font from the staged data, when the build has staged it.
  const std::string face = std::string(WENHOD_DATA_DIR) + "/Common/SVBasicManual.ttf";
  if (FileType(face) == 1) {
    const int font = LoadFont(face, 24, SMOOTHFONT);
    ASSERT_NE(font, 0);
    SetFont(font);
    SetScale(1, 1);
    ClearScreen();
    DrawText("Hg", 10, 10);
    inkBox(x0, y0, x1, y1);
    ASSERT_GE(x1, 0);
    EXPECT_GE(y0, 10);
    EXPECT_LT(y1, 10 + TextHeight("Hg"));
    EXPECT_GT(y1 - y0, 12);  // a 24-pixel face with a descender
    SetFont(0);
    FreeFont(font);
  }
}

TEST_F(Render, VirtualResolutionMapsOntoTheDisplay) {
  CloseDisplay();
  ASSERT_TRUE(OpenWindow(800, 600, 1280, 960));
  ClearScreen();
  SetBlend(SOLIDBLEND);
  SetColor(0, 200, 0);
  DrawRect(640, 480, 128, 96);  // display (400,300)-(480,360)
  ExpectSpots({{400, 300, {0, 200, 0}},
               {479, 359, {0, 200, 0}},
               {399, 330, {0, 0, 0}},
               {480, 330, {0, 0, 0}},
               {440, 299, {0, 0, 0}},
               {440, 360, {0, 0, 0}}});
  SetVirtualResolution(200, 150);
}

// Bands are one quad of a band texture where nothing turns or scales them,
// else one rectangle each: either way the very pixels of the rectangles, at
// the game's own 1280 x 960 over 800 x 600 (band edges fall between and on
// pixel centres), over a picture, in each blend and alpha; two skies in turn
// and a sky whose colours change draw their own colours.
TEST_F(Render, BandsDrawExactlyTheirRectangles) {
  CloseDisplay();
  ASSERT_TRUE(OpenWindow(800, 600, 1280, 960));
  const auto sky = [](int n, int seed) {
    std::vector<uint32_t> c(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) c[i] = Pack((i * 7 + seed) % 256, (i * 13) % 256, (255 - i - seed) % 256) & 0xFFFFFF;
    return c;
  };
  const auto picture = [](const std::vector<uint32_t>& colours, float bandH, int blend, float alpha, bool asBands,
                          float turn = 0) {
    ClearScreen();
    Reset();
    SetBlend(SOLIDBLEND);
    SetColor(40, 90, 160);
    DrawRect(300, 100, 500, 700);  // something to blend over
    SetBlend(blend);
    SetAlpha(alpha);
    SetColor(9, 9, 9);  // not used by bands
    SetRotation(turn);
    if (asBands) {
      DrawBands(colours, 10, 3, 1270, bandH);
    } else {
      for (size_t i = 0; i < colours.size(); ++i) {
        SetColor(colours[i] & 0xFF, colours[i] >> 8 & 0xFF, colours[i] >> 16 & 0xFF);
        DrawRect(10, 3 + static_cast<float>(i) * bandH, 1270, bandH);
      }
    }
    return GrabPixmap(0, 0, 800, 600).pixels;
  };
  const std::vector<uint32_t> plain = sky(417, 0), blue = sky(139, 50), bluer = sky(139, 51);
  struct Case {
    const std::vector<uint32_t>* colours;
    float bandH;
    int blend;
    float alpha;
  };
  for (int pass = 0; pass < 2; ++pass) {  // the second finds the textures made
    for (const Case& c :
         {Case{&plain, 2, ALPHABLEND, 1}, Case{&blue, 6, ALPHABLEND, 0.4f}, Case{&plain, 2, MASKBLEND, 1},
          Case{&bluer, 6, LIGHTBLEND, 0.7f}, Case{&blue, 6, SOLIDBLEND, 0.2f}, Case{&plain, 2, SHADEBLEND, 1}}) {
      const std::vector<uint32_t> want = picture(*c.colours, c.bandH, c.blend, c.alpha, false);
      const std::vector<uint32_t> got = picture(*c.colours, c.bandH, c.blend, c.alpha, true);
      EXPECT_GT(std::set<uint32_t>(want.begin(), want.end()).size(), c.colours->size() / 2);  // the bands are there
      EXPECT_TRUE(want == got) << "pass " << pass << ", blend " << c.blend << ", " << c.colours->size() << " bands";
    }
  }
  // Turned, the bands stay separate rectangles, each about its own corner.
  const std::vector<uint32_t> few = sky(5, 3);
  const std::vector<uint32_t> turned = picture(few, 40, ALPHABLEND, 1, true, 10);
  EXPECT_TRUE(turned == picture(few, 40, ALPHABLEND, 1, false, 10));
  EXPECT_FALSE(turned == picture(few, 40, ALPHABLEND, 1, true));
  SetVirtualResolution(200, 150);
}

// Kept in shape on a display of another (a 4:3 area on 16:10), the area is
// drawn centred between black bars, and the pointer is read inside it.
TEST_F(Render, AnAreaKeptInShapeSitsBetweenBars) {
  CloseDisplay();
  ASSERT_TRUE(OpenWindow(160, 100, 128, 96));
  KeepPictureShape(true);  // 133 x 100 pixels from x = 13
  ClearScreen();
  SetBlend(SOLIDBLEND);
  SetColor(0, 200, 0);
  DrawRect(-50, -50, 300, 300);  // beyond the area on every side
  ExpectSpots({{12, 50, {0, 0, 0}},
               {146, 50, {0, 0, 0}},
               {13, 50, {0, 200, 0}},
               {145, 50, {0, 200, 0}},
               {80, 0, {0, 200, 0}},
               {80, 99, {0, 200, 0}}});
  MoveMouse(13 + 133 / 2, 50);
  EXPECT_NEAR(VirtualMouseX(), 64, 0.5);
  EXPECT_NEAR(VirtualMouseY(), 48, 0.5);
  KeepPictureShape(false);
}

TEST_F(Render, GrabPixmapAndGrabImageCopyTheFrame) {
  SetBlend(SOLIDBLEND);
  SetColor(255, 0, 0);
  DrawRect(10, 10, 4, 4);
  SetColor(0, 0, 255);
  DrawRect(14, 10, 4, 4);
  const Pixmap p = GrabPixmap(12, 10, 4, 2);
  ASSERT_EQ(p.pixels.size(), 8u);
  EXPECT_EQ(p.pixels[0], Pack(255, 0, 0));
  EXPECT_EQ(p.pixels[2], Pack(0, 0, 255));
  EXPECT_EQ(p.pixels[5], Pack(255, 0, 0));
  // Outside the display reads as black.
  const Pixmap edge = GrabPixmap(-1, 0, 2, 1);
  EXPECT_EQ(edge.pixels[0], Pack(0, 0, 0));

  const int img = CreateImage(8, 4, 1, 0);
  ASSERT_NE(img, 0);
  SetColor(255, 255, 255);
  DrawImage(img, 50, 50);  // uploaded blank first, so the grab must re-upload
  GrabImage(img, 10, 10);
  ClearScreen();
  DrawImage(img, 100, 100);
  EXPECT_TRUE(Near(At(101, 101), 255, 0, 0));
  EXPECT_TRUE(Near(At(106, 103), 0, 0, 255));
  FreeImage(img);
}

TEST_F(Render, PresentKeepsThePictureForDrawingOver) {
  SetBlend(SOLIDBLEND);
  SetColor(0, 255, 255);
  DrawRect(0, 0, 50, 50);
  PresentFrame(0);
  SetColor(255, 0, 0);
  DrawRect(60, 0, 10, 10);
  EXPECT_TRUE(Near(At(10, 10), 0, 255, 255));
  EXPECT_TRUE(Near(At(65, 5), 255, 0, 0));
  PresentFrame(-1);
  EXPECT_TRUE(Near(At(10, 10), 0, 255, 255));
}

TEST_F(Render, DrawOrderSurvivesBatchingAcrossTexturesAndBlends) {
  const int red = MakeImage(1, 1, {{Pack(255, 0, 0)}});
  const int blue = MakeImage(1, 1, {{Pack(0, 0, 255)}});
  SetScale(10, 10);
  for (int i = 0; i < 2000; ++i) DrawImage(i % 2 ? red : blue, 5, 5);  // last: red
  SetScale(1, 1);
  SetBlend(ALPHABLEND);
  SetAlpha(0.5f);
  DrawRect(5, 5, 5, 5);  // white over red
  EXPECT_TRUE(Near(At(7, 7), 255, 128, 128));
  EXPECT_TRUE(Near(At(12, 12), 255, 0, 0));
  // More quads than one batch holds.
  SetAlpha(1);
  SetBlend(SOLIDBLEND);
  SetScale(1, 1);
  for (int i = 0; i < 40000; ++i) DrawImage(i < 39999 ? blue : red, 150, 100);
  EXPECT_TRUE(Near(At(150, 100), 255, 0, 0));
  FreeImage(red);
  FreeImage(blue);
}

// The batch is handed to GL in parts. Overlapping sprites spread through
// thousands of draws land exactly as when drawn without the others between
// them, in every blend, rotated, scaled and coloured.
TEST_F(Render, SpritesSpreadThroughALongBatchMatchTheSameSpritesAlone) {
  std::vector<uint32_t> px(8 * 6);
  for (int i = 0; i < 48; ++i) px[i] = Pack(40 * (i % 6), 255 - 5 * i, 30 * (i % 8), i % 5 == 0 ? 60 : 255 - 2 * i);
  const int img = MakeImage(8, 6, {px}, 3, 2);
  auto frame = [&](int blend, bool between) {
    ClearScreen();
    Background();
    SetBlend(blend);
    SetScale(3.5f, 2.25f);
    SetRotation(33);
    for (int i = 0; i < 3000; ++i) {
      if (i % 97 == 0) {
        SetColor(220 - i / 20, 150, 90 + i / 40);
        SetAlpha(0.25f + static_cast<float>(i % 7) / 10);
        DrawImage(img, 20.3f + static_cast<float>(i) / 50, 30.6f + static_cast<float>(i % 9) * 4);
      } else if (between) {
        DrawImage(img, -200, static_cast<float>(i % 100));  // off the frame
      }
    }
    Reset();
    return GrabPixmap(0, 0, 100, 100).pixels;
  };
  for (int blend : {MASKBLEND, SOLIDBLEND, ALPHABLEND, LIGHTBLEND, SHADEBLEND}) {
    const std::vector<uint32_t> alone = frame(blend, false);
    EXPECT_EQ(frame(blend, true), alone) << "blend " << blend;
    int changed = 0;
    for (uint32_t v : alone) changed += v != Pack(100, 120, 140);
    EXPECT_GT(changed, 1000) << "blend " << blend;  // the sprites are there
  }
  FreeImage(img);
}

TEST_F(Render, ImagesLoadedBeforeAReopenStillDraw) {
  const int img = MakeImage(2, 2, {{Pack(0, 255, 0), Pack(0, 255, 0), Pack(0, 255, 0), Pack(0, 255, 0)}});
  DrawImage(img, 5, 5);
  EXPECT_TRUE(Near(At(5, 5), 0, 255, 0));
  DrawText("A", 50, 50);  // the built-in face gets its texture now

  CloseDisplay();
  ASSERT_TRUE(OpenWindow(320, 240, 320, 240));
  ClearScreen();
  DrawImage(img, 300, 200);
  EXPECT_TRUE(Near(At(301, 201), 0, 255, 0));
  DrawText("A", 10, 10);
  const Pixmap p = GrabPixmap(10, 10, TextWidth("A"), TextHeight("A"));
  int lit = 0;
  for (uint32_t v : p.pixels) lit += (v & 0xFFFFFF) != 0;
  EXPECT_GT(lit, 0);
  FreeImage(img);
}

TEST_F(Render, ModesAndReopeningWithOtherSettings) {
  const int count = CountGraphicsModes();
  for (int i = 0; i < count; ++i) {
    const DisplayMode m = GetGraphicsMode(i);
    EXPECT_GT(m.width, 0);
    EXPECT_GT(m.height, 0);
    EXPECT_TRUE(m.depth == 16 || m.depth == 24 || m.depth == 32 || m.depth == 8) << m.depth;
    EXPECT_GE(m.hertz, 0);
  }
  // A full-screen mode the display does not offer fails; a window opens.
  CloseDisplay();
  EXPECT_FALSE(OpenDisplay(123, 45, 32, 60, 0));
  EXPECT_TRUE(OpenDisplay(64, 48, 0, 60, 0));
}

}  // namespace
