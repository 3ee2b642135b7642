// Controls: key names, the held test and the capture scan,
// on the headless back end with scripted keys and joysticks.
#include <gtest/gtest.h>

#include <climits>

#include "tests/unit/support.h"

using namespace support;

namespace {

class Controls : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    SetDefaultKeys();
    DiscoverJoysticks();
  }

  // Attaches joysticks with buttons 0..19 and a hat, then discovers them.
  void Pads(int count) {
    HeadlessSetJoysticks(count);
    for (int port = 0; port < count; port++) HeadlessJoySetup(port, "Pad " + std::to_string(port), 0xFFFFF, true);
    DiscoverJoysticks();
  }
};

constexpr int kAxisX = 0, kAxisY = 1, kAxisZ = 2;

TEST(KeyName, ExactCodes) {
  const std::pair<int, const char*> table[] = {{1, "Left Mousebutton"},
                                               {2, "Right Mousebutton"},
                                               {3, "Middle Mousebutton"},
                                               {8, "Backspace"},
                                               {9, "Tab"},
                                               {12, "Clear"},
                                               {13, "Return"},
                                               {19, "Pause"},
                                               {20, "CapsLock"},
                                               {27, "Escape"},
                                               {32, "Space"},
                                               {33, "Page Up"},
                                               {34, "Page Down"},
                                               {35, "End"},
                                               {36, "Home"},
                                               {37, "Left"},
                                               {38, "Up"},
                                               {39, "Right"},
                                               {40, "Down"},
                                               {41, "Select"},
                                               {42, "Print"},
                                               {43, "Execute"},
                                               {44, "Screen"},
                                               {45, "Insert"},
                                               {46, "Delete"},
                                               {47, "Help"},
                                               {48, "0"},
                                               {57, "9"},
                                               {65, "A"},
                                               {90, "Z"},
                                               {91, "Sys Left"},
                                               {92, "Sys Right"},
                                               {96, "0"},
                                               {101, "5"},
                                               {105, "9"},
                                               {106, "*"},
                                               {107, "+"},
                                               {109, "-"},
                                               {110, "."},
                                               {111, "/"},
                                               {112, "F1"},
                                               {121, "F10"},
                                               {123, "F12"},
                                               {144, "NumLock"},
                                               {145, "ScrollLock"},
                                               {160, "LShift"},
                                               {161, "RShift"},
                                               {162, "LControl"},
                                               {163, "RControl"},
                                               {164, "LAlt"},
                                               {165, "RAlt"},
                                               {173, "Mute"},
                                               {174, "Volume Down"},
                                               {175, "Volume Up"},
                                               {186, ";"},
                                               {187, "="},
                                               {188, ","},
                                               {189, "-"},
                                               {190, "."},
                                               {191, "/"},
                                               {192, "'"},
                                               {219, "["},
                                               {220, "\\"},
                                               {221, "]"},
                                               {222, "#"},
                                               {223, "`"},
                                               {226, "\\"}};
  for (auto [code, name] : table) EXPECT_EQ(KeyName(code), name) << "code " << code;
  for (int c = 65; c <= 90; c++) EXPECT_EQ(KeyName(c), std::string(1, static_cast<char>(c)));
}

TEST(KeyName, EverythingElseByInputPart) {
  EXPECT_EQ(KeyName(0), "Y-");    // unbound
  EXPECT_EQ(KeyName(350), "Y-");  // joystick 2, negative Y
  EXPECT_EQ(KeyName(330), "0");   // joystick 1, button 0
  EXPECT_EQ(KeyName(93), "13");   // a key with no name of its own: part 43
  EXPECT_EQ(KeyName(124), "-6");  // F13: part 24
  EXPECT_EQ(KeyName(311), "R+");
  EXPECT_EQ(KeyName(420), "Up");
  EXPECT_EQ(KeyName(423), "Left");
  EXPECT_EQ(KeyName(425), "Right");
  EXPECT_EQ(KeyName(428), "Down");
  EXPECT_EQ(KeyName(349), "19");
  EXPECT_EQ(KeyName(312), "-18");
  EXPECT_EQ(KeyName(255), "Z+");  // 255 mod 50 = 5
  EXPECT_EQ(KeyName(-1), "-31");  // the remainder keeps the sign of the code
  EXPECT_FALSE(KeyName(INT_MIN).empty());
  EXPECT_FALSE(KeyName(INT_MAX).empty());
}

TEST_F(Controls, DefaultBindings) {
  const int bound[][2] = {{0, 38},  {3, 37},  {5, 39},  {8, 40},  {10, 90},
                          {20, 87}, {23, 65}, {25, 68}, {28, 83}, {30, 74}};
  int nonZero = 0;
  for (int v : Keys) nonZero += v != 0;
  EXPECT_EQ(nonZero, 10);
  for (auto& b : bound) EXPECT_EQ(Keys[b[0]], b[1]);
  EXPECT_EQ(KeyName(Keys[10]), "Z");
}

TEST_F(Controls, KeyboardHeldOnlyInItsRange) {
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  HeadlessKey(KEY_Z, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 2), 0);
  HeadlessKey(KEY_Z, false);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);

  // Backspace, Tab, mouse buttons and 255 have codes but are never held.
  for (int code : {1, 2, 3, 8, 9, 255}) {
    HeadlessKey(code, true);
    EXPECT_EQ(CodeDown(code), 0) << code;
    HeadlessKey(code, false);
  }
  HeadlessKey(10, true);
  HeadlessKey(254, true);
  EXPECT_EQ(CodeDown(10), 1);
  EXPECT_EQ(CodeDown(254), 1);

  // An unbound action is never held, whatever is down.
  Keys[11] = 0;
  HeadlessKey(KEY_UP, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON2, 1), 0);
  EXPECT_EQ(ControlDown(ACT_UP, 1), 1);
  for (int code : {-1, -300, INT_MIN, 500, 1000, INT_MAX}) EXPECT_EQ(CodeDown(code), 0) << code;
  // Players outside the table read as not held rather than out of bounds.
  EXPECT_EQ(ControlDown(ACT_UP, 0), 0);
  EXPECT_EQ(ControlDown(13, 6), 0);
  EXPECT_EQ(ControlDown(ACT_UP, INT_MIN), 0);
}

TEST_F(Controls, DiscoveryTakesRestReadingsAndAtMostFour) {
  HeadlessSetJoysticks(6);
  HeadlessJoySetup(0, "Stick", 0x0F, true);
  HeadlessJoySetup(1, "Wheel", 0x03, false);  // no hat: reads centred
  HeadlessJoyHat(2, 0.5f);                    // a hat pushed at start-up
  HeadlessJoyAxis(0, kAxisZ, 0.5f);
  DiscoverJoysticks();
  EXPECT_EQ(JoyCount, 4);
  EXPECT_EQ(JoySlot[1].name, "Stick");
  EXPECT_EQ(JoySlot[1].buttonMask, 0x0F);
  EXPECT_EQ(JoySlot[1].hasHat, 1);
  EXPECT_EQ(JoySlot[2].hasHat, 1);
  EXPECT_EQ(JoySlot[3].hasHat, 0);
  EXPECT_EQ(JoySlot[2].buttonMask, 0x03);
  EXPECT_FLOAT_EQ(JoySlot[1].restZ, 0.5f);
  for (int j = 1; j <= 4; j++) EXPECT_EQ(JoySlot[j].enabled, 1);

  // The window is measured from the rest reading.
  HeadlessJoyAxis(0, kAxisZ, 0.7f);
  EXPECT_EQ(CodeDown(305), 0);
  HeadlessJoyAxis(0, kAxisZ, 0.85f);
  EXPECT_EQ(CodeDown(305), 1);
  HeadlessJoyAxis(0, kAxisZ, 0.0f);
  EXPECT_EQ(CodeDown(304), 1);  // centre is below a rest of 0.5
  EXPECT_EQ(CodeDown(305), 0);

  // The fifth and sixth devices have no slot.
  HeadlessJoyAxis(4, kAxisY, -1.0f);
  EXPECT_EQ(CodeDown(500), 0);
}

TEST_F(Controls, AxesAreStrictAndPerJoystick) {
  Pads(2);
  HeadlessJoyAxis(1, kAxisY, -0.5f);
  EXPECT_EQ(CodeDown(350), 1);  // joystick 2 "Y-"
  EXPECT_EQ(CodeDown(351), 0);
  EXPECT_EQ(CodeDown(300), 0);  // joystick 1 untouched
  HeadlessJoyAxis(0, kAxisX, AXIS_DEAD_ZONE);
  EXPECT_EQ(CodeDown(303), 0);  // exactly on the edge: not held
  HeadlessJoyAxis(1, kAxisY, 0.0f);
  EXPECT_EQ(DetectInput(), 0);  // nor captured
  HeadlessJoyAxis(0, kAxisX, 0.31f);
  EXPECT_EQ(CodeDown(303), 1);
  EXPECT_EQ(DetectInput(), 303);
  EXPECT_EQ(CodeDown(400), 0);  // joystick 3 is absent
  // Parts that name nothing are never held.
  for (int part : {12, 19, 21, 22, 24, 26, 27, 29}) EXPECT_EQ(CodeDown(300 + part), 0) << part;
}

TEST_F(Controls, HatDiagonalsHoldTwoButCaptureOnlyExact) {
  Pads(1);
  HeadlessJoyHat(0, 0.125f);  // up-right
  EXPECT_EQ(CodeDown(320), 1);
  EXPECT_EQ(CodeDown(325), 1);
  EXPECT_EQ(CodeDown(328), 0);
  EXPECT_EQ(CodeDown(323), 0);
  EXPECT_EQ(DetectInput(), 0);
  HeadlessJoyHat(0, 0.875f);  // up-left
  EXPECT_EQ(CodeDown(320), 1);
  EXPECT_EQ(CodeDown(323), 1);
  EXPECT_EQ(DetectInput(), 0);

  const std::pair<float, int> exact[] = {{0.0f, 320}, {0.25f, 325}, {0.5f, 328}, {0.75f, 323}};
  for (auto [h, code] : exact) {
    HeadlessJoyHat(0, h);
    EXPECT_EQ(DetectInput(), code) << h;
    EXPECT_EQ(CodeDown(code), 1) << h;
  }
  HeadlessJoyHat(0, -1.0f);
  for (int code : {320, 323, 325, 328}) EXPECT_EQ(CodeDown(code), 0);
  EXPECT_EQ(DetectInput(), 0);
}

TEST_F(Controls, HatIgnoredWhenNotCentredAtDiscovery) {
  HeadlessSetJoysticks(1);
  HeadlessJoyHat(0, 0.25f);  // held right while the game starts
  DiscoverJoysticks();
  ASSERT_EQ(JoySlot[1].hasHat, 0);
  for (float h : {0.0f, 0.25f, 0.5f, 0.75f}) {
    HeadlessJoyHat(0, h);
    EXPECT_EQ(CodeDown(320) + CodeDown(323) + CodeDown(325) + CodeDown(328), 0) << h;
    EXPECT_EQ(DetectInput(), 0) << h;
  }
}

TEST_F(Controls, ButtonsHeldByNumberCapturedByMaskUpTo18) {
  Pads(1);
  HeadlessJoyButton(0, 0, true);
  EXPECT_EQ(CodeDown(330), 1);
  EXPECT_EQ(DetectInput(), 330);
  HeadlessJoyButton(0, 0, false);
  HeadlessJoyButton(0, 18, true);
  EXPECT_EQ(DetectInput(), 348);
  HeadlessJoyButton(0, 18, false);
  HeadlessJoyButton(0, 19, true);
  EXPECT_EQ(CodeDown(349), 1);  // bindable through the file
  EXPECT_EQ(DetectInput(), 0);  // never captured
  HeadlessJoyButton(0, 19, false);

  // A button outside the device's mask is not captured.
  JoySlot[1].buttonMask = 0x1;
  HeadlessJoyButton(0, 5, true);
  EXPECT_EQ(DetectInput(), 0);
}

TEST_F(Controls, DisabledJoystickReadsNothing) {
  Pads(1);
  Keys[10] = 330;
  HeadlessJoyButton(0, 0, true);
  HeadlessJoyAxis(0, kAxisY, -1.0f);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
  JoySlot[1].enabled = 0;
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  EXPECT_EQ(CodeDown(300), 0);
  EXPECT_EQ(DetectInput(), 0);
  JoySlot[1].enabled = 1;
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
}

TEST_F(Controls, CaptureOrder) {
  Pads(2);
  HeadlessJoyAxis(0, kAxisX, -1.0f);
  HeadlessJoyAxis(0, kAxisY, 1.0f);
  HeadlessJoyButton(0, 2, true);
  HeadlessJoyAxis(1, kAxisY, -1.0f);
  EXPECT_EQ(DetectInput(), 301);  // slot 1 before slot 2; Y before X; axes before buttons
  HeadlessKey(KEY_Z, true);
  HeadlessKey(KEY_A, true);
  EXPECT_EQ(DetectInput(), 65);  // keyboard first, lowest code first
  HeadlessKey(KEY_F12, true);
  EXPECT_EQ(DetectInput(), 0);  // F12 held: nothing is captured
  HeadlessKey(KEY_F12, false);
  HeadlessKey(KEY_F11, true);
  EXPECT_EQ(DetectInput(), 0);  // F11 likewise
  HeadlessKey(KEY_F11, false);
  HeadlessKey(KEY_A, false);
  HeadlessKey(KEY_Z, false);
  HeadlessJoyAxis(0, kAxisX, 0.0f);
  HeadlessJoyAxis(0, kAxisY, 0.0f);
  EXPECT_EQ(DetectInput(), 332);
  HeadlessJoyButton(0, 2, false);
  EXPECT_EQ(DetectInput(), 350);
}

// The on-screen controls press player 1's actions, whatever they are bound to.
TEST_F(Controls, TouchPressesPlayerOnesActionsNotKeys) {
  Keys[KeySlot(1, ACT_LEFT)] = KEY_A;  // rebinding keeps the control working
  const std::pair<int, int> pairs[] = {{TOUCH_LEFT, ACT_LEFT},
                                       {TOUCH_RIGHT, ACT_RIGHT},
                                       {TOUCH_JUMP, ACT_BUTTON1},
                                       {TOUCH_UP, ACT_UP},
                                       {TOUCH_DOWN, ACT_DOWN}};
  for (auto [control, action] : pairs) {
    HeadlessTouch(control, true);
    EXPECT_EQ(ControlDown(action, 1), 1) << control;
    EXPECT_EQ(ControlDown(action, 2), 0) << control;
    EXPECT_EQ(KeyDown(Keys[KeySlot(1, action)]), false) << "no key is pressed for it";
    HeadlessTouch(control, false);
    EXPECT_EQ(ControlDown(action, 1), 0) << control;
  }
  HeadlessTouch(TOUCH_LEFT, true);  // two at once: run and jump
  HeadlessTouch(TOUCH_JUMP, true);
  EXPECT_EQ(ControlDown(ACT_LEFT, 1) + ControlDown(ACT_BUTTON1, 1), 2);
  EXPECT_EQ(DetectInput(), 0);  // never captured as a binding
  EXPECT_FALSE(PauseHeld());
  HeadlessTouch(TOUCH_PAUSE, true);
  EXPECT_TRUE(PauseHeld());
}

// Players 1 and 2 play their own pad in the standard layout until they bind
// one of its inputs; nothing of it is a binding.
TEST_F(Controls, PadsPlayTheStandardLayoutUntilThePlayerBindsOne) {
  Pads(2);
  HeadlessJoyButton(0, 0, true);  // the bottom face button of the first pad
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 2), 0);
  HeadlessJoyButton(0, 0, false);
  HeadlessJoyAxis(1, kAxisX, -0.8f);  // the second pad's stick left
  EXPECT_EQ(ControlDown(ACT_LEFT, 2), 1);
  EXPECT_EQ(ControlDown(ACT_LEFT, 1), 0);
  HeadlessJoyAxis(1, kAxisX, -0.4f);  // not half way
  EXPECT_EQ(ControlDown(ACT_LEFT, 2), 0);
  HeadlessJoyHat(0, 0.5f);  // d-pad down moves the menus
  EXPECT_EQ(ControlDown(ACT_DOWN, 1), 1);
  HeadlessJoyHat(0, -1);
  HeadlessJoyButton(0, 15, true);  // a d-pad of buttons (a browser's standard pad)
  EXPECT_EQ(ControlDown(ACT_RIGHT, 1), 1);
  HeadlessJoyButton(0, 15, false);
  HeadlessJoyButton(1, 9, true);  // Start pauses
  EXPECT_TRUE(PauseHeld());
  HeadlessJoyButton(1, 9, false);
  EXPECT_FALSE(PauseHeld());

  // A binding of the player's own takes over that player's pad.
  Keys[KeySlot(1, ACT_BUTTON1)] = 333;  // pad 1, button 3
  HeadlessJoyButton(0, 0, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 0);
  HeadlessJoyButton(0, 3, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);
  HeadlessJoyAxis(1, kAxisX, -0.8f);
  EXPECT_EQ(ControlDown(ACT_LEFT, 2), 1);  // player 2 keeps the layout
  JoySlot[2].enabled = 0;
  EXPECT_EQ(ControlDown(ACT_LEFT, 2), 0);
  // Players 3 and 4 have no pad of their own.
  Pads(4);
  HeadlessJoyButton(2, 0, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 3), 0);
}

TEST_F(Controls, PadsAttachedLaterGetSlotsWithTheirReadingsThenAsRest) {
  EXPECT_EQ(JoyCount, 0);
  FindNewJoysticks();
  EXPECT_EQ(JoyCount, 0);
  HeadlessSetJoysticks(1);
  HeadlessJoyAxis(0, kAxisZ, 0.5f);
  FindNewJoysticks();
  ASSERT_EQ(JoyCount, 1);
  EXPECT_FLOAT_EQ(JoySlot[1].restZ, 0.5f);
  EXPECT_EQ(JoySlot[1].enabled, 1);
  HeadlessJoyButton(0, 0, true);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 1), 1);  // and it plays at once
  HeadlessJoyButton(0, 0, false);

  HeadlessSetJoysticks(6);  // five more: three slots left
  FindNewJoysticks();
  EXPECT_EQ(JoyCount, 4);
  EXPECT_FLOAT_EQ(JoySlot[1].restZ, 0.5f);  // the first kept its rest
  HeadlessJoyAxis(3, kAxisY, -1.0f);
  EXPECT_EQ(CodeDown(450), 1);
  HeadlessSetJoysticks(1);  // three go: the rest are found again
  FindNewJoysticks();
  EXPECT_EQ(JoyCount, 1);
  EXPECT_EQ(CodeDown(450), 0);
  EXPECT_FLOAT_EQ(JoySlot[1].restZ, 0.0f);
}

TEST_F(Controls, NoJoysticksScansKeyboardOnly) {
  EXPECT_EQ(JoyCount, 0);
  EXPECT_EQ(DetectInput(), 0);
  HeadlessKey(255, true);
  EXPECT_EQ(DetectInput(), 255);  // the scan can capture a code that is never held
  EXPECT_EQ(CodeDown(255), 0);
}

}  // namespace
