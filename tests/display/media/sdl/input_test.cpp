// The SDL back end's input, joysticks and sound outputs, fed through SDL
// itself: events pushed into its queue, a virtual joystick, and the dummy
// and null audio devices.
#include <cstring>
#include <initializer_list>
#include <tuple>

#include "media/audio/output.h"
#include "media/sdl/keys.h"
#include "tests/display/support.h"

namespace {

void PushKey(bool down, SDL_Keycode sym, SDL_Scancode scancode, bool repeat = false) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = scancode;
  SDL_PushEvent(&e);
}

void PushText(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
  SDL_PushEvent(&e);
}

void PushMouse(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  SDL_PushEvent(&e);
}

void PushButton(bool down, Uint8 button) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = button;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  SDL_PushEvent(&e);
}

// GetChar gives these codes in turn, then 0.
void ExpectTyped(std::initializer_list<int> codes) {
  int at = 0;
  for (int c : codes) EXPECT_EQ(GetChar(), c) << "character " << at++;
  EXPECT_EQ(GetChar(), 0) << "after " << at << " characters";
}

TEST(SdlKeys, LettersAndDigitsByLabelTheRestByPlace) {
  // The key labelled Z sits where a US keyboard has W on AZERTY; it is still Z.
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_z, SDL_SCANCODE_W), 90);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_a, SDL_SCANCODE_Q), 65);
  // The AZERTY digit row types '&' unshifted: its place gives 1.
  EXPECT_EQ(VirtualKeyFromSdl('&', SDL_SCANCODE_1), 49);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_0, SDL_SCANCODE_0), 48);
  // A Cyrillic letter falls back to its place.
  EXPECT_EQ(VirtualKeyFromSdl(0x0439, SDL_SCANCODE_Q), 81);
  // Every other key by its place, whatever the layout.
  const std::tuple<SDL_Keycode, SDL_Scancode, int> byPlace[] = {{SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
                                                                {SDLK_UP, SDL_SCANCODE_UP, 38},
                                                                {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
                                                                {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
                                                                {SDLK_F1, SDL_SCANCODE_F1, 112},
                                                                {SDLK_F12, SDL_SCANCODE_F12, 123},
                                                                {SDLK_TAB, SDL_SCANCODE_TAB, 9},
                                                                {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
                                                                {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
                                                                {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
                                                                {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
                                                                {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
                                                                {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 160},
                                                                {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 161},
                                                                {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 162},
                                                                {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 163},
                                                                {SDLK_LALT, SDL_SCANCODE_LALT, 164},
                                                                {SDLK_RALT, SDL_SCANCODE_RALT, 165},
                                                                {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
                                                                {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
                                                                {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 111},
                                                                {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
                                                                {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 192},
                                                                {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219},
                                                                {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222},
                                                                {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
                                                                {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 34},
                                                                {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 20},
                                                                {SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, 144},
                                                                {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0}};
  for (auto [sym, place, code] : byPlace) EXPECT_EQ(VirtualKeyFromSdl(sym, place), code) << SDL_GetScancodeName(place);
}

class SdlInput : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSdlBackend();
    ASSERT_TRUE(gl::OpenWindow(800, 600, 1280, 960));
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);  // whatever the window itself caused
    FlushKeys();
    while (MouseHit(1) + MouseHit(2) + MouseHit(3)) {
    }
    CloseRequested();
  }
  void TearDown() override { CloseDisplay(); }
};

TEST_F(SdlInput, KeysCountPressesNotRepeatsAndEditingKeysType) {
  PushKey(true, SDLK_z, SDL_SCANCODE_Z);
  PushKey(true, SDLK_z, SDL_SCANCODE_Z, true);
  PushKey(true, SDLK_z, SDL_SCANCODE_Z, true);
  EXPECT_TRUE(KeyDown(KEY_Z));
  EXPECT_EQ(KeyHit(KEY_Z), 1);
  EXPECT_EQ(KeyHit(KEY_Z), 0);  // cleared by the read
  PushKey(false, SDLK_z, SDL_SCANCODE_Z);
  EXPECT_FALSE(KeyDown(KEY_Z));

  // Pressed and released between two reads still counts.
  PushKey(true, SDLK_LEFT, SDL_SCANCODE_LEFT);
  PushKey(false, SDLK_LEFT, SDL_SCANCODE_LEFT);
  PushKey(true, SDLK_LEFT, SDL_SCANCODE_LEFT);
  PushKey(false, SDLK_LEFT, SDL_SCANCODE_LEFT);
  EXPECT_FALSE(KeyDown(KEY_LEFT));
  EXPECT_EQ(KeyHit(KEY_LEFT), 2);

  // Typed characters: text as Latin-1 (beyond it dropped), editing keys with repeats.
  PushText("a\xC3\xA9\xE2\x82\xAC!");  // a, e-acute, euro sign, !
  PushKey(true, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE);
  PushKey(true, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, true);
  PushKey(false, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE);
  PushKey(true, SDLK_RETURN, SDL_SCANCODE_RETURN);
  PushKey(true, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
  ExpectTyped({'a', 233, '!', 8, 8, 13, 27});
  EXPECT_EQ(KeyHit(KEY_BACKSPACE), 1);
  // Every code from 32 to 255 comes through, 127 to 159 included.
  PushText("\x7f\xC2\x80\xC2\x9F ");
  ExpectTyped({127, 128, 159, ' '});

  FlushKeys();
  EXPECT_FALSE(KeyDown(KEY_ENTER));
  EXPECT_EQ(KeyHit(KEY_ESCAPE), 0);
}

TEST_F(SdlInput, MouseInVirtualUnitsButtonsAndCloseRequest) {
  PushMouse(400, 300);
  EXPECT_FLOAT_EQ(VirtualMouseX(), 640);
  EXPECT_FLOAT_EQ(VirtualMouseY(), 480);

  PushButton(true, SDL_BUTTON_RIGHT);
  EXPECT_TRUE(MouseDown(2));
  EXPECT_FALSE(MouseDown(1));
  EXPECT_EQ(MouseHit(2), 1);
  EXPECT_EQ(MouseHit(2), 0);
  PushButton(false, SDL_BUTTON_RIGHT);
  PushButton(true, SDL_BUTTON_MIDDLE);
  PushButton(false, SDL_BUTTON_MIDDLE);
  EXPECT_FALSE(MouseDown(2));
  EXPECT_FALSE(MouseDown(3));
  EXPECT_EQ(MouseHit(3), 1);

  EXPECT_FALSE(CloseRequested());
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_TRUE(CloseRequested());
  EXPECT_FALSE(CloseRequested());

  // Moving the pointer answers at once in display pixels.
  MoveMouse(100, 60);
  EXPECT_FLOAT_EQ(VirtualMouseX(), 160);
  EXPECT_FLOAT_EQ(VirtualMouseY(), 96);
}

TEST(MediaJoystick, VirtualDeviceAxesHatButtonsAndMask) {
  UseSdlBackend();
  const int before = CountJoysticks();
  gl::VirtualPad pad;
  const int port = pad.index;
  ASSERT_GE(port, 0) << SDL_GetError();
  ASSERT_NE(pad.pad, nullptr);
  EXPECT_EQ(CountJoysticks(), before + 1);
  EXPECT_NE(JoyName(port).find("Virtual"), std::string::npos) << JoyName(port);

  const Sint16 axes[6] = {32767, -32768, 16384, -16384, 0, 8192};
  for (int a = 0; a < 6; ++a) pad.Axis(a, axes[a]);
  pad.Button(3, true);
  pad.Button(15, true);
  pad.Hat(SDL_HAT_CENTERED);
  EXPECT_FLOAT_EQ(JoyX(port), 1.0f);
  EXPECT_FLOAT_EQ(JoyY(port), -1.0f);
  EXPECT_NEAR(JoyZ(port), 0.5f, 0.001f);
  EXPECT_NEAR(JoyR(port), -0.5f, 0.001f);
  EXPECT_FLOAT_EQ(JoyU(port), 0.0f);
  EXPECT_NEAR(JoyV(port), 0.25f, 0.001f);
  EXPECT_FLOAT_EQ(JoyHat(port), -1.0f);
  EXPECT_TRUE(JoyDown(3, port));
  EXPECT_TRUE(JoyDown(15, port));
  EXPECT_FALSE(JoyDown(4, port));
  EXPECT_FALSE(JoyDown(16, port));
  EXPECT_EQ(JoyButtonMask(port), 0xFFFF);

  const struct {
    Uint8 hat;
    float value;
  } hats[] = {{SDL_HAT_UP, 0},       {SDL_HAT_RIGHTUP, 0.125f},  {SDL_HAT_RIGHT, 0.25f}, {SDL_HAT_RIGHTDOWN, 0.375f},
              {SDL_HAT_DOWN, 0.5f},  {SDL_HAT_LEFTDOWN, 0.625f}, {SDL_HAT_LEFT, 0.75f},  {SDL_HAT_LEFTUP, 0.875f},
              {SDL_HAT_CENTERED, -1}};
  for (const auto& h : hats) {
    pad.Hat(h.hat);
    EXPECT_FLOAT_EQ(JoyHat(port), h.value) << int(h.hat);
  }

  // A port with nothing there reads centred and released.
  const int absent = CountJoysticks();
  EXPECT_EQ(JoyName(absent), "");
  EXPECT_FLOAT_EQ(JoyX(absent), 0);
  EXPECT_FLOAT_EQ(JoyHat(absent), -1);
  EXPECT_FALSE(JoyDown(0, absent));
  EXPECT_EQ(JoyButtonMask(absent), 0);

  pad.Detach();
  EXPECT_EQ(CountJoysticks(), before);
  EXPECT_FLOAT_EQ(JoyX(port), 0);
}

int MakeTone() {
  auto snd = std::make_unique<SoundData>();
  snd->rate = 22050;
  snd->channels = 1;
  snd->samples.resize(22050 * 2);  // two seconds
  for (size_t i = 0; i < snd->samples.size(); ++i) snd->samples[i] = (i / 25) % 2 ? 8000 : -8000;
  return StoreSound(std::move(snd));
}

TEST(SdlAudio, OutputsSwitchAndEarlierSoundsStillPlay) {
  UseSdlBackend();
  const std::vector<std::string> outputs =
      OpenALLinked() ? std::vector<std::string>{"OpenAL", "FreeAudio"} : std::vector<std::string>{"FreeAudio"};
  EXPECT_EQ(AudioDriverList(), outputs);
  EXPECT_TRUE(AudioDriverExists("freeaudio"));
  EXPECT_FALSE(SetAudioDriver("DirectSound"));

  const int tone = MakeTone();
  ASSERT_NE(tone, 0);
  ASSERT_TRUE(SetAudioDriver("FreeAudio"));
  int ch = CueSound(tone);
  ASSERT_NE(ch, 0);
  ResumeChannel(ch);
  EXPECT_TRUE(ChannelPlaying(ch));
  StopChannel(ch);
  EXPECT_FALSE(ChannelPlaying(ch));

  if (!OpenALLinked()) GTEST_SKIP() << "this build has no OpenAL Soft (the Windows one): FreeAudio alone checked";
  ASSERT_TRUE(EnableOpenALAudio()) << "OpenAL Soft's null device";
  ASSERT_TRUE(SetAudioDriver("OpenAL"));
  ch = CueSound(tone);
  ASSERT_NE(ch, 0);
  SetChannelVolume(ch, 0.5f);
  ResumeChannel(ch);
  EXPECT_TRUE(ChannelPlaying(ch));

  ASSERT_TRUE(SetAudioDriver("FreeAudio"));
  ch = CueSound(tone);
  ASSERT_NE(ch, 0);
  ResumeChannel(ch);
  EXPECT_TRUE(ChannelPlaying(ch));
  FreeSound(tone);
  EXPECT_FALSE(ChannelPlaying(ch + 1000));
}

}  // namespace
