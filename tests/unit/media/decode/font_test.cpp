// Fonts: TrueType faces measured and rasterised, the built-in face, and the
// fall-back to it for files that are not fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "media/backend.h"
#include "media/headless/headless.h"
#include "tests/unit/support.h"

using namespace support;

namespace {

const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class Fonts : public MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    if (!std::filesystem::exists(kDejaVu)) GTEST_SKIP() << "no DejaVu font on this machine";
  }
};

int Coverage(const FontData& f, int code) {
  const Glyph& g = f.glyphs[code];
  int sum = 0;
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x) sum += f.atlas[static_cast<size_t>(g.y + y) * f.atlasWidth + g.x + x];
  return sum;
}

}  // namespace

TEST_F(Fonts, TrueTypeWidthGrowsHeightStays) {
  int font = LoadFont(kDejaVu, 24, SMOOTHFONT);
  ASSERT_NE(font, 0);
  SetFont(font);
  EXPECT_EQ(GetFont(), font);
  int w1 = TextWidth("i"), w4 = TextWidth("iiii"), wm = TextWidth("MMMM");
  EXPECT_GT(w1, 0);
  EXPECT_EQ(w4, 4 * w1);
  EXPECT_GT(wm, w4);
  EXPECT_EQ(TextWidth(""), 0);
  int h = TextHeight("Hello");
  EXPECT_GE(h, 24);
  EXPECT_LT(h, 48);
  EXPECT_EQ(TextHeight(""), h);
  EXPECT_EQ(TextHeight("gjpqy WWW"), h);

  const FontData* f = FontFromHandle(font);
  ASSERT_NE(f, nullptr);
  EXPECT_GT(f->ascent, 0);
  EXPECT_LE(f->ascent, f->lineHeight);
  EXPECT_GT(Coverage(*f, 'A'), 0);
  EXPECT_EQ(Coverage(*f, ' '), 0);
  EXPECT_GT(f->glyphs[' '].advance, 0);
  EXPECT_GT(Coverage(*f, 0xE9), 0);  // e-acute: byte value is the code point
  // Glyphs sit inside the atlas and do not overlap each other.
  for (int c = 0; c < 256; ++c) {
    const Glyph& g = f->glyphs[c];
    ASSERT_LE(g.x + g.w, f->atlasWidth);
    ASSERT_LE(g.y + g.h, f->atlasHeight);
  }

  int big = LoadFont(kDejaVu, 48, SMOOTHFONT);
  SetFont(big);
  EXPECT_GT(TextHeight(""), h);
  EXPECT_GT(TextWidth("iiii"), w4);
  int bold = LoadFont(kDejaVu, 24, BOLDFONT | SMOOTHFONT);
  SetFont(bold);
  EXPECT_GE(TextWidth("MMMM"), wm);
  EXPECT_GT(Coverage(*FontFromHandle(bold), 'l'), Coverage(*f, 'l'));

  // Without smoothing, coverage is all or nothing.
  int sharp = LoadFont(kDejaVu, 24, 0);
  const FontData* fs = FontFromHandle(sharp);
  EXPECT_TRUE(std::all_of(fs->atlas.begin(), fs->atlas.end(), [](uint8_t v) { return v == 0 || v == 255; }));
  EXPECT_GT(Coverage(*fs, 'A'), 0);
  for (int h2 : {font, big, bold, sharp}) FreeFont(h2);
}

TEST_F(Fonts, NotAFontFallsBackToTheBuiltInFace) {
  WriteBytes(dir / "fake.ttf", "definitely not a TrueType font");
  int fake = LoadFont(dir / "fake.ttf", 24, 0);
  EXPECT_EQ(fake, 0);
  EXPECT_EQ(LoadFont(dir / "missing.ttf", 24, 0), 0);
  EXPECT_EQ(LoadFont(kDejaVu, 0, 0), 0);
  EXPECT_EQ(LoadFont(kDejaVu, -3, 0), 0);

  SetFont(0);
  int bw = TextWidth("Score 100"), bh = TextHeight("");
  EXPECT_GT(bw, 0);
  EXPECT_GT(bh, 0);
  SetFont(fake);
  EXPECT_EQ(TextWidth("Score 100"), bw);
  EXPECT_EQ(TextHeight("x"), bh);

  // A freed font measures as the built-in face too, and text still draws.
  int real = LoadFont(kDejaVu, 30, SMOOTHFONT);
  SetFont(real);
  EXPECT_NE(TextWidth("Score 100"), bw);
  FreeFont(real);
  EXPECT_EQ(TextWidth("Score 100"), bw);
  HeadlessClearDraws();
  DrawText("still here", 5, 5);
  ASSERT_EQ(HeadlessDraws().size(), 1u);
  EXPECT_EQ(HeadlessDraws()[0].text, "still here");
}

TEST(BuiltinFace, FixedCellsWithShapes) {
  FontData f;
  BuiltinFont(f);
  EXPECT_EQ(f.lineHeight, 16);
  EXPECT_EQ(f.glyphs['A'].advance, f.glyphs['i'].advance);
  EXPECT_EQ(f.glyphs[' '].advance, f.glyphs['A'].advance);
  EXPECT_EQ(f.glyphs[7].advance, 0);  // controls take no room
  EXPECT_GT(Coverage(f, 'A'), 0);
  EXPECT_GT(Coverage(f, 0xC9), 0);  // accented letters show their base letter
  EXPECT_EQ(Coverage(f, ' '), 0);
  // Every printable ASCII glyph but the space has ink, and no two are alike.
  std::vector<std::vector<uint8_t>> shapes;
  for (int c = 33; c < 127; ++c) {
    const Glyph& g = f.glyphs[c];
    std::vector<uint8_t> s;
    for (int y = 0; y < g.h; ++y)
      for (int x = 0; x < g.w; ++x) s.push_back(f.atlas[static_cast<size_t>(g.y + y) * f.atlasWidth + g.x + x]);
    EXPECT_GT(Coverage(f, c), 0) << c;
    EXPECT_EQ(std::find(shapes.begin(), shapes.end(), s), shapes.end()) << "glyph " << char(c) << " repeats";
    shapes.push_back(s);
  }
}
