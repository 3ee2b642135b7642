// The game's image loader and the sound-effect player.
#include <cmath>
#include <limits>

#include "tests/unit/support.h"

using namespace support;

namespace {

class AssetsTest : public GameTest {
 protected:
  // The value of the last record of a kind on a channel.
  static float Last(SoundRecord::Kind kind, int channel) {
    float v = -99;
    for (const SoundRecord& r : HeadlessSounds()) {
      if (r.kind == kind && r.channel == channel) v = r.value;
    }
    return v;
  }
  static int Count(SoundRecord::Kind kind, int channel) {
    int n = 0;
    for (const SoundRecord& r : HeadlessSounds()) n += r.kind == kind && r.channel == channel;
    return n;
  }
};

TEST_F(AssetsTest, LoaderFillsEverySlotWithItsCellsAndSurvivesMissingFiles) {
  std::string home = CurrentDir();
  UseGameFolder(MakeTestArt());
  LoadGameImages();
  EXPECT_EQ(ImageFrames(TitleImage), 1);
  EXPECT_EQ(ImageWidth(TitleImage), 256);  // loaded whole
  for (int image : {HeroImage, HeroVarnoImage, Hero2Image, HeroVarno2Image, GetsImage}) {
    EXPECT_EQ(ImageFrames(image), 16);
    EXPECT_EQ(ImageWidth(image), 64);
  }
  for (int image : {BirdImage, BirdVarnoImage, Bird2Image, BirdVarno2Image, SceneryImage}) {
    EXPECT_EQ(ImageFrames(image), 16);
    EXPECT_EQ(ImageHeight(image), 128);
  }
  // Loading again replaces the images; a folder without them leaves nulls.
  LoadGameImages();
  EXPECT_EQ(ImageFrames(GetsImage), 16);
  std::string empty = temp / "empty";
  std::filesystem::create_directories(empty);
  UseGameFolder(empty + "/239");
  LoadGameImages();
  ChangeDir(home);
  for (int image : {TitleImage, HeroImage, BirdVarno2Image, SceneryImage, GetsImage}) EXPECT_EQ(image, 0);
}

TEST_F(AssetsTest, EffectsTakeTheNextChannelSlotAndClampTheirArguments) {
  LoadTestSounds();
  SfxCursor = 20;
  PlaySfx(1, 1, 1, 0);
  PlaySfx(2, 1, 1, 0);
  EXPECT_EQ(SfxCursor, 22);
  ASSERT_NE(Channels[21], 0);
  ASSERT_NE(Channels[22], 0);
  EXPECT_NE(Channels[21], Channels[22]);
  EXPECT_EQ(Count(SoundRecord::RESUME, Channels[21]), 1);
  EXPECT_EQ(Count(SoundRecord::STOP, Channels[21]), 0);  // the second did not cut the first off

  const int ch = Channels[22];
  SfxCursor = 21;
  PlaySfx(3, 10, -0.5, -3);
  EXPECT_EQ(Last(SoundRecord::VOLUME, ch), 0);
  EXPECT_EQ(Last(SoundRecord::RATE, ch), 4);
  EXPECT_EQ(Last(SoundRecord::PAN, ch), -1);
  SfxCursor = 21;
  PlaySfx(3, 0.1, std::numeric_limits<double>::quiet_NaN(), 5);
  EXPECT_EQ(Last(SoundRecord::VOLUME, ch), 0);
  EXPECT_EQ(Last(SoundRecord::RATE, ch), 0.25f);
  EXPECT_EQ(Last(SoundRecord::PAN, ch), 1);
  SfxCursor = 21;
  SetSettings({{SET_MASTER, 50}, {SET_SOUND, 80}});
  PlaySfx(3, std::numeric_limits<double>::quiet_NaN(), 0.5, 0);
  EXPECT_NEAR(Last(SoundRecord::VOLUME, ch), 0.2, 1e-6);
  EXPECT_EQ(Last(SoundRecord::RATE, ch), 1);

  // Unknown or empty numbers play nothing and leave the cursor.
  HeadlessClearSounds();
  for (int n : {-1, 0, 99, 201, 100000}) PlaySfx(n, 1, 1, 0);
  EXPECT_TRUE(HeadlessSounds().empty());
  EXPECT_EQ(SfxCursor, 22);

  // The cursor wraps from 255 to 20; a slot still sounding is stopped and reused.
  SfxCursor = 255;
  PlaySfx(1, 1, 1, 0);
  EXPECT_EQ(SfxCursor, 20);
  const int first = Channels[20];
  HeadlessClearSounds();
  for (int i = 0; i < 236; i++) PlaySfx(1, 1, 1, 0);
  EXPECT_EQ(SfxCursor, 20);
  EXPECT_EQ(Channels[20], first);
  EXPECT_EQ(Count(SoundRecord::STOP, first), 1);
  EXPECT_EQ(Count(SoundRecord::CUE, first), 1);
}

}  // namespace
