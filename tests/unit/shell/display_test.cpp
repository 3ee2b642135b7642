// Display set-up and the common assets: the accepted mode list, the mode and
// depth fallbacks, widescreen, font sizes, the splash and its jingle, the log,
// reloading on a second call, and missing data.
#include "tests/unit/support.h"

using namespace support;

namespace {

DisplayMode M(int w, int h, int depth = 32) { return {w, h, depth, 60}; }

class DisplaySetup : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    SlowMachine();  // the engine test runs inside every set-up
  }
};

TEST(AcceptedModes, FourByThreeOrSixteenByNineByTheIntegerRule) {
  EXPECT_TRUE(AcceptedMode(800, 600));
  EXPECT_TRUE(AcceptedMode(1280, 720));
  EXPECT_TRUE(AcceptedMode(1280, 800));  // a handheld's 16:10
  EXPECT_TRUE(AcceptedMode(1920, 1200));
  EXPECT_TRUE(AcceptedMode(1366, 768));  // 1366 * 9 / 16 = 768
  EXPECT_FALSE(AcceptedMode(1360, 768));
  EXPECT_FALSE(AcceptedMode(1280, 1024));
  EXPECT_FALSE(AcceptedMode(0, 0));
  EXPECT_TRUE(AcceptedMode(2147483647, 1207959551));  // no overflow on huge widths
}

TEST_F(DisplaySetup, ModeListKeepsEachAcceptedSizeOnceInOrder) {
  HeadlessSetModes({M(640, 480, 16),
                    M(640, 480, 32),
                    M(1280, 1024),
                    M(800, 600),
                    M(1366, 768),
                    M(1360, 768),
                    {640, 480, 32, 75},
                    M(1280, 720),
                    M(800, 600, 16)});
  ApplyGraphics();
  ASSERT_EQ(ResolutionCount, 4);
  EXPECT_EQ(ResolutionWidths[1], 640);
  EXPECT_EQ(ResolutionHeights[1], 480);
  EXPECT_EQ(ResolutionWidths[2], 800);
  EXPECT_EQ(ResolutionWidths[3], 1366);
  EXPECT_EQ(ResolutionHeights[3], 768);
  EXPECT_EQ(ResolutionWidths[4], 1280);
  EXPECT_EQ(ResolutionHeights[4], 720);
  EXPECT_EQ(Settings[SET_RESOLUTION], 2);
  EXPECT_TRUE(HeadlessDisplayOpen());
  EXPECT_EQ(HeadlessOpenMode().width, 800);
  EXPECT_EQ(HeadlessOpenMode().height, 600);
  EXPECT_EQ(HeadlessOpenMode().depth, 0);  // a window
  EXPECT_EQ(HeadlessOpenMode().hertz, 60);
  EXPECT_EQ(VirtualWidth, 1280);
  EXPECT_EQ(VirtualHeight, 960);
  EXPECT_EQ(Settings[SET_WIDESCREEN], 0);
  EXPECT_EQ(GraphicsReady, 1);
  EXPECT_EQ(CurrentDir(), fs::canonical(game).string());
}

TEST_F(DisplaySetup, WidescreenModesGetTheWideDrawingArea) {
  OpenLog();
  SetSettings({{SET_WIDTH, 1280}, {SET_HEIGHT, 720}});
  ApplyGraphics();
  EXPECT_EQ(ScreenWidth, 1280);
  EXPECT_EQ(Settings[SET_WIDESCREEN], 1);
  EXPECT_EQ(VirtualWidth, 1600);
  EXPECT_EQ(VirtualHeight, 900);
  EXPECT_FLOAT_EQ(VirtualResolutionWidth(), 1600);
  EXPECT_FLOAT_EQ(VirtualResolutionHeight(), 900);
  EXPECT_TRUE(InOrder(CloseLog(), {"\tResolution : 1280x720,0", "\tWidescreen mode!"}));
}

TEST_F(DisplaySetup, ASizeNotOnOfferFallsBackToTheOneInUse) {
  SetSettings({{SET_WIDTH, 1000}, {SET_HEIGHT, 700}});
  ApplyGraphics();
  EXPECT_EQ(HeadlessOpenMode().width, 800);
  EXPECT_EQ(HeadlessOpenMode().height, 600);
  EXPECT_EQ(Settings[SET_WIDTH], 800);  // written back by the next save
  EXPECT_EQ(Settings[SET_HEIGHT], 600);

  SetSettings({{SET_WIDTH, 1024}, {SET_HEIGHT, 768}});
  ApplyGraphics();
  EXPECT_EQ(ScreenWidth, 1024);
  SetSettings({{SET_WIDTH, 1000}, {SET_HEIGHT, 700}});
  ApplyGraphics();  // now the previous size is 1024 x 768
  EXPECT_EQ(HeadlessOpenMode().width, 1024);
  EXPECT_EQ(Settings[SET_HEIGHT], 768);

  HeadlessSetModes({});  // nothing on offer: the previous size again
  ApplyGraphics();
  EXPECT_EQ(ResolutionCount, 0);
  EXPECT_EQ(HeadlessOpenMode().width, 1024);
}

TEST_F(DisplaySetup, FullScreenDepthFallsBackFrom32To16ToAWindow) {
  Settings[SET_FULLSCREEN] = 1;
  HeadlessSetModes({M(800, 600, 32), M(800, 600, 16)});
  ApplyGraphics();
  EXPECT_EQ(HeadlessOpenMode().depth, 32);
  HeadlessSetModes({M(800, 600, 16)});
  ApplyGraphics();
  EXPECT_EQ(HeadlessOpenMode().depth, 16);
  HeadlessSetModes({M(1024, 768, 32)});  // 800 x 600 not offered at all
  ApplyGraphics();
  EXPECT_EQ(HeadlessOpenMode().depth, 0);
  EXPECT_TRUE(HeadlessDisplayOpen());
}

TEST_F(DisplaySetup, FontSizesFollowTheDisplayWidth) {
  if (!HaveStagedFile("Common/SVBasicManual.ttf") || !HaveStagedFile("Common/Blue Highway.ttf"))
    GTEST_SKIP() << "fonts not staged in this build";
  UseStagedCommon();
  const std::string sample = "The quick brown fox jumps over the lazy dog 0123456789";
  auto widthAt = [&](const char* file, int size) {
    const int font = LoadFont((files / "Common" / file).string(), size, SMOOTHFONT);
    SetFont(font);
    const int w = TextWidth(sample);
    FreeFont(font);
    return w;
  };
  auto widthOf = [&](int slot) {
    SetFont(Fonts[slot]);
    return TextWidth(sample);
  };
  ApplyGraphics();  // 800 x 600: factors 1.2 and 1.4
  EXPECT_EQ(widthOf(1), widthAt("SVBasicManual.ttf", 28));
  EXPECT_NE(widthOf(1), widthAt("SVBasicManual.ttf", 29));
  EXPECT_EQ(widthOf(2), widthAt("SVBasicManual.ttf", 22));
  EXPECT_EQ(widthOf(3), widthAt("SVBasicManual.ttf", 22));
  EXPECT_EQ(widthOf(5), widthAt("Blue Highway.ttf", 115));
  EXPECT_EQ(widthOf(7), widthAt("Blue Highway.ttf", 38));
  for (int slot = 1; slot <= 13; ++slot) EXPECT_NE(Fonts[slot], 0) << slot;

  SetSettings({{SET_WIDTH, 1280}, {SET_HEIGHT, 960}});
  ApplyGraphics();  // 900 or wider: sizes as listed
  EXPECT_EQ(widthOf(1), widthAt("SVBasicManual.ttf", 24));
  EXPECT_EQ(widthOf(2), widthAt("SVBasicManual.ttf", 16));
  EXPECT_EQ(widthOf(9), widthAt("SVBasicManual.ttf", 24));

  // A handheld's screens show the drawing area at 0.83 and 0.8 of its size:
  // the small displays' bigger type, and the 4:3 area between bars on 16:10.
  HeadlessSetModes({M(1280, 800), M(1280, 720), M(1024, 768)});
  for (auto [w, h] : {std::pair{1280, 800}, std::pair{1280, 720}, std::pair{1024, 768}}) {
    SetSettings({{SET_WIDTH, w}, {SET_HEIGHT, h}});
    ApplyGraphics();
    EXPECT_EQ(ScreenWidth, w);
    const bool handheld = w == 1280;
    EXPECT_EQ(widthOf(1), widthAt("SVBasicManual.ttf", handheld ? 28 : 24)) << w << "x" << h;
    EXPECT_EQ(widthOf(3), widthAt("SVBasicManual.ttf", handheld ? 22 : 16)) << w << "x" << h;
  }
  EXPECT_EQ(VirtualWidth, 1280);  // 1024 x 768: 4:3
  SetSettings({{SET_WIDTH, 1280}, {SET_HEIGHT, 800}});
  ApplyGraphics();
  EXPECT_EQ(VirtualHeight, 960);
  HeadlessMouseMove(107, 0);  // the picture is 1067 pixels wide from 106
  EXPECT_NEAR(VirtualMouseX(), 1.2, 0.1);
  HeadlessMouseMove(1172, 800);
  EXPECT_NEAR(VirtualMouseX(), 1280 - 1.2, 0.1);
  EXPECT_FLOAT_EQ(VirtualMouseY(), 960);
}

TEST_F(DisplaySetup, FirstCallShowsTheSplashWithItsJingleAndLogsEachStep) {
  WriteWav(files / "Common" / "badgeget.wav", 500);
  WriteWav(game / "001.wav", 50);
  WriteWav(game / "007.wav", 50);
  WriteWav(game / "200.wav", 50);
  WriteWav(game / "201.wav", 50);  // beyond the table
  SetSettings({{SET_MASTER, 50}, {SET_SOUND, 80}});
  OpenLog();
  std::vector<DrawRecord> first;
  HeadlessOnPresent([&] {
    if (first.empty()) first = HeadlessLastFrame();
  });
  ApplyGraphics();

  // The splash: dark blue stripes, rotated, presented once before anything else.
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first.front().kind, DrawRecord::CLEAR);
  EXPECT_EQ(CountKind(first, DrawRecord::RECT), 97);
  const DrawRecord& stripe = first[1];
  EXPECT_FLOAT_EQ(stripe.rotation, -45);
  EXPECT_EQ(stripe.b, 50);
  EXPECT_FLOAT_EQ(stripe.w, 1280 + 1800);
  ASSERT_NE(BadgeGetSound, 0);
  // Cued on a new channel (slot 256, cleared once it has played), at
  // sound x master, then started.
  int channel = 0;
  bool resumed = false;
  float volume = -1;
  for (const SoundRecord& s : HeadlessSounds()) {
    if (s.kind == SoundRecord::CUE && s.sound == BadgeGetSound) channel = s.channel;
    if (channel == 0 || s.channel != channel) continue;
    if (s.kind == SoundRecord::VOLUME && volume < 0) volume = s.value;
    if (s.kind == SoundRecord::RESUME) resumed = volume >= 0;
  }
  EXPECT_NE(channel, 0);
  EXPECT_TRUE(resumed);
  EXPECT_FLOAT_EQ(volume, 0.4f);

  EXPECT_NE(Sounds[1], 0);
  EXPECT_NE(Sounds[7], 0);
  EXPECT_NE(Sounds[200], 0);
  EXPECT_EQ(Sounds[2], 0);

  const std::vector<std::string> log = CloseLog();
  const std::string dashes = "-=-=-=-=-=-=-=-=-=-=-=-=-=-";
  EXPECT_TRUE(InOrder(log, {"",
                            dashes,
                            "Applying Graphical Settings",
                            "\tUsing OpenGL Driver",
                            "\tResolution : 800x600,0",
                            "",
                            "Loading : Common Objects",
                            "",
                            "Switching to Default Folder",
                            "",
                            "\tDefault Fonts",
                            "\tDefault Icons",
                            "\tLogos",
                            "\tBadgeGet",
                            "",
                            "Switching to Game Folder",
                            "",
                            "Loading Sound effects",
                            "\tSFX(1)",
                            "\tSFX(7)",
                            "\tSFX(200)",
                            "Sounds loaded",
                            "",
                            "Starting Engine Test",
                            dashes}));
  int sfx = 0;
  for (const std::string& line : log) sfx += line.rfind("\tSFX(", 0) == 0;
  EXPECT_EQ(sfx, 3);
  EXPECT_EQ(log.front(), "");
  EXPECT_EQ(log.back(), dashes);
}

TEST_F(DisplaySetup, ASecondCallReopensWithoutTheSplashAndReplacesTheAssets) {
  WriteWav(files / "Common" / "badgeget.wav", 500);
  WriteWav(game / "003.wav", 50);
  ApplyGraphics();
  Settings[SET_GFXENGINE] = 2;
  OpenLog();
  HeadlessClearSounds();
  ApplyGraphics();
  EXPECT_TRUE(HeadlessDisplayOpen());
  for (const SoundRecord& s : HeadlessSounds())
    EXPECT_FALSE(s.kind == SoundRecord::CUE && s.sound == BadgeGetSound) << "no second jingle";
  EXPECT_NE(Sounds[3], 0);
  EXPECT_EQ(CurrentDir(), fs::canonical(game).string());
  EXPECT_TRUE(InOrder(CloseLog(), {"Applying Graphical Settings", "\tChanged Graphics Mode ingame.",
                                   "\tUsing DirectX 7 Driver", "\tSFX(3)"}));
}

TEST_F(DisplaySetup, MissingDataGivesNullResourcesAndKeepsTheFolder) {
  fs::remove_all(files / "Common");
  ApplyGraphics();
  for (int slot = 1; slot <= 13; ++slot) EXPECT_EQ(Fonts[slot], 0);
  EXPECT_EQ(IconsImage, 0);
  EXPECT_EQ(LogoImage, 0);
  EXPECT_EQ(BadgeGetSound, 0);
  EXPECT_EQ(Channels[256], 0);
  EXPECT_EQ(CurrentDir(), fs::canonical(game).string());
  EXPECT_TRUE(HeadlessDisplayOpen());
  FinishFrame(1);  // and the frame service copes
}

}  // namespace
