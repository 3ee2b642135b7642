// The drawing helpers: alignment, clamped colour, the draw state reset, blend
// modes, the counted sprite draw and the pointer-in-rectangle test.
#include "tests/unit/support.h"

using namespace support;

namespace {

class DrawHelpers : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    OpenTestDisplay();
    HeadlessClearDraws();
  }
  const DrawRecord& Last() { return HeadlessDraws().back(); }
};

TEST_F(DrawHelpers, TextIsAlignedByItsUnscaledSizeWithTruncatedHalves) {
  // The built-in face: find a text whose width and height are both odd, so the
  // halves show their truncation.
  std::string text = "A";
  while (TextWidth(text) % 2 == 0 && text.size() < 12) text += "i";
  const int w = TextWidth(text), h = TextHeight(text);
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);

  DrawTextAligned(100, 100, text, 1, 1);
  EXPECT_FLOAT_EQ(Last().x, static_cast<float>(100 - w / 2));
  EXPECT_FLOAT_EQ(Last().y, static_cast<float>(100 - h / 2));
  DrawTextAligned(100, 100, text, 2, 2);
  EXPECT_FLOAT_EQ(Last().x, static_cast<float>(100 - w));
  EXPECT_FLOAT_EQ(Last().y, static_cast<float>(100 - h));
  DrawTextAligned(100, 100, text, 7, -1);  // unknown codes leave the point alone
  EXPECT_FLOAT_EQ(Last().x, 100);
  EXPECT_FLOAT_EQ(Last().y, 100);

  SetDrawScale(3);
  DrawTextAligned(100, 100, text, 2, 0);
  EXPECT_FLOAT_EQ(Last().x, static_cast<float>(100 - w));
  EXPECT_FLOAT_EQ(Last().scaleX, 3);
  EXPECT_EQ(Last().text, text);
}

TEST_F(DrawHelpers, ColourIsClampedAndTruncatedAndAlphaOnlyWhenGiven) {
  SetAlpha(0.3f);
  SetColorAlpha(300, -5, 127.9);
  int r = 0, g = 0, b = 0;
  GetColor(r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 127);
  EXPECT_FLOAT_EQ(GetAlpha(), 0.3f);
  SetColorAlpha(1, 2, 3, 1.5);
  EXPECT_FLOAT_EQ(GetAlpha(), 1);
  SetColorAlpha(1, 2, 3, -0.5);
  EXPECT_FLOAT_EQ(GetAlpha(), 0);
  EXPECT_DOUBLE_EQ(ClampFloat(5, 1, 3), 3);
  EXPECT_DOUBLE_EQ(ClampFloat(-5, 1, 3), 1);
  EXPECT_DOUBLE_EQ(ClampFloat(2.5, 1, 3), 2.5);
}

TEST_F(DrawHelpers, ResetAndBlendModes) {
  SetDrawRotation(33);
  SetDrawScale(2, 4);
  SetColorAlpha(10, 20, 30, 0.2);
  SetBlendMode(3);
  EXPECT_EQ(GetBlend(), LIGHTBLEND);
  SetBlendMode(2);
  EXPECT_EQ(GetBlend(), SHADEBLEND);
  SetBlendMode(0);
  EXPECT_EQ(GetBlend(), SOLIDBLEND);
  SetBlendMode(9);  // remembered only
  EXPECT_EQ(BlendMode, 9);
  EXPECT_EQ(GetBlend(), SOLIDBLEND);

  ResetDrawState();
  float sx = 0, sy = 0;
  GetScale(sx, sy);
  int r = 0, g = 0, b = 0;
  GetColor(r, g, b);
  EXPECT_FLOAT_EQ(GetRotation(), 0);
  EXPECT_FLOAT_EQ(sx, 1);
  EXPECT_FLOAT_EQ(sy, 1);
  EXPECT_EQ(r + g + b, 3 * 255);
  EXPECT_FLOAT_EQ(GetAlpha(), 1);
  EXPECT_EQ(BlendMode, 1);
  EXPECT_EQ(GetBlend(), ALPHABLEND);
}

TEST_F(DrawHelpers, SpritesAreDrawnByTheirTopLeftWithinTheBudget) {
  AutoMidHandle(true);
  const int image = CreateImage(64, 64, 1, 0);
  ASSERT_NE(image, 0);
  SpriteLimit[1] = 3;
  SetDrawScale(2);
  DrawSprite(image, 10, 20, 0, 1);
  ASSERT_EQ(Last().kind, DrawRecord::IMAGE);
  EXPECT_FLOAT_EQ(Last().x, 74);
  EXPECT_FLOAT_EQ(Last().y, 84);

  DrawSprite(image, 0, 0, 0, 1);
  DrawSprite(image, 0, 0, 0, 1);
  DrawSprite(image, 0, 0, 0, 1);  // the fourth is over the budget
  EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::IMAGE), 3);
  EXPECT_EQ(SpriteCount[1], 3);
  DrawSprite(image, 0, 0, 0, 0);   // kind 0 has no budget at all
  DrawSprite(image, 0, 0, 0, 25);  // no such kind: ignored, not out of bounds
  EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::IMAGE), 3);

  BeginFrame(0);  // counts reset without clearing
  EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::CLEAR), 0);
  DrawSprite(image, 0, 0, 0, 1);
  EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::IMAGE), 4);
  BeginFrame(1);
  EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::CLEAR), 1);
  for (int kind = 1; kind <= 10; ++kind) EXPECT_EQ(SpriteCount[kind], 0);

  // A slow system draws nothing on the frames it never presents.
  Settings[SET_SLOWSYSTEM] = 1;
  FrameParity = 1;
  DrawSprite(image, 0, 0, 0, 1);
  EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::IMAGE), 4);
  EXPECT_EQ(SpriteCount[1], 0);
  FrameParity = 0;
  DrawSprite(image, 0, 0, 0, 1);
  EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::IMAGE), 5);
  FreeImage(image);
}

TEST_F(DrawHelpers, MouseInRectIsStrict) {
  MouseX = 50;
  MouseY = 60;
  EXPECT_EQ(MouseInRect(40, 50, 20, 20), 1);
  EXPECT_EQ(MouseInRect(50, 50, 20, 20), 0);  // on the left edge
  EXPECT_EQ(MouseInRect(40, 60, 20, 20), 0);  // on the top edge
  EXPECT_EQ(MouseInRect(30, 50, 20, 20), 0);  // on the right edge
  EXPECT_EQ(MouseInRect(40, 40, 20, 20), 0);  // on the bottom edge
  EXPECT_EQ(MouseInRect(49, 59, 2, 2), 1);
  EXPECT_EQ(MouseInRect(40, 50, 2147483647, 2147483647), 1);  // no overflow
}

}  // namespace
