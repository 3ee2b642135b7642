// The start sequence as a whole: the log from its banner to "Finished
// Loading", the start values, the splash floor, a settings file asking for a
// size not on offer, and starting with missing or unwritable files.
#include "tests/unit/support.h"

using namespace support;

namespace {

class StartSequence : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ChangeDir(root.string());  // the program starts beside Files/
    SlowMachine();
  }
};

TEST_F(StartSequence, LogsTheBannerAndEveryStepInOrder) {
  StartUp();
  EXPECT_NE(LogFile, nullptr);
  const std::vector<std::string> log = CloseLog();
  const std::string rule(28, '-');
  const std::vector<std::string> banner = {"Marrowby's Brackenfold Engine",
                                           rule,
                                           "Week #239",
                                           rule,
                                           "#239 : Wen Hod in a Varno Zavored",
                                           rule,
                                           "",
                                           "Loading",
                                           "Setting Audio Driver",
                                           "Set Audio Driver",
                                           "",
                                           "\tRequested Resolution : 800x600",
                                           "\tSetup Loaded",
                                           "",
                                           "Grabbing Previous Scores",
                                           "",
                                           "",
                                           "-=-=-=-=-=-=-=-=-=-=-=-=-=-",
                                           "Applying Graphical Settings"};
  ASSERT_GE(log.size(), banner.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + static_cast<long>(banner.size())), banner);
  EXPECT_TRUE(InOrder(log, {"Loading : Common Objects", "Starting Engine Test", "Test Complete",
                            "-=-=-=-=-=-=-=-=-=-=-=-=-=-", "Finished Loading"}));
  EXPECT_EQ(log.back(), "Finished Loading");

  EXPECT_EQ(HeadlessTitle(), "#239 : Wen Hod in a Varno Zavored");
  EXPECT_FALSE(HeadlessPointerShown());
  EXPECT_GE(Millisecs(), 2500);  // the splash stays up at least 2.5 s
  EXPECT_EQ(CreditsCount, 20);
  EXPECT_EQ(Credits[1], "A Game by Marrowby");
  EXPECT_EQ(Credits[19], "No Harm Intended");
  EXPECT_EQ(DebugOverlay, 0);  // the engine test switched it on
  EXPECT_EQ(GameState, 0);
  EXPECT_EQ(ControlPlayers, 2);
  EXPECT_EQ(Keys[10], 90);
  EXPECT_EQ(CurrentDir(), fs::canonical(root).string());  // the start folder is never left
  EXPECT_EQ(HeadlessOpenMode().width, 800);
  EXPECT_EQ(HeadlessOpenMode().depth, 0);
}

TEST_F(StartSequence, TheSplashFloorCountsFromBeforeTheDisplayOpened) {
  HeadlessSetClock(1000);
  StartUp();  // loading takes well under 2.5 s
  EXPECT_EQ(Millisecs(), 1000 + 2500u);
}

TEST_F(StartSequence, ASizeNotOnOfferOpensThePreviousOneAndIsWrittenBack) {
  WriteBytes(files / "Setup.ini", "[Graphics]\r\nWidth=1000\r\nHeight=700\r\n");
  StartUp();
  EXPECT_EQ(HeadlessOpenMode().width, 800);
  EXPECT_EQ(HeadlessOpenMode().height, 600);
  EXPECT_THROW(CloseDown(), HeadlessExit);
  EXPECT_TRUE(InOrder(ReadLines(files / "Debug.txt"),
                      {"\tReading Setup File", "\tRequested Resolution : 1000x700", "\tResolution : 800x600,0"}));
  const std::vector<std::string> setup = ReadLines(files / "Setup.ini");
  EXPECT_TRUE(InOrder(setup, {"Width=800", "Height=600"}));
  EXPECT_EQ(ReadLines(files / "Debug.txt").back(), "Play again, soon!!");
}

TEST_F(StartSequence, AnUnwritableLogDoesNotStopTheProgram) {
  fs::create_directory(files / "Debug.txt");  // a folder where the log should go
  StartUp();
  EXPECT_EQ(LogFile, nullptr);
  EXPECT_TRUE(HeadlessDisplayOpen());
  EXPECT_THROW(CloseDown(), HeadlessExit);
}

TEST_F(StartSequence, WithoutADisplayItEndsWithStatusOneAndSaysWhy) {
  WriteBytes(game / "scores.dat", "1|Wen|0|5|0|0|0|0\r\n");
  HeadlessRefuseDisplay(true);
  int status = 0;
  const std::string said = Said([&] { status = ExitStatus(StartUp); });
  EXPECT_EQ(status, 1);
  EXPECT_NE(said.find("no video: "), std::string::npos) << said;  // the media layer's reason
  EXPECT_NE(said.find("could not open the display"), std::string::npos) << said;
  EXPECT_FALSE(fs::exists(files / "Setup.ini"));
  EXPECT_EQ(ReadLines(game / "scores.dat").front(), "1|Wen|0|5|0|0|0|0");
  // The log holds its own lines only, up to the display's.
  EXPECT_EQ(ReadLines(files / "Debug.txt").back(), "\tResolution : 800x600,0");

  // Apply asking for a mode that will not open goes back to the one that
  // worked, carries on, and the setup file keeps that one.
  HeadlessReset();
  ChangeDir(root.string());
  StartUp();
  SetSettings({{SET_WIDTH, 1024}, {SET_HEIGHT, 768}});
  HeadlessRefuseDisplay(true, 1024);
  EXPECT_NE(Said(ApplyGraphics).find("going back to 800x600"), std::string::npos);
  EXPECT_TRUE(HeadlessDisplayOpen());
  EXPECT_EQ(HeadlessOpenMode().width, 800);
  EXPECT_EQ(ResolutionWidths[Settings[SET_RESOLUTION]], 800);
  EXPECT_THROW(CloseDown(), HeadlessExit);
  EXPECT_TRUE(InOrder(ReadLines(files / "Setup.ini"), {"Width=800", "Height=600"}));

  // Apply failing to reopen any display saves what the run has gathered, and still says it failed.
  HeadlessReset();
  ChangeDir(root.string());
  StartUp();
  HeadlessRefuseDisplay(true);
  Said([] { EXPECT_EQ(ExitStatus(ApplyGraphics), 1); });
  EXPECT_TRUE(fs::exists(files / "Setup.ini"));
  EXPECT_EQ(ReadLines(files / "Debug.txt").back(), "Play again, soon!!");
}

TEST_F(StartSequence, NoDataTreeAtAllStillStartsAndCloses) {
  const fs::path bare = root / "bare";
  fs::create_directories(bare);
  ChangeDir(bare.string());
  WriteBytes(bare / "Setup.ini", "Master=77\r\n");
  StartUp();
  EXPECT_TRUE(HeadlessDisplayOpen());
  EXPECT_EQ(Fonts[1], 0);
  EXPECT_EQ(TitleImage, 0);
  EXPECT_EQ(CurrentDir(), fs::canonical(bare).string());  // it never wandered off
  EXPECT_TRUE(fs::exists(bare / "Debug.txt"));
  EXPECT_EQ(Settings[SET_MASTER], 77);
  TapKey(KEY_TAB);  // the settings panel saves the settings...
  TapKey(KEY_F11);  // ...and so does a screenshot, its picture
  FinishFrame(1);
  EXPECT_THROW(CloseDown(), HeadlessExit);
  EXPECT_EQ(ReadLines(bare / "Debug.txt").back(), "Play again, soon!!");
  // Everything written stays in the start folder, where the next start reads it.
  EXPECT_TRUE(InOrder(ReadLines(bare / "Setup.ini"), {"Master = 77"}));
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(bare)) pictures += entry.path().extension() == ".png";
  EXPECT_EQ(pictures, 1);
  for (const auto& entry : fs::directory_iterator(root))
    EXPECT_TRUE(entry.path() == bare || entry.path() == files) << entry.path();
  EXPECT_TRUE(fs::is_empty(game));
}

}  // namespace
