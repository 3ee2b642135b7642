// The media layer on the headless back end: recorded drawing state, the
// virtual clock, scripted keys, mouse, joysticks and close requests, display
// modes, and the audio front with its recorded sound calls.
#include <gtest/gtest.h>

#include "media/backend.h"
#include "media/headless/headless.h"
#include "tests/unit/support.h"

using namespace support;

namespace {

using Headless = MediaTest;

}  // namespace

TEST_F(Headless, DrawCallsCarryTheStickyState) {
  SetColor(10, 300, -4);  // clamped into 0..255
  SetAlpha(0.25f);
  SetBlend(LIGHTBLEND);
  SetBlend(42);  // not a blend: ignored
  SetRotation(30);
  SetScale(2, 3);
  int r, g, b;
  GetColor(r, g, b);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(g, 255);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(GetBlend(), LIGHTBLEND);
  SetAlpha(7);
  EXPECT_EQ(GetAlpha(), 1.0f);
  SetAlpha(0.25f);

  HeadlessClearDraws();
  DrawRect(1, 2, 3, 4);
  DrawLine(5, 6, 7, 8);
  DrawText("hi", 9, 10);
  DrawText("", 9, 10);  // nothing
  const auto& d = HeadlessDraws();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].kind, DrawRecord::RECT);
  EXPECT_EQ(d[0].w, 3);
  EXPECT_EQ(d[1].kind, DrawRecord::LINE);
  EXPECT_EQ(d[1].h, 8);
  EXPECT_EQ(d[2].kind, DrawRecord::TEXT);
  EXPECT_EQ(d[2].text, "hi");
  EXPECT_EQ(d[2].font, 0);
  for (const DrawRecord& rec : d) {
    EXPECT_EQ(rec.r, 10);
    EXPECT_EQ(rec.g, 255);
    EXPECT_EQ(rec.alpha, 0.25f);
    EXPECT_EQ(rec.blend, LIGHTBLEND);
    EXPECT_EQ(rec.rotation, 30);
    EXPECT_EQ(rec.scaleX, 2);
    EXPECT_EQ(rec.scaleY, 3);
  }
  EXPECT_EQ(CurrentDrawState().blend, LIGHTBLEND);
}

TEST_F(Headless, FramesAndPresentHook) {
  int before = HeadlessPresentCount();
  ClearScreen();
  DrawRect(0, 0, 1, 1);
  PresentFrame(1);
  DrawRect(0, 0, 2, 2);
  DrawRect(0, 0, 3, 3);
  PresentFrame(1);
  EXPECT_EQ(HeadlessPresentCount(), before + 2);
  auto last = HeadlessLastFrame();
  ASSERT_EQ(last.size(), 3u);
  EXPECT_EQ(last[0].w, 2);
  EXPECT_EQ(last[2].kind, DrawRecord::PRESENT);

  // A screen's endless loop is left by throwing from the hook.
  struct Leave {};
  int frames = 0;
  HeadlessOnPresent([&] {
    if (++frames == 100) throw Leave{};
  });
  EXPECT_THROW(
      for (;;) {
        DrawRect(0, 0, 1, 1);
        PresentFrame(1);
      },
      Leave);
  EXPECT_EQ(frames, 100);
  HeadlessOnPresent(nullptr);
}

TEST_F(Headless, VirtualClockMovesOnlyOnDelayAndDrawCost) {
  EXPECT_EQ(Millisecs(), 0);
  DrawRect(0, 0, 1, 1);
  EXPECT_EQ(Millisecs(), 0);
  Delay(16);
  EXPECT_EQ(Millisecs(), 16);
  Delay(-50);
  EXPECT_EQ(Millisecs(), 16);
  int delays = 0;
  HeadlessOnDelay([&] { ++delays; });
  Delay(0);
  Delay(4);
  EXPECT_EQ(delays, 2);
  EXPECT_EQ(Millisecs(), 20);
  HeadlessSetDrawCost(0.25);
  for (int i = 0; i < 8; ++i) DrawRect(0, 0, 1, 1);
  EXPECT_EQ(Millisecs(), 22);
  // The count wraps as 32 bits.
  HeadlessSetClock(0xFFFFFFF0u);
  HeadlessSetDrawCost(0);
  Delay(32);
  EXPECT_EQ(Millisecs(), 16);
}

TEST_F(Headless, KeyHitsCountPressesOnce) {
  HeadlessKey(KEY_Z, true);
  EXPECT_TRUE(KeyDown(KEY_Z));
  EXPECT_EQ(KeyHit(KEY_Z), 1);
  EXPECT_EQ(KeyHit(KEY_Z), 0);  // twice in one frame: only the first sees it
  HeadlessKey(KEY_Z, true);     // held with auto-repeat: no new hit
  EXPECT_EQ(KeyHit(KEY_Z), 0);
  HeadlessKey(KEY_Z, false);
  EXPECT_FALSE(KeyDown(KEY_Z));

  // Pressed and released between two queries still counts.
  HeadlessKey(KEY_SPACE, true);
  HeadlessKey(KEY_SPACE, false);
  HeadlessKey(KEY_SPACE, true);
  HeadlessKey(KEY_SPACE, false);
  EXPECT_FALSE(KeyDown(KEY_SPACE));
  EXPECT_EQ(KeyHit(KEY_SPACE), 2);

  HeadlessType('a');
  HeadlessType('b');
  HeadlessType('a');
  EXPECT_EQ(GetChar(), 'a');
  EXPECT_EQ(GetChar(), 'b');
  EXPECT_EQ(GetChar(), 'a');
  EXPECT_EQ(GetChar(), 0);

  HeadlessKey(KEY_ENTER, true);
  HeadlessType('x');
  FlushKeys();
  EXPECT_FALSE(KeyDown(KEY_ENTER));
  EXPECT_EQ(KeyHit(KEY_ENTER), 0);
  EXPECT_EQ(GetChar(), 0);

  EXPECT_FALSE(KeyDown(0));
  EXPECT_FALSE(KeyDown(256));
  EXPECT_EQ(KeyHit(-1), 0);
}

TEST_F(Headless, MouseInVirtualUnits) {
  ASSERT_TRUE(OpenDisplay(800, 600, 0, 0, 0));
  SetVirtualResolution(1600, 900);
  EXPECT_EQ(VirtualResolutionWidth(), 1600);
  HeadlessMouseMove(400, 300);
  EXPECT_FLOAT_EQ(VirtualMouseX(), 800);
  EXPECT_FLOAT_EQ(VirtualMouseY(), 450);
  MoveMouse(80, 60);
  EXPECT_FLOAT_EQ(VirtualMouseX(), 160);
  EXPECT_FLOAT_EQ(VirtualMouseY(), 90);

  HeadlessMouseButton(1, true);
  HeadlessMouseButton(1, false);
  HeadlessMouseButton(2, true);
  EXPECT_FALSE(MouseDown(1));
  EXPECT_TRUE(MouseDown(2));
  EXPECT_EQ(MouseHit(1), 1);
  EXPECT_EQ(MouseHit(1), 0);
  EXPECT_EQ(MouseHit(2), 1);
  EXPECT_EQ(MouseHit(4), 0);
  HidePointer();
  EXPECT_FALSE(HeadlessPointerShown());
  ShowPointer();
  EXPECT_TRUE(HeadlessPointerShown());
  CloseDisplay();
  EXPECT_FALSE(HeadlessDisplayOpen());
}

TEST_F(Headless, CloseRequestedOnce) {
  EXPECT_FALSE(CloseRequested());
  HeadlessRequestClose();
  EXPECT_TRUE(CloseRequested());
  EXPECT_FALSE(CloseRequested());
  HeadlessRequestClose();
  EXPECT_TRUE(CloseRequested());
}

TEST_F(Headless, JoysticksReadCentredUntilScripted) {
  EXPECT_EQ(CountJoysticks(), 0);
  EXPECT_EQ(JoyX(0), 0);
  EXPECT_EQ(JoyHat(0), -1);
  EXPECT_EQ(JoyName(0), "");
  EXPECT_FALSE(JoyDown(0, 0));
  EXPECT_EQ(JoyButtonMask(0), 0);

  HeadlessSetJoysticks(2);
  EXPECT_EQ(CountJoysticks(), 2);
  EXPECT_EQ(JoyHat(1), -1);
  HeadlessJoyAxis(1, 0, -0.5f);
  HeadlessJoyAxis(1, 5, 3.0f);  // out of range reads clamped
  HeadlessJoyHat(1, 0.25f);
  HeadlessJoyButton(1, 3, true);
  EXPECT_EQ(JoyX(1), -0.5f);
  EXPECT_EQ(JoyV(1), 1.0f);
  EXPECT_EQ(JoyY(1), 0);
  EXPECT_EQ(JoyX(0), 0);
  EXPECT_EQ(JoyHat(1), 0.25f);
  EXPECT_TRUE(JoyDown(3, 1));
  EXPECT_FALSE(JoyDown(3, 0));
  EXPECT_FALSE(JoyDown(99, 1));
  EXPECT_EQ(JoyName(1), "Virtual Joystick");

  HeadlessJoySetup(1, "Pad", 0x3, false);
  EXPECT_EQ(JoyName(1), "Pad");
  EXPECT_EQ(JoyButtonMask(1), 3);
  EXPECT_FALSE(JoyDown(3, 1));  // not one of its buttons
  EXPECT_EQ(JoyHat(1), -1);     // no hat
  EXPECT_EQ(JoyX(5), 0);
}

TEST_F(Headless, DisplayModesAndOpening) {
  EXPECT_EQ(CountGraphicsModes(), 14);
  DisplayMode m = GetGraphicsMode(0);
  EXPECT_EQ(m.width, 640);
  EXPECT_EQ(m.hertz, 60);
  EXPECT_EQ(GetGraphicsMode(14).width, 0);
  EXPECT_EQ(GetGraphicsMode(-1).width, 0);
  EXPECT_TRUE(GraphicsModeExists(1600, 900, 32, 60));
  EXPECT_TRUE(GraphicsModeExists(1920, 0, 0, 0));
  EXPECT_FALSE(GraphicsModeExists(1280, 1024, 0, 0));
  EXPECT_FALSE(GraphicsModeExists(800, 600, 24, 0));

  SetAppTitle("#239 : test");
  EXPECT_EQ(HeadlessTitle(), "#239 : test");
  SelectGraphicsDriver("DX9");
  EXPECT_FALSE(OpenDisplay(1280, 1024, 32, 60, 0));  // no such full-screen mode
  EXPECT_TRUE(OpenDisplay(1280, 1024, 0, 0, 0));     // a window of any size
  EXPECT_TRUE(OpenDisplay(1600, 900, 32, 0, 0));     // reopened with other settings
  EXPECT_EQ(HeadlessOpenMode().width, 1600);
  EXPECT_EQ(HeadlessOpenMode().depth, 32);
  CloseDisplay();

  HeadlessSetModes({{1024, 768, 32, 75}});
  EXPECT_EQ(CountGraphicsModes(), 1);
  EXPECT_TRUE(GraphicsModeExists(0, 0, 0, 75));
}

TEST_F(Headless, EndProcessThrows) { EXPECT_THROW(EndProcess(), HeadlessExit); }

TEST_F(Headless, AudioDriversByNameIgnoringCase) {
  auto names = AudioDriverList();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "OpenAL");
  EXPECT_EQ(names[1], "FreeAudio");
  EXPECT_TRUE(AudioDriverExists("openal"));
  EXPECT_TRUE(AudioDriverExists("FREEAUDIO"));
  EXPECT_FALSE(AudioDriverExists("DirectSound"));
  EXPECT_FALSE(AudioDriverExists(""));
  EXPECT_TRUE(SetAudioDriver("freeaudio"));
  EXPECT_FALSE(SetAudioDriver("Nothing"));
  EXPECT_TRUE(EnableOpenALAudio());
}

TEST_F(Headless, SoundsAreDecodedCuedAndRecorded) {
  // One second of 8-bit mono at 22050 Hz, and a short 16-bit stereo one.
  std::string mono = dir / "mono.wav", stereo = dir / "stereo.wav";
  WriteBytes(mono, WavBytes(1, 22050, 8, std::string(22050, '\xC0')));
  WriteBytes(stereo, WavBytes(2, 44100, 16, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)));
  int s = LoadSound(mono, 0);
  int loop = LoadSound(stereo, 1);
  ASSERT_NE(s, 0);
  ASSERT_NE(loop, 0);
  SoundData* d = SoundFromHandle(s);
  EXPECT_EQ(d->channels, 1);
  EXPECT_EQ(d->rate, 22050);
  ASSERT_EQ(d->samples.size(), 22050u);
  EXPECT_EQ(d->samples[0], 0x40 << 8);  // unsigned 8-bit 0xC0 is +64 of 128
  EXPECT_FALSE(d->loop);
  SoundData* l = SoundFromHandle(loop);
  EXPECT_EQ(l->channels, 2);
  EXPECT_TRUE(l->loop);
  EXPECT_EQ(l->samples, (std::vector<int16_t>{0x0201, 0x0403, 0x0605, 0x0807}));

  // Corrupt and missing files give null.
  std::string good = WavBytes(1, 22050, 8, "abcd");
  WriteBytes(dir / "short.wav", good.substr(0, 20));
  WriteBytes(dir / "junk.wav", "RIFF\x10\0\0\0WAVEjunkjunk");
  std::string badfmt = good;
  badfmt[20] = 99;  // an unknown encoding
  WriteBytes(dir / "badfmt.wav", badfmt);
  WriteBytes(dir / "bare.wav", good.substr(8));  // no RIFF header
  for (const char* name : {"missing.wav", "short.wav", "junk.wav", "badfmt.wav", "bare.wav"})
    EXPECT_EQ(LoadSound(dir / name, 0), 0) << name;

  // A data chunk claiming 2 GB in a small file gives the samples it holds.
  std::string liar = WavBytes(1, 8000, 16, std::string(64, '\x01'));
  liar.replace(40, 4, std::string("\x40\0\0\x80", 4));
  WriteBytes(dir / "liar.wav", liar);
  int partial = LoadSound(dir / "liar.wav", 0);
  ASSERT_NE(partial, 0);
  EXPECT_EQ(SoundFromHandle(partial)->samples.size(), 32u);
  FreeSound(partial);

  // 24-bit samples whose header says a frame is one byte: two whole frames,
  // not six read partly from memory the file never filled.
  std::string narrow = WavBytes(1, 8000, 24, "\x01\x02\x03\x04\x05\x06");
  narrow[32] = 1;  // block alignment
  WriteBytes(dir / "narrow.wav", narrow);
  int packed = LoadSound(dir / "narrow.wav", 0);
  ASSERT_NE(packed, 0);
  const std::vector<int16_t>& frames = SoundFromHandle(packed)->samples;
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_NEAR(frames[0], 0x0302, 1);  // SDL scales through float
  EXPECT_NEAR(frames[1], 0x0605, 1);
  FreeSound(packed);

  HeadlessClearSounds();
  EXPECT_EQ(CueSound(0), 0);
  EXPECT_TRUE(HeadlessSounds().empty());
  int ch = CueSound(s);
  ASSERT_GT(ch, 0);
  EXPECT_FALSE(ChannelPlaying(ch));  // cued paused
  SetChannelVolume(ch, 3.0f);
  SetChannelVolume(ch, -1.0f);
  SetChannelPan(ch, -0.5f);
  SetChannelRate(ch, 2.0f);
  ResumeChannel(ch);
  EXPECT_TRUE(ChannelPlaying(ch));
  Delay(499);  // one second at double speed
  EXPECT_TRUE(ChannelPlaying(ch));
  Delay(2);
  EXPECT_FALSE(ChannelPlaying(ch));

  const auto& rec = HeadlessSounds();
  ASSERT_EQ(rec.size(), 6u);
  EXPECT_EQ(rec[0].kind, SoundRecord::CUE);
  EXPECT_EQ(rec[0].sound, s);
  EXPECT_EQ(rec[0].channel, ch);
  EXPECT_EQ(rec[1].value, 1.0f);
  EXPECT_EQ(rec[2].value, 0.0f);
  EXPECT_EQ(rec[3].kind, SoundRecord::PAN);
  EXPECT_EQ(rec[4].kind, SoundRecord::RATE);
  EXPECT_EQ(rec[5].kind, SoundRecord::RESUME);
  EXPECT_EQ(rec[5].ms, static_cast<uint32_t>(0));

  // A looping sound plays until stopped; a cue onto a given channel reuses it.
  int ch2 = AllocChannel();
  EXPECT_EQ(CueSound(loop, ch2), ch2);
  ResumeChannel(ch2);
  Delay(10000);
  EXPECT_TRUE(ChannelPlaying(ch2));
  StopChannel(ch2);
  EXPECT_FALSE(ChannelPlaying(ch2));
  EXPECT_FALSE(ChannelPlaying(0));
  EXPECT_EQ(CueSound(s, 9999), 0);  // never allocated

  FreeSound(s);
  EXPECT_EQ(SoundFromHandle(s), nullptr);
  EXPECT_EQ(CueSound(s), 0);
  FreeSound(loop);
}
