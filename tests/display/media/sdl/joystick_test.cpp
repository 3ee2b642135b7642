// Joysticks through the real SDL back end: an SDL virtual joystick is found at
// discovery, and its axes, hat and buttons are held and captured by code; a
// pad attached later is found and plays in the standard layout through SDL's
// pad mapping.
#include "shell/globals.h"
#include "tests/display/support.h"
#include "tools/tools.h"

namespace {

class SdlJoystick : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without window focus SDL would keep the virtual device's values at 0.
    SDL_setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    UseSdlBackend();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    pad_ = std::make_unique<gl::VirtualPad>();
    ASSERT_GE(pad_->index, 0) << SDL_GetError();
    ASSERT_NE(pad_->pad, nullptr) << SDL_GetError();
    ResetGlobals();
    SetDefaultKeys();
  }
  void TearDown() override {
    pad_.reset();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }

  std::unique_ptr<gl::VirtualPad> pad_;
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

  pad_->Axis(1, -32768);  // Y fully up
  EXPECT_EQ(CodeDown(300), 1);
  EXPECT_EQ(CodeDown(301), 0);
  EXPECT_EQ(DetectInput(), 300);
  pad_->Axis(1, 0);
  pad_->Axis(0, 32767);  // X fully right
  EXPECT_EQ(CodeDown(303), 1);
  EXPECT_EQ(DetectInput(), 303);
  pad_->Axis(0, 0);
  EXPECT_EQ(CodeDown(303), 0);

  pad_->Hat(SDL_HAT_RIGHT);
  EXPECT_EQ(CodeDown(325), 1);
  EXPECT_EQ(DetectInput(), 325);
  pad_->Hat(SDL_HAT_LEFTUP);  // a diagonal holds both directions, captures neither
  EXPECT_EQ(CodeDown(320), 1);
  EXPECT_EQ(CodeDown(323), 1);
  EXPECT_EQ(DetectInput(), 0);
  pad_->Hat(SDL_HAT_CENTERED);

  Keys[10] = 333;
  pad_->Button(3, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
  EXPECT_EQ(DetectInput(), 333);
  JoySlot[1].enabled = 0;
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  EXPECT_EQ(DetectInput(), 0);
  JoySlot[1].enabled = 1;
  pad_->Button(3, false);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  EXPECT_EQ(DetectInput(), 0);
}

// A pad attached after start-up, of the kind SDL knows the layout of: found
// at the next frame's look, it plays player 1 with no binding of its own.
TEST(SdlPadLater, FoundAndPlaysTheStandardLayout) {
  SDL_setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  UseSdlBackend();
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  ResetGlobals();
  SetDefaultKeys();
  DiscoverJoysticks();
  ASSERT_EQ(JoyCount, 0);

  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;  // every part, each at its own number
  desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  const auto button = [pad](int b, bool down) {
    SDL_JoystickSetVirtualButton(pad, b, down ? SDL_PRESSED : SDL_RELEASED);
    SDL_JoystickUpdate();
  };

  FindNewJoysticks();
  ASSERT_EQ(JoyCount, 1);
  EXPECT_EQ(JoySlot[1].enabled, 1);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  button(SDL_CONTROLLER_BUTTON_A, true);  // the bottom face button jumps and starts
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 2), 0);
  button(SDL_CONTROLLER_BUTTON_A, false);
  button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
  EXPECT_EQ(ControlDown(ACT_DOWN, 1), 1);
  button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
  SDL_JoystickUpdate();
  EXPECT_EQ(ControlDown(ACT_LEFT, 1), 1);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
  SDL_JoystickUpdate();
  EXPECT_EQ(ControlDown(ACT_LEFT, 1), 0);
  button(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_TRUE(PauseHeld());
  button(SDL_CONTROLLER_BUTTON_START, false);
  EXPECT_FALSE(PauseHeld());

  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  FindNewJoysticks();
  EXPECT_EQ(JoyCount, 0);
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

}  // namespace
