// The staged run-time tree, loaded the way the game loads it: every picture
// has its size and frames, figures stand on transparent backgrounds (the
// collisions test pixels), mirrored sheets match, blocks are exact squares,
// every sound is short and audible, and every font loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/backend.h"
#include "tests/unit/support.h"

namespace {

const std::string kFiles = WENHOD_DATA_DIR;
const std::string kCommon = kFiles + "/Common/";
const std::string kGame = kFiles + "/239/";

class Art : public support::MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    AutoMidHandle(true);
  }
};

// Loads a sheet and checks its cut; answers the handle (0 on failure).
int Sheet(const std::string& file, int cell, int frames) {
  int img = LoadAnimImage(file, cell, cell, 0, frames, MASKEDIMAGE);
  EXPECT_NE(img, 0) << file;
  if (!img) return 0;
  EXPECT_EQ(ImageWidth(img), cell) << file;
  EXPECT_EQ(ImageHeight(img), cell) << file;
  EXPECT_EQ(ImageFrames(img), frames) << file;
  return img;
}

uint8_t Alpha(int img, int frame, int x, int y) {
  ImageData* d = ImageFromHandle(img);
  return uint8_t(d->pixels[frame][size_t(y) * d->width + x] >> 24);
}

bool Solid(int img, int frame, int x, int y) { return Alpha(img, frame, x, y) >= 128; }

int SolidCount(int img, int frame) {
  ImageData* d = ImageFromHandle(img);
  int n = 0;
  for (uint32_t p : d->pixels[frame]) n += (p >> 24) >= 128;
  return n;
}

bool RowHasSolid(int img, int frame, int y) {
  for (int x = 0; x < ImageWidth(img); ++x)
    if (Solid(img, frame, x, y)) return true;
  return false;
}

bool ColumnHasSolid(int img, int frame, int x) {
  for (int y = 0; y < ImageHeight(img); ++y)
    if (Solid(img, frame, x, y)) return true;
  return false;
}

// A figure: something drawn, the four corners clear, nothing on the top row
// or the side columns (so neighbouring cells never bleed into each other).
void ExpectFigure(int img, int frame, const std::string& what) {
  int w = ImageWidth(img), h = ImageHeight(img);
  EXPECT_GT(SolidCount(img, frame), w * h / 20) << what << " frame " << frame << " is nearly empty";
  for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
    EXPECT_EQ(Alpha(img, frame, x, y), 0) << what << " frame " << frame << " corner " << x << "," << y;
  EXPECT_FALSE(RowHasSolid(img, frame, 0)) << what << " frame " << frame << " touches the top";
  EXPECT_FALSE(ColumnHasSolid(img, frame, 0)) << what << " frame " << frame << " touches the left side";
  EXPECT_FALSE(ColumnHasSolid(img, frame, w - 1)) << what << " frame " << frame << " touches the right side";
}

// A walker's four 16-frame sheets (right, costume, both facing left): frames
// below `figures` are figures, those below `feet` stand on the cell bottom.
void WalkerSheets(const char* const (&names)[4], int cell, int figures, int feet, int (&img)[4]) {
  for (int k = 0; k < 4; ++k) {
    img[k] = Sheet(kGame + names[k], cell, 16);
    ASSERT_NE(img[k], 0);
    for (int f = 0; f < figures; ++f) ExpectFigure(img[k], f, names[k]);
    for (int f = 0; f < feet; ++f)
      EXPECT_TRUE(RowHasSolid(img[k], f, cell - 1)) << names[k] << " frame " << f << ": feet off the cell bottom";
  }
}

bool MirroredFrames(int a, int fa, int b, int fb) {
  ImageData* da = ImageFromHandle(a);
  ImageData* db = ImageFromHandle(b);
  int w = da->width;
  for (int y = 0; y < da->height; ++y)
    for (int x = 0; x < w; ++x)
      if (da->pixels[fa][size_t(y) * w + x] != db->pixels[fb][size_t(y) * w + (w - 1 - x)]) return false;
  return true;
}

int DifferentPixels(int a, int fa, int b, int fb) {
  ImageData* da = ImageFromHandle(a);
  ImageData* db = ImageFromHandle(b);
  int n = 0;
  for (size_t k = 0; k < da->pixels[fa].size(); ++k) n += da->pixels[fa][k] != db->pixels[fb][k];
  return n;
}

}  // namespace

TEST_F(Art, HeroSheetsStandOnTheCellBottomAndMirror) {
  const char* names[4] = {"wenhod.png", "wenhodVarno.png", "wenhod2.png", "wenhodVarno2.png"};
  int img[4];
  ASSERT_NO_FATAL_FAILURE(WalkerSheets(names, 64, 9, 9, img));
  // The standing pose is roughly 32-40 px wide.
  int cols = 0;
  for (int x = 0; x < 64; ++x) cols += ColumnHasSolid(img[0], 2, x);
  EXPECT_GE(cols, 28);
  EXPECT_LE(cols, 44);
  // Facing left is facing right mirrored, frame by frame.
  for (int f = 0; f < 16; ++f) {
    EXPECT_TRUE(MirroredFrames(img[0], f, img[2], f)) << "plain frame " << f;
    EXPECT_TRUE(MirroredFrames(img[1], f, img[3], f)) << "costume frame " << f;
  }
  // The costume is a different look, and the walk really moves.
  EXPECT_GT(DifferentPixels(img[0], 2, img[1], 2), 300);
  EXPECT_GT(DifferentPixels(img[0], 0, img[0], 2), 40);
  EXPECT_GT(DifferentPixels(img[0], 2, img[0], 8), 100);
}

TEST_F(Art, BirdSheetsWalkOnTheGroundAndSquashTheRightWayRound) {
  const char* names[4] = {"Gullwick.png", "GullwickVarno.png", "Gullwick2.png", "GullwickVarno2.png"};
  int img[4];
  ASSERT_NO_FATAL_FAILURE(WalkerSheets(names, 128, 16, 12, img));
  for (int pair = 0; pair < 2; ++pair) {
    int right = img[pair], left = img[pair + 2];
    for (int f = 0; f < 12; ++f) EXPECT_TRUE(MirroredFrames(right, f, left, f)) << names[pair] << " walk " << f;
    // Right-walkers show 12..15 after a stomp, left-walkers 15..12.
    for (int f = 12; f < 16; ++f) EXPECT_TRUE(MirroredFrames(right, f, left, 27 - f)) << names[pair] << " squash " << f;
    // The first squash frame is the flattest.
    EXPECT_LT(SolidCount(right, 12), SolidCount(right, 15));
    EXPECT_LT(SolidCount(left, 15), SolidCount(left, 12));
  }
  EXPECT_GT(DifferentPixels(img[0], 0, img[1], 0), 2000);  // the costume bird looks different
}

TEST_F(Art, SceneryHasSolidSquareBlocksOpaqueGroundAndStandingProps) {
  int img = Sheet(kGame + "scenery.png", 128, 16);
  ASSERT_NE(img, 0);
  // Blocks: exactly the middle 64x64 is solid.
  for (int f : {2, 10})
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) {
        bool inside = x >= 32 && x < 96 && y >= 32 && y < 96;
        ASSERT_EQ(Solid(img, f, x, y), inside) << "block frame " << f << " at " << x << "," << y;
      }
  // Ground tiles cover their whole cell and join without a visible seam.
  for (int base : {4, 12}) {
    for (int f = base; f < base + 4; ++f) EXPECT_EQ(SolidCount(img, f), 128 * 128) << "ground frame " << f;
    ImageData* d = ImageFromHandle(img);
    for (int k = 0; k < 4; ++k) {
      int a = base + k, b = base + (k + 1) % 4;
      int mismatched = 0;
      for (int y = 0; y < 128; ++y) {
        uint32_t pa = d->pixels[a][size_t(y) * 128 + 127], pb = d->pixels[b][size_t(y) * 128];
        int diff = 0;
        for (int c = 0; c < 24; c += 8) diff += std::abs(int((pa >> c) & 255) - int((pb >> c) & 255));
        mismatched += diff > 90;
      }
      EXPECT_LT(mismatched, 8) << "seam between ground frames " << a << " and " << b;
    }
  }
  // Props and markers stand on the bottom of their cell.
  for (int f : {0, 1, 3, 8, 9, 11}) {
    ExpectFigure(img, f, "scenery.png");
    EXPECT_TRUE(RowHasSolid(img, f, 126) || RowHasSolid(img, f, 127)) << "prop frame " << f << " floats";
  }
  EXPECT_GT(DifferentPixels(img, 3, img, 11), 500);  // the two markers differ
}

TEST_F(Art, PickupsAreSixDistinctShapesAndRoundCoinsTouchOnlyWhereDrawn) {
  int img = Sheet(kGame + "gets.png", 64, 16);
  ASSERT_NE(img, 0);
  for (int f : {0, 1, 2, 3, 4, 5, 14, 15}) ExpectFigure(img, f, "gets.png");
  for (int a = 0; a < 6; ++a)
    for (int b = a + 1; b < 6; ++b) EXPECT_GT(DifferentPixels(img, a, img, b), 400) << a << " vs " << b;
  EXPECT_GT(DifferentPixels(img, 14, img, 15), 100);  // the players' jump icons differ
  // Jump icons are stacked 32 px apart and drawn from x = -16: keep them small.
  for (int f : {14, 15}) {
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (Solid(img, f, x, y)) {
          EXPECT_GE(x, 16);
          EXPECT_LT(x, 48);
          EXPECT_GE(y, 16);
          EXPECT_LT(y, 48);
        }
  }
  // Two coins whose cells overlap diagonally do not touch; side by side they do.
  EXPECT_FALSE(ImagesCollide(img, 100, 100, 0, img, 140, 140, 0));
  EXPECT_TRUE(ImagesCollide(img, 100, 100, 0, img, 140, 100, 0));
}

TEST_F(Art, IconsTitleLogosAndBadgesLoad) {
  int icons = LoadAnimImage(kCommon + "icons.png", 16, 16, 0, 64, MASKEDIMAGE | FILTEREDIMAGE);
  ASSERT_NE(icons, 0);
  EXPECT_EQ(ImageFrames(icons), 64);
  for (int f : {0, 3, 7, 8, 9, 10, 11, 12, 13, 14, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 63})
    EXPECT_GT(SolidCount(icons, f), 20) << "icon frame " << f << " is blank";
  for (int a : {11, 13, 18, 24})  // rows of options must be told apart
    EXPECT_GT(DifferentPixels(icons, a, icons, a + 1), 10) << "icons " << a << " and " << a + 1;
  // The pointer's tip is its top-left pixel; the rest of that row is clear.
  EXPECT_TRUE(Solid(icons, 63, 0, 0));
  EXPECT_FALSE(Solid(icons, 63, 8, 0));

  int title = LoadImage(kGame + "inavarnocostume.png", MASKEDIMAGE);
  ASSERT_NE(title, 0);
  // It sits between the title text and the prompt: wide and low.
  EXPECT_EQ(ImageWidth(title), 400);
  EXPECT_EQ(ImageHeight(title), 208);
  EXPECT_EQ(Alpha(title, 0, 0, 0), 0);
  EXPECT_TRUE(Solid(title, 0, 200, 104));

  for (const char* logo : {"logo.png", "Brindle.png"}) {
    int img = LoadImage(kCommon + logo, MASKEDIMAGE | FILTEREDIMAGE);
    ASSERT_NE(img, 0) << logo;
    EXPECT_EQ(ImageWidth(img), 256);
    EXPECT_EQ(ImageHeight(img), 128);
    EXPECT_GT(SolidCount(img, 0), 2000) << logo;
    EXPECT_EQ(Alpha(img, 0, 0, 0), 0) << logo;
  }
  int badges = Sheet(kGame + "badges.png", 64, 16);
  ASSERT_NE(badges, 0);
  for (int f = 0; f < 16; ++f) ExpectFigure(badges, f, "badges.png");
}

TEST_F(Art, EverySoundIsShortAndAudible) {
  std::vector<std::string> files = {kCommon + "badgeget.wav"};
  for (int k = 1; k <= 15; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.wav", k);
    files.push_back(kGame + name);
  }
  std::vector<std::vector<int16_t>> bounce;
  for (size_t i = 0; i < files.size(); ++i) {
    int snd = LoadSound(files[i], 0);
    ASSERT_NE(snd, 0) << files[i];
    SoundData* d = SoundFromHandle(snd);
    ASSERT_NE(d, nullptr);
    double seconds = double(d->samples.size()) / d->channels / d->rate;
    bool background = i >= 11;  // 011..015
    EXPECT_GT(seconds, 0.05) << files[i];
    EXPECT_LE(seconds, background ? 2.0 : 1.0) << files[i];
    int peak = 0;
    double energy = 0;
    for (int16_t s : d->samples) {
      peak = std::max(peak, std::abs(int(s)));
      energy += double(s) * s;
    }
    double rms = std::sqrt(energy / double(d->samples.size()));
    EXPECT_GT(peak, background ? 4000 : 12000) << files[i];
    EXPECT_GT(rms, background ? 500 : 2000) << files[i];
    if (i >= 5 && i <= 9) bounce.push_back(d->samples);
  }
  // Five bounce blips, five pitches.
  ASSERT_EQ(bounce.size(), 5u);
  for (size_t a = 0; a < 5; ++a)
    for (size_t b = a + 1; b < 5; ++b) EXPECT_NE(bounce[a], bounce[b]) << "bounce " << a + 5 << " and " << b + 5;
}

// The staged faces keep only the glyphs the program draws, each drawn exactly
// as the Debian face draws it, and each ships with its licence text.
TEST_F(Art, TheStagedFontsAreTrimmedButDrawAsTheDebianFacesWithTheirLicences) {
  struct Staged {
    const char* name;
    const char* debian;
  };
  static constexpr Staged kFonts[] = {
      {"SVBasicManual.ttf", "/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf"},
      {"Blue Highway.ttf", "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf"},
      {"Acknowledge TT BRK.ttf", "/usr/share/fonts/truetype/dotgothic16/DotGothic16-Regular.ttf"}};
  constexpr long kTrimmedBytes = 200 * 1024;  // the largest face, whole, is 4.4 MB
  for (const Staged& f : kFonts) {
    const std::string staged = kCommon + f.name;
    std::error_code ec;
    EXPECT_LT(std::filesystem::file_size(staged, ec), kTrimmedBytes) << f.name;
    std::ifstream licence(staged + ".license.txt");
    const std::string text{std::istreambuf_iterator<char>(licence), std::istreambuf_iterator<char>()};
    EXPECT_NE(text.find("Open Font License"), std::string::npos) << f.name << " has no licence beside it";
    for (int size : {13, 40}) {
      FontData ours, theirs;
      ASSERT_TRUE(RasterFont(staged, size, SMOOTHFONT, ours)) << f.name;
      ASSERT_TRUE(RasterFont(f.debian, size, SMOOTHFONT, theirs)) << f.debian;
      EXPECT_EQ(ours.atlas, theirs.atlas) << f.name << " at " << size;
      for (int c = 0; c < 256; ++c) EXPECT_EQ(ours.glyphs[c].advance, theirs.glyphs[c].advance) << f.name << " " << c;
    }
  }
}

TEST_F(Art, TheThreeFontsLoadAndCoverLatin1) {
  for (const char* name : {"SVBasicManual.ttf", "Blue Highway.ttf", "Acknowledge TT BRK.ttf"}) {
    for (int size : {20, 96}) {
      int font = LoadFont(kCommon + name, size, SMOOTHFONT);
      ASSERT_NE(font, 0) << name << " at " << size;
      SetFont(font);
      EXPECT_GT(TextWidth("Game Over"), size) << name;
      EXPECT_GT(TextWidth(std::string(1, char(0xE9))), 0) << name << " has no e-acute";
      EXPECT_GE(TextHeight("Wen Hod"), size * 3 / 4) << name;
      SetFont(0);
      FreeFont(font);
    }
  }
}
