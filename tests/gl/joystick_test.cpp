// Joysticks through the real SDL back end: an SDL virtual joystick is found at
// discovery, and its axes, hat and buttons are held and captured by code.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/globals.h"
#include "tools/tools.h"

namespace {

class SdlJoystick : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without window focus SDL would keep the virtual device's values at 0.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    UseSdlBackend();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 6, 16, 1);
    ASSERT_GE(index_, 0) << SDL_GetError();
    pad_ = SDL_JoystickOpen(index_);
    ASSERT_NE(pad_, nullptr) << SDL_GetError();
    ResetGlobals();
    SetDefaultKeys();
  }
  void TearDown() override {
    if (pad_) SDL_JoystickClose(pad_);
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }

  void Axis(int axis, Sint16 value) {
    SDL_JoystickSetVirtualAxis(pad_, axis, value);
    SDL_JoystickUpdate();
  }
  void Hat(Uint8 value) {
    SDL_JoystickSetVirtualHat(pad_, 0, value);
    SDL_JoystickUpdate();
  }
  void Button(int button, bool down) {
    SDL_JoystickSetVirtualButton(pad_, button, down ? 1 : 0);
    SDL_JoystickUpdate();
  }

  int index_ = -1;
  SDL_Joystick* pad_ = nullptr;
};

TEST_F(SdlJoystick, FoundAtDiscovery) {
  DiscoverJoysticks();
  ASSERT_EQ(JoyCount, 1);
  EXPECT_EQ(JoySlot[1].name, "Virtual Joystick");
  EXPECT_EQ(JoySlot[1].buttonMask, 0xFFFF);
  EXPECT_EQ(JoySlot[1].hasHat, 1);
  EXPECT_EQ(JoySlot[1].enabled, 1);
  EXPECT_NEAR(JoySlot[1].restX, 0.0f, 0.01f);
  EXPECT_EQ(DetectInput(), 0);
}

TEST_F(SdlJoystick, AxesHatAndButtonsByCode) {
  DiscoverJoysticks();
  ASSERT_EQ(JoyCount, 1);

  Axis(1, -32768);  // Y fully up
  EXPECT_EQ(CodeDown(300), 1);
  EXPECT_EQ(CodeDown(301), 0);
  EXPECT_EQ(DetectInput(), 300);
  Axis(1, 0);
  Axis(0, 32767);   // X fully right
  EXPECT_EQ(CodeDown(303), 1);
  EXPECT_EQ(DetectInput(), 303);
  Axis(0, 0);
  EXPECT_EQ(CodeDown(303), 0);

  Hat(SDL_HAT_RIGHT);
  EXPECT_EQ(CodeDown(325), 1);
  EXPECT_EQ(DetectInput(), 325);
  Hat(SDL_HAT_LEFTUP);  // a diagonal holds both directions, captures neither
  EXPECT_EQ(CodeDown(320), 1);
  EXPECT_EQ(CodeDown(323), 1);
  EXPECT_EQ(DetectInput(), 0);
  Hat(SDL_HAT_CENTERED);

  Keys[10] = 333;
  Button(3, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
  EXPECT_EQ(DetectInput(), 333);
  JoySlot[1].enabled = 0;
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  EXPECT_EQ(DetectInput(), 0);
  JoySlot[1].enabled = 1;
  Button(3, false);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  EXPECT_EQ(DetectInput(), 0);
}

}  // namespace
