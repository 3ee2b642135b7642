// Images: PNG decoding of every colour layout, frame cutting, handles, saving,
// grabbing, and the pixel-exact overlap test under scale and rotation.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>

#include "media/backend.h"
#include "media/headless/headless.h"
#include "tests/unit/support.h"

using namespace support;

namespace {

// Writes a PNG in any colour layout libpng supports; rows are given as raw
// bytes in that layout.
std::string WriteRawPng(const TempDir& dir, const std::string& name, int w, int h, int depth, int colour,
                        bool interlaced, const std::vector<std::vector<uint8_t>>& rows,
                        const std::vector<png_color>& palette = {}, const std::vector<uint8_t>& trns = {}) {
  std::string file = dir / name;
  FILE* f = std::fopen(file.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    ADD_FAILURE() << "libpng failed writing " << name;
  } else {
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, depth, colour, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!trns.empty()) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> ptrs;
    for (auto& r : rows) ptrs.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, ptrs.data());
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return file;
}

std::vector<uint32_t> Decode(const std::string& file, int& w, int& h) {
  std::vector<uint32_t> px;
  EXPECT_TRUE(DecodePng(file, w, h, px)) << file;
  return px;
}

uint32_t Pixel(int image, int frame, int x, int y) {
  ImageData* img = ImageFromHandle(image);
  return img->pixels[frame][static_cast<size_t>(y) * img->width + x];
}

using Images = MediaTest;

}  // namespace

TEST_F(Images, SavedPngDecodesToTheSamePixels) {
  Pixmap pm;
  pm.width = 7;
  pm.height = 5;
  for (int i = 0; i < 35; ++i) pm.pixels.push_back(Rgba(i * 7, 255 - i, (i * 37) & 255, (i * 91) & 255));
  for (int level : {0, 9, -3, 42}) {  // levels outside 0..9 are clamped, not refused
    std::string file = dir / ("p" + std::to_string(level) + ".png");
    ASSERT_EQ(SavePixmapPNG(pm, file, level), 1);
    EXPECT_EQ(ReadBytes(file).substr(1, 3), "PNG");
    int w = 0, h = 0;
    EXPECT_EQ(Decode(file, w, h), pm.pixels);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 5);
  }
  EXPECT_EQ(SavePixmapPNG(pm, dir / "no/folder/x.png", 9), 0);
  EXPECT_EQ(SavePixmapPNG(Pixmap(), dir / "empty.png", 9), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "empty.png"));
  Pixmap bad = pm;
  bad.pixels.pop_back();
  EXPECT_EQ(SavePixmapPNG(bad, dir / "bad.png", 9), 0);
}

TEST_F(Images, EveryColourLayoutDecodesToRgba) {
  int w, h;
  // 8-bit grey, and grey with alpha.
  auto grey = WriteRawPng(dir, "g8.png", 2, 1, 8, PNG_COLOR_TYPE_GRAY, false, {{10, 200}});
  EXPECT_EQ(Decode(grey, w, h), (std::vector<uint32_t>{Rgba(10, 10, 10), Rgba(200, 200, 200)}));
  auto ga = WriteRawPng(dir, "ga.png", 1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, false, {{50, 60}});
  EXPECT_EQ(Decode(ga, w, h), (std::vector<uint32_t>{Rgba(50, 50, 50, 60)}));
  // 1-bit grey expands to black and white.
  auto g1 = WriteRawPng(dir, "g1.png", 8, 1, 1, PNG_COLOR_TYPE_GRAY, false, {{0xA0}});
  auto px = Decode(g1, w, h);
  ASSERT_EQ(px.size(), 8u);
  EXPECT_EQ(px[0], Rgba(255, 255, 255));
  EXPECT_EQ(px[1], Rgba(0, 0, 0));
  EXPECT_EQ(px[2], Rgba(255, 255, 255));
  // A palette with a transparent entry.
  auto pal = WriteRawPng(dir, "pal.png", 3, 1, 8, PNG_COLOR_TYPE_PALETTE, false, {{0, 1, 2}},
                         {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, {0, 128});
  EXPECT_EQ(Decode(pal, w, h), (std::vector<uint32_t>{Rgba(255, 0, 0, 0), Rgba(0, 255, 0, 128), Rgba(0, 0, 255)}));
  // 16-bit RGB scales to 8 bits, alpha becomes opaque.
  auto rgb16 =
      WriteRawPng(dir, "rgb16.png", 1, 1, 16, PNG_COLOR_TYPE_RGB, false, {{0x12, 0x12, 0xAB, 0xAB, 0xFF, 0xFF}});
  EXPECT_EQ(Decode(rgb16, w, h), (std::vector<uint32_t>{Rgba(0x12, 0xAB, 0xFF)}));
  // Interlaced RGBA, big enough to use every pass.
  std::vector<std::vector<uint8_t>> rows(9);
  std::vector<uint32_t> want;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      uint8_t v[4] = {static_cast<uint8_t>(x * 20), static_cast<uint8_t>(y * 20), static_cast<uint8_t>(x + y), 255};
      rows[y].insert(rows[y].end(), v, v + 4);
      want.push_back(Rgba(v[0], v[1], v[2], v[3]));
    }
  auto inter = WriteRawPng(dir, "adam7.png", 9, 9, 8, PNG_COLOR_TYPE_RGB_ALPHA, true, rows);
  EXPECT_EQ(Decode(inter, w, h), want);
}

TEST_F(Images, MissingCorruptAndTruncatedFilesGiveNull) {
  std::string good = WritePng(dir, "good.png", 40, 40, [](int x, int y) { return Rgba(x, y, x ^ y); });
  std::string bytes = ReadBytes(good);
  WriteBytes(dir / "half.png", bytes.substr(0, bytes.size() / 2));
  WriteBytes(dir / "head.png", bytes.substr(0, 30));
  WriteBytes(dir / "empty.png", "");
  WriteBytes(dir / "text.png", "this is not a picture at all");
  std::string flipped = bytes;
  flipped[bytes.size() / 2] ^= 0x55;  // inside the compressed data: bad CRC
  WriteBytes(dir / "flipped.png", flipped);
  testing::internal::CaptureStderr();
  for (const char* name : {"missing.png", "half.png", "head.png", "empty.png", "text.png", "flipped.png"}) {
    EXPECT_EQ(LoadImage(dir / name, 0), 0) << name;
    EXPECT_EQ(LoadAnimImage(dir / name, 4, 4, 0, 2, 0), 0) << name;
  }
  EXPECT_EQ(LoadImage(dir.path.string(), 0), 0);  // a folder
  EXPECT_NE(LoadImage(good, 0), 0);
  // Each file that is there but unusable is named on standard error; a missing one is not.
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.find("missing.png"), std::string::npos) << said;
  EXPECT_EQ(said.find("good.png"), std::string::npos) << said;
  EXPECT_NE(said.find(std::string(dir / "text.png") + ": not a PNG image that can be used\n"), std::string::npos)
      << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 11) << said;
}

TEST_F(Images, AnimImageCutsLeftToRightTopToBottom) {
  // A 3 x 2 sheet of 4 x 5 cells; cell k is filled with red = k * 10.
  std::string sheet =
      WritePng(dir, "sheet.png", 12, 10, [](int x, int y) { return Rgba((y / 5 * 3 + x / 4) * 10, x % 4, y % 5); });
  AutoMidHandle(true);
  int img = LoadAnimImage(sheet, 4, 5, 1, 4, MASKEDIMAGE);
  ASSERT_NE(img, 0);
  EXPECT_EQ(ImageWidth(img), 4);
  EXPECT_EQ(ImageHeight(img), 5);
  EXPECT_EQ(ImageFrames(img), 4);
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(Pixel(img, f, 0, 0), Rgba((f + 1) * 10, 0, 0)) << f;
    EXPECT_EQ(Pixel(img, f, 3, 4), Rgba((f + 1) * 10, 3, 4)) << f;
  }
  ImageData* d = ImageFromHandle(img);
  EXPECT_FLOAT_EQ(d->handleX, 2);
  EXPECT_FLOAT_EQ(d->handleY, 2.5f);

  // Asking past the sheet gives the cells there are; none at all gives null.
  int rest = LoadAnimImage(sheet, 4, 5, 4, 10, 0);
  EXPECT_EQ(ImageFrames(rest), 2);
  EXPECT_EQ(Pixel(rest, 1, 0, 0), Rgba(50, 0, 0));
  EXPECT_EQ(LoadAnimImage(sheet, 4, 5, 6, 1, 0), 0);
  EXPECT_EQ(LoadAnimImage(sheet, 0, 5, 0, 1, 0), 0);
  EXPECT_EQ(LoadAnimImage(sheet, 13, 5, 0, 1, 0), 0);
  EXPECT_EQ(LoadAnimImage(sheet, 4, 5, -1, 1, 0), 0);

  AutoMidHandle(false);
  int plain = LoadImage(sheet, 0);
  EXPECT_FLOAT_EQ(ImageFromHandle(plain)->handleX, 0);
  EXPECT_EQ(ImageWidth(plain), 12);
  EXPECT_EQ(ImageFrames(plain), 1);
  FreeImage(img);
  FreeImage(rest);
  FreeImage(plain);
}

TEST_F(Images, HandlesAreReusedAndNullHandlesDoNothing) {
  std::string file = WritePng(dir, "dot.png", 2, 2, [](int, int) { return Rgba(1, 2, 3); });
  int a = LoadImage(file, 0);
  int b = LoadImage(file, 0);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  FreeImage(a);
  EXPECT_EQ(ImageWidth(a), 0);
  EXPECT_EQ(ImageFrames(a), 0);
  FreeImage(a);  // twice is harmless
  FreeImage(0);

  HeadlessClearDraws();
  DrawImage(a, 10, 10);
  DrawImage(0, 10, 10);
  DrawImage(b, 10, 10, 1);  // no such frame
  DrawImage(b, 10, 10, -1);
  DrawImage(-7, 1, 1);
  EXPECT_TRUE(HeadlessDraws().empty());
  DrawImage(b, 10, 20);
  ASSERT_EQ(HeadlessDraws().size(), 1u);
  EXPECT_EQ(HeadlessDraws()[0].image, b);

  int c = LoadImage(file, 0);
  EXPECT_EQ(c, a);  // the freed slot is taken again
  FreeImage(b);
  FreeImage(c);
}

TEST_F(Images, CreateGrabAndPixmap) {
  ASSERT_TRUE(OpenDisplay(640, 480, 0, 0, 0));
  SetVirtualResolution(1280, 960);
  AutoMidHandle(true);
  int img = CreateImage(64, 32, 2, 0);
  ASSERT_NE(img, 0);
  ImageData* d = ImageFromHandle(img);
  EXPECT_TRUE(d->flags & DYNAMICIMAGE);
  EXPECT_FLOAT_EQ(d->handleX, 32);
  EXPECT_EQ(Pixel(img, 1, 5, 5), 0u);
  uint32_t v = d->version;
  GrabImage(img, 0, 0, 1);
  EXPECT_EQ(Pixel(img, 1, 5, 5), Rgba(0, 0, 0));  // the headless screen reads black
  EXPECT_EQ(Pixel(img, 0, 5, 5), 0u);
  EXPECT_GT(d->version, v);
  GrabImage(img, 0, 0, 2);  // no such frame: nothing happens
  EXPECT_EQ(CreateImage(0, 10, 1, 0), 0);
  EXPECT_EQ(CreateImage(10, 10, 0, 0), 0);
  EXPECT_EQ(CreateImage(100000, 100000, 1, 0), 0);

  Pixmap pm = GrabPixmap(0, 0, 640, 480);
  EXPECT_EQ(pm.width, 640);
  EXPECT_EQ(pm.pixels.size(), 640u * 480u);
  EXPECT_EQ(pm.pixels[1234], Rgba(0, 0, 0));
  EXPECT_EQ(SavePixmapPNG(pm, dir / "shot.png", 9), 1);
  EXPECT_EQ(GrabPixmap(0, 0, -1, 5).pixels.size(), 0u);
  // Textures die with the display: closing it makes every image upload again.
  d->gpu = 7;
  BuiltinFontData().gpu = 9;
  CloseDisplay();
  EXPECT_EQ(d->gpu, 0u);
  EXPECT_EQ(BuiltinFontData().gpu, 0u);
  FreeImage(img);
}

//------------------------------------------------------------------------------
// The overlap test
//------------------------------------------------------------------------------
TEST_F(Images, OverlapAtScaleOneFollowsOpaquePixels) {
  int square = LoadImage(WritePng(dir, "sq.png", 10, 10, [](int, int) { return Rgba(255, 255, 255); }), 0);
  // Only the left half is solid; alpha 127 counts as clear, 128 as solid.
  int half =
      LoadImage(WritePng(dir, "half.png", 10, 10, [](int x, int) { return Rgba(9, 9, 9, x < 5 ? 128 : 127); }), 0);
  EXPECT_FALSE(ImagesCollide(square, 0, 0, 0, square, 10, 0, 0));  // side by side
  EXPECT_TRUE(ImagesCollide(square, 0, 0, 0, square, 9, 0, 0));
  EXPECT_TRUE(ImagesCollide(square, 0, 0, 0, square, 9, 9, 0));  // one corner pixel
  EXPECT_FALSE(ImagesCollide(square, 0, 0, 0, square, 10, 10, 0));
  EXPECT_TRUE(ImagesCollide(square, 0, 0, 0, square, -9.4f, 0, 0));
  EXPECT_FALSE(ImagesCollide(half, 0, 0, 0, square, 5, 0, 0));  // over the clear half only
  EXPECT_TRUE(ImagesCollide(half, 0, 0, 0, square, 4, 0, 0));
  EXPECT_TRUE(ImagesCollide(square, 4, 0, 0, half, 0, 0, 0));  // either order
  // Between whole pixels the sample points decide: solid columns over
  // 0.6..5.6 reach the centre 5.5 of the square's first column, 0.4..5.4 do not.
  EXPECT_TRUE(ImagesCollide(square, 5, 0, 0, half, 0.6f, 0, 0));
  EXPECT_FALSE(ImagesCollide(square, 5, 0, 0, half, 0.4f, 0, 0));
}

TEST_F(Images, OverlapAppliesScaleAboutTheHandle) {
  AutoMidHandle(true);
  int sq = LoadImage(WritePng(dir, "sq20.png", 20, 20, [](int, int) { return Rgba(200, 0, 0); }), 0);
  // Covering 0..20 and 21..41: one pixel apart.
  EXPECT_FALSE(ImagesCollide(sq, 10, 10, 0, sq, 31, 10, 0));
  SetScale(1.1f, 1.1f);
  EXPECT_TRUE(ImagesCollide(sq, 10, 10, 0, sq, 31, 10, 0));
  EXPECT_FALSE(ImagesCollide(sq, 10, 10, 0, sq, 33, 10, 0));
  SetScale(0.5f, 0.5f);
  EXPECT_FALSE(ImagesCollide(sq, 10, 10, 0, sq, 25, 10, 0));  // 5..15 against 20..30
  SetScale(0, 1);
  EXPECT_FALSE(ImagesCollide(sq, 10, 10, 0, sq, 10, 10, 0));  // nothing is drawn at scale 0
  SetScale(-1, 1);                                            // mirrored about the handle: same square
  EXPECT_TRUE(ImagesCollide(sq, 10, 10, 0, sq, 29, 10, 0));
  EXPECT_FALSE(ImagesCollide(sq, 10, 10, 0, sq, 30, 10, 0));
}

TEST_F(Images, OverlapAppliesRotation) {
  AutoMidHandle(true);
  int bar = LoadImage(WritePng(dir, "bar.png", 20, 2, [](int, int) { return Rgba(0, 0, 255); }), 0);
  int dot = LoadImage(WritePng(dir, "dot.png", 2, 2, [](int, int) { return Rgba(0, 255, 0); }), 0);
  // A dot below the middle of a level bar.
  EXPECT_FALSE(ImagesCollide(bar, 50, 50, 0, dot, 50, 58, 0));
  SetRotation(90);
  EXPECT_TRUE(ImagesCollide(bar, 50, 50, 0, dot, 50, 58, 0));
  EXPECT_FALSE(ImagesCollide(bar, 50, 50, 0, dot, 50, 62, 0));  // past the end of the bar
  SetRotation(-90);
  EXPECT_TRUE(ImagesCollide(bar, 50, 50, 0, dot, 50, 42, 0));
  // Clockwise on screen: at 45 degrees the bar runs from top-left to bottom-right.
  SetRotation(45);
  EXPECT_TRUE(ImagesCollide(bar, 50, 50, 0, dot, 56, 56, 0));
  EXPECT_FALSE(ImagesCollide(bar, 50, 50, 0, dot, 56, 44, 0));
  SetRotation(-45);
  EXPECT_FALSE(ImagesCollide(bar, 50, 50, 0, dot, 56, 56, 0));
  EXPECT_TRUE(ImagesCollide(bar, 50, 50, 0, dot, 56, 44, 0));
}

TEST_F(Images, PlaceFrameTurnsClockwiseAboutTheHandle) {
  Quad q = PlaceFrame(20, 10, 10, 5, 100, 100, 1, 1, 0);
  EXPECT_FLOAT_EQ(q.x[0], 90);
  EXPECT_FLOAT_EQ(q.y[0], 95);
  EXPECT_FLOAT_EQ(q.x[2], 110);
  EXPECT_FLOAT_EQ(q.y[2], 105);
  q = PlaceFrame(20, 10, 0, 0, 100, 100, 2, 3, 90);
  // The top-right corner (20, 0) scaled to (40, 0) turns to straight below.
  EXPECT_FLOAT_EQ(q.x[1], 100);
  EXPECT_FLOAT_EQ(q.y[1], 140);
  EXPECT_FLOAT_EQ(q.x[3], 70);  // bottom-left (0, 30) turns to the left
  EXPECT_FLOAT_EQ(q.y[3], 100);
}

// A line is one display pixel wide through pixel centres, both ends drawn
// unless the last pixel is left out; a point without its last pixel is nothing.
TEST(Geometry, LinesAreOneDisplayPixelWide) {
  Quad q;
  ASSERT_TRUE(PlaceLine(0, 0, 10, 0, true, DrawState{}, 1, 1, q));
  EXPECT_FLOAT_EQ(q.x[0], 0);
  EXPECT_FLOAT_EQ(q.x[1], 11);
  EXPECT_FLOAT_EQ(q.y[0] - q.y[3], 1);
  ASSERT_TRUE(PlaceLine(0, 0, 10, 0, false, DrawState{}, 1, 1, q));
  EXPECT_FLOAT_EQ(q.x[1], 10);
  EXPECT_FALSE(PlaceLine(5, 5, 5, 5, false, DrawState{}, 1, 1, q));
  ASSERT_TRUE(PlaceLine(5, 5, 5, 5, true, DrawState{}, 1, 1, q));
  EXPECT_FLOAT_EQ(q.x[1] - q.x[0], 1);
  // Two display pixels per unit: the same line is half a unit wide, and ends half a unit later.
  ASSERT_TRUE(PlaceLine(0, 0, 10, 0, true, DrawState{}, 2, 2, q));
  EXPECT_FLOAT_EQ(q.x[1], 10.5f);
  EXPECT_FLOAT_EQ(q.y[0] - q.y[3], 0.5f);
  // Scale applies about the first point.
  DrawState scaled;
  scaled.scaleX = 2;
  ASSERT_TRUE(PlaceLine(3, 0, 13, 0, true, scaled, 1, 1, q));
  EXPECT_FLOAT_EQ(q.x[1], 24);
  // A glyph's frame hangs from the text's top-left corner, moved along by the pen.
  Glyph g;
  g.w = 6, g.h = 8, g.left = 1, g.top = 2;
  q = PlaceGlyph(g, 10, 100, 50, DrawState{});
  EXPECT_FLOAT_EQ(q.x[0], 111);
  EXPECT_FLOAT_EQ(q.y[0], 52);
  EXPECT_FLOAT_EQ(q.x[2], 117);
}

TEST_F(Images, NullImagesNeverCollide) {
  int sq = LoadImage(WritePng(dir, "sq.png", 4, 4, [](int, int) { return Rgba(1, 1, 1); }), 0);
  EXPECT_TRUE(ImagesCollide(sq, 0, 0, 0, sq, 0, 0, 0));
  EXPECT_FALSE(ImagesCollide(0, 0, 0, 0, sq, 0, 0, 0));
  EXPECT_FALSE(ImagesCollide(sq, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_FALSE(ImagesCollide(sq, 0, 0, 1, sq, 0, 0, 0));  // no such frame
  EXPECT_FALSE(ImagesCollide(sq, 0, 0, 0, sq, 0, 0, -1));
  int gone = LoadImage(WritePng(dir, "gone.png", 4, 4, [](int, int) { return Rgba(1, 1, 1); }), 0);
  FreeImage(gone);
  EXPECT_FALSE(ImagesCollide(gone, 0, 0, 0, sq, 0, 0, 0));
  int clear = LoadImage(WritePng(dir, "clear.png", 4, 4, [](int, int) { return Rgba(1, 1, 1, 0); }), 0);
  EXPECT_FALSE(ImagesCollide(clear, 0, 0, 0, sq, 0, 0, 0));
}
