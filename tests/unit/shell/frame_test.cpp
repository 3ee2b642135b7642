// The frame service: pacing, the smoothed frame rate, messages, slow-system
// presenting, hot keys, channel volumes, the mouse sample and the close paths.
#include "tests/unit/support.h"

using namespace support;

namespace {

class FrameService : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    OpenTestDisplay();
  }
};

TEST_F(FrameService, PacesTo60WithOneMillisecondSleeps) {
  // With nothing else costing time, each frame waits until 14.667 ms have
  // passed, which the millisecond clock reaches at 15.
  const int32_t start = Millisecs();
  LastFrameTime = start;
  for (int i = 0; i < 600; ++i) FinishFrame(0);
  EXPECT_EQ(Millisecs() - start, 600 * 15);
  EXPECT_EQ(FrameRate, 64);  // truncation holds it just below 1000 / 15
  EXPECT_EQ(HeadlessPresentCount(), 600);

  // Drawing time counts toward the frame: 10 ms of work still gives 15 ms frames.
  int32_t before = Millisecs();
  for (int i = 0; i < 60; ++i) {
    HeadlessSetClock(static_cast<uint32_t>(Millisecs() + 10));
    FinishFrame(0);
  }
  EXPECT_EQ(Millisecs() - before, 60 * 15);

  // A frame that overruns still sleeps once; the smoothed rate follows it down.
  before = Millisecs();
  for (int i = 0; i < 60; ++i) {
    HeadlessSetClock(static_cast<uint32_t>(Millisecs() + 30));
    FinishFrame(0);
  }
  EXPECT_EQ(Millisecs() - before, 60 * 31);
  EXPECT_EQ(FrameRate, 1000 / 31);
}

TEST_F(FrameService, SmoothedRateFollowsTheFormulaAndSurvivesAClockJump) {
  FrameRate = 0;
  LastFrameTime = Millisecs();
  FinishFrame(0);
  EXPECT_EQ(FrameRate, (1000 / 15 + 0) / 3);
  FinishFrame(0);
  EXPECT_EQ(FrameRate, (1000 / 15 + 2 * 22) / 3);
  // A clock that goes backwards must neither hang the pacing nor divide by zero.
  HeadlessSetClock(5);
  LastFrameTime = 1000;
  FinishFrame(0);
  EXPECT_EQ(LastFrameTime, Millisecs());
}

TEST_F(FrameService, MessagesAgeAndStackUpward) {
  ShowMessage("first", 1);
  const int w = TextWidth("first");
  std::vector<DrawRecord> frame;
  HeadlessOnPresent([&] { frame = HeadlessLastFrame(); });

  auto rectOf = [&](float y) -> const DrawRecord* {
    for (const DrawRecord& r : frame)
      if (r.kind == DrawRecord::RECT && r.y == y && r.x == 0) return &r;
    return nullptr;
  };
  const float bottom = static_cast<float>(VirtualHeight - 16);

  FinishFrame(0);
  const DrawRecord* rect = rectOf(bottom);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->w, static_cast<float>(w));
  EXPECT_EQ(rect->r, 255);
  EXPECT_EQ(rect->g, 255);
  EXPECT_EQ(rect->b, 0);
  EXPECT_FLOAT_EQ(rect->alpha, 0.7f);
  const DrawRecord* text = FindText(frame, "first");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->r + text->g + text->b, 0);
  EXPECT_FLOAT_EQ(text->y, bottom);

  for (int i = 2; i <= 59; ++i) FinishFrame(0);
  EXPECT_EQ(rectOf(bottom)->g, 255);  // still highlighted in its 59th frame
  ShowMessage("second", 1);
  ShowMessage("third", 1);
  FinishFrame(0);  // 60th frame of the first
  ASSERT_NE(rectOf(bottom), nullptr);
  EXPECT_EQ(rectOf(bottom)->r + rectOf(bottom)->g + rectOf(bottom)->b, 0);
  EXPECT_EQ(FindText(frame, "first")->r, 255);
  EXPECT_FLOAT_EQ(FindText(frame, "second")->y, bottom - 14);
  EXPECT_FLOAT_EQ(FindText(frame, "third")->y, bottom - 28);
  EXPECT_EQ(FindText(frame, "third")->r, 0);  // the new ones are highlighted

  for (int i = 61; i <= 180; ++i) FinishFrame(0);
  EXPECT_NE(FindText(frame, "first"), nullptr);  // shown in its 180th frame
  EXPECT_EQ(Messages.size(), 2u);
  FinishFrame(0);
  EXPECT_EQ(FindText(frame, "first"), nullptr);
  EXPECT_FLOAT_EQ(FindText(frame, "second")->y, bottom);  // the others move down
  float sx = 0, sy = 0;
  GetScale(sx, sy);
  EXPECT_FLOAT_EQ(sx, 1);  // left at scale 1 in font slot 3
  EXPECT_EQ(GetFont(), Fonts[3]);
}

TEST_F(FrameService, SlowSystemPresentsEverySecondFrameAndKeepsHotKeysForIt) {
  Settings[SET_SLOWSYSTEM] = 1;
  FrameParity = 0;
  for (int i = 0; i < 10; ++i) FinishFrame(0);
  EXPECT_EQ(HeadlessPresentCount(), 5);
  EXPECT_EQ(FrameParity, 0);

  // A frame that is never presented is not drawn at all, the clear included,
  // so the picture last presented stays; past the present, drawing works again.
  for (int parity : {0, 1}) {
    HeadlessClearDraws();
    BeginFrame(1);
    DrawRect(0, 0, 10, 10);
    FinishFrame(0);
    EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::CLEAR), 1 - parity) << parity;
    EXPECT_EQ(CountKind(HeadlessDraws(), DrawRecord::RECT) > 0, parity == 0) << parity;
    DrawRect(0, 0, 10, 10);
    EXPECT_EQ(HeadlessDraws().back().kind, DrawRecord::RECT) << parity;
  }

  // F11 pressed before a dropped frame is left unread by it...
  FinishFrame(0);  // presented; the next one is dropped
  TapKey(KEY_F11);
  FinishFrame(0);
  EXPECT_EQ(KeyHit(KEY_F11), 1);
  // ...and taken by the next presented frame.
  TapKey(KEY_F11);
  FinishFrame(0);  // dropped
  FinishFrame(0);  // presented: reads the hit
  EXPECT_EQ(KeyHit(KEY_F11), 0);

  // Memory is released on every second call, the odd ones.
  FrameParity = 1;
  ReleasedMemory = -1;
  FinishFrame(0);
  EXPECT_NE(ReleasedMemory, -1);
}

TEST_F(FrameService, TabTogglesThePanelAndWritesTheSetupFileEachTime) {
  const fs::path setup = files / "Setup.ini";
  TapKey(KEY_TAB);
  FinishFrame(0);
  EXPECT_EQ(SettingsOpen, 1);
  EXPECT_EQ(SettingsSlide, -268);
  ASSERT_TRUE(fs::exists(setup));
  EXPECT_EQ(ReadLines(setup).at(0), "[Graphics]");
  fs::remove(setup);
  for (int i = 0; i < 12; ++i) FinishFrame(0);
  EXPECT_EQ(SettingsSlide, 20);  // at rest after 10 frames
  TapKey(KEY_TAB);
  FinishFrame(0);
  EXPECT_EQ(SettingsOpen, 0);
  EXPECT_TRUE(fs::exists(setup));
  for (int i = 0; i < 9; ++i) FinishFrame(0);
  EXPECT_EQ(SettingsSlide, -300);
  EXPECT_EQ(CurrentDir(), fs::canonical(game).string());  // back in the game folder
}

TEST_F(FrameService, OverlayTogglesOnF12WithItsLines) {
  std::vector<DrawRecord> frame;
  HeadlessOnPresent([&] { frame = HeadlessLastFrame(); });
  SpriteLimit[1] = 800;
  SpriteLimit[2] = 700;
  SpriteLimit[3] = 600;
  FinishFrame(0);
  EXPECT_EQ(FindText(frame, "Drawn Images : 0/800"), nullptr);

  TapKey(KEY_F12);
  FrameRate = 61;
  FinishFrame(0);
  EXPECT_EQ(DebugOverlay, 1);
  const DrawRecord* images = FindText(frame, "Drawn Images : 0/800");
  ASSERT_NE(images, nullptr);
  EXPECT_FLOAT_EQ(images->x, 2);
  EXPECT_FLOAT_EQ(images->y, 80);
  EXPECT_FLOAT_EQ(images->scaleX, 1.5f);
  ASSERT_NE(FindText(frame, "Drawn Glow : 0/700"), nullptr);
  ASSERT_NE(FindText(frame, "Drawn Particles : 0/600"), nullptr);
  bool collection = false, memory = false;
  for (const DrawRecord& r : frame) {
    collection = collection || (r.kind == DrawRecord::TEXT && r.text.rfind("Collection : ", 0) == 0 && r.y == 40);
    memory = memory || (r.kind == DrawRecord::TEXT && r.text.rfind("Used Memory : ", 0) == 0 && r.y == 60);
  }
  EXPECT_TRUE(collection);
  EXPECT_TRUE(memory);
  const DrawRecord* rate = FindText(frame, "61");  // the rate as it was when drawn
  ASSERT_NE(rate, nullptr);
  EXPECT_FLOAT_EQ(rate->y, 2);

  TapKey(KEY_F12);
  FinishFrame(0);
  EXPECT_EQ(DebugOverlay, 0);
  EXPECT_EQ(FindText(frame, "Drawn Images : 0/800"), nullptr);
}

TEST_F(FrameService, PointerIsDrawnWhenAskedOrWhileThePanelIsOpen) {
  IconsImage = CreateImage(16, 16, 64, 0);
  std::vector<DrawRecord> frame;
  HeadlessOnPresent([&] { frame = HeadlessLastFrame(); });
  HeadlessMouseMove(100, 50);  // display pixels: virtual 160, 80 at 800x600
  auto pointer = [&]() -> const DrawRecord* {
    for (const DrawRecord& r : frame)
      if (r.kind == DrawRecord::IMAGE && r.image == IconsImage && r.frame == 63) return &r;
    return nullptr;
  };
  FinishFrame(0);
  EXPECT_EQ(pointer(), nullptr);
  EXPECT_EQ(MouseX, 160);
  EXPECT_EQ(MouseY, 80);
  FinishFrame(1);
  ASSERT_NE(pointer(), nullptr);
  EXPECT_FLOAT_EQ(pointer()->x, 172);
  EXPECT_FLOAT_EQ(pointer()->y, 92);
  EXPECT_FLOAT_EQ(pointer()->scaleX, 1.5f);
  SettingsOpen = 1;
  FinishFrame(0);
  EXPECT_NE(pointer(), nullptr);

  HeadlessMouseMove(10, 20);
  HeadlessMouseButton(2, true);
  HeadlessMouseButton(2, false);
  FinishFrame(0);
  EXPECT_EQ(LastMouseX, 160);
  EXPECT_EQ(MouseX, 16);
  EXPECT_EQ(MouseY, 32);
  // The panel takes this frame's hits first; the sample gets the rest.
  EXPECT_EQ(MouseClick2, 0);
}

TEST_F(FrameService, ChannelsFollowTheVolumesAndAreClearedWhenStopped) {
  WriteWav(game / "tone.wav", 200);
  const int sound = LoadSound("tone.wav", 0);
  ASSERT_NE(sound, 0);
  const int music = CueSound(sound);
  const int effect = CueSound(sound);
  const int idle = CueSound(sound);  // cued but never started
  ResumeChannel(music);
  ResumeChannel(effect);
  Channels[3] = music;
  Channels[200] = effect;
  Channels[256] = idle;
  SetSettings({{SET_MASTER, 50}, {SET_MUSIC, 40}, {SET_SOUND, 80}});
  HeadlessClearSounds();
  FinishFrame(0);

  auto volumeOf = [](int channel) {
    float v = -1;
    for (const SoundRecord& s : HeadlessSounds())
      if (s.kind == SoundRecord::VOLUME && s.channel == channel) v = s.value;
    return v;
  };
  EXPECT_FLOAT_EQ(volumeOf(music), 0.2f);
  EXPECT_FLOAT_EQ(volumeOf(effect), 0.4f);
  EXPECT_EQ(Channels[256], 0);  // not playing: the slot is emptied
  EXPECT_EQ(volumeOf(idle), -1);

  Settings[SET_MASTER] = 100;  // a change in the panel shows on the next frame
  HeadlessClearSounds();
  FinishFrame(0);
  EXPECT_FLOAT_EQ(volumeOf(effect), 0.8f);

  // Volumes are not capped when the setup file is read: huge ones must not
  // overflow (the sanitizer build watches) and play at full volume.
  Settings[SET_MASTER] = Settings[SET_SOUND] = Settings[SET_MUSIC] = 2147483647;
  HeadlessClearSounds();
  FinishFrame(0);
  EXPECT_FLOAT_EQ(volumeOf(effect), 1.0f);

  StopChannel(effect);
  FinishFrame(0);
  EXPECT_EQ(Channels[200], 0);
  EXPECT_EQ(Channels[3], music);
  for (int i = 0; i < 20; ++i) FinishFrame(0);  // 200 ms later the tone has ended
  EXPECT_EQ(Channels[3], 0);
}

TEST_F(FrameService, AltF4AndCloseRequestsEndThroughTheClosingSequence) {
  OpenLog();
  HeadlessKey(KEY_F4, true);
  FinishFrame(0);  // F4 alone does nothing
  HeadlessKey(KEY_LALT, true);
  EXPECT_THROW(FinishFrame(0), HeadlessExit);
  std::vector<std::string> log = CloseLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Play again, soon!!");
  EXPECT_TRUE(fs::exists(files / "Setup.ini"));
  EXPECT_FALSE(HeadlessDisplayOpen());

  HeadlessReset();
  OpenTestDisplay();
  FinishFrame(0);
  HeadlessRequestClose();
  EXPECT_THROW(FinishFrame(0), HeadlessExit);
}

TEST_F(FrameService, ClosingAtTheNamePromptKeepsTheRoundUnderTheNameTypedSoFar) {
  PlayerName = "Wen";
  Difficulty = 2;
  HeroList.assign(1, ayer{});
  HeroList.front().Score = 321;
  HeroList.front().Best[2] = 4;
  Round.players = 1;
  Round.endState = 1;
  int frames = 0;
  HeadlessOnPresent([&] {
    ++frames;
    if (frames == 1) TapKey(KEY_BACKSPACE);  // then "d"
    if (frames == 2) HeadlessType('d');
    if (frames == 4) HeadlessRequestClose();
  });
  EXPECT_THROW(FinishRound(), HeadlessExit);
  EXPECT_EQ(frames, 4);  // the request is read by the frame that presented
  const std::vector<std::string> lines = ReadLines(game / "scores.dat");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 10), "321|Wed|0|");
  EXPECT_EQ(lines[0].substr(lines[0].size() - 8), "|0|2|0|0");
  EXPECT_EQ(lines[1].substr(0, 4), "0|4|");
}

TEST_F(FrameService, EscapeOutsideARoundOpensNoPauseMenu) {
  GameState = 0;
  HeadlessKey(KEY_ESCAPE, true);
  EXPECT_EQ(FinishFrame(0), 0);
  EXPECT_EQ(GameState, 0);
}

}  // namespace
