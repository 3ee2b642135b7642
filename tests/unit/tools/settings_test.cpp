// The settings panel over a running frame loop: sliding in and out, the
// option rows, the resolution list, Apply, binding capture, the volume
// sliders, the joystick list and the sprite budget.
#include <climits>

#include "tests/unit/support.h"

using namespace support;

namespace {

class SettingsPanel : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (!HaveStagedFile("Common/icons.png") || !HaveStagedFile("Common/SVBasicManual.ttf"))
      GTEST_SKIP() << "icons and fonts not staged in this build";
    UseStagedCommon();
    SlowMachine();    // the engine test inside ApplyGraphics ends quickly
    ApplyGraphics();  // 800 x 600 among the seven default modes
    HeadlessOnDelay(nullptr);
    Settings[SET_SLOWSYSTEM] = 0;  // the short engine test called this machine slow
    SpriteLimit[1] = SpriteLimit[2] = 50000;
    LastFrameTime = Millisecs();
  }

  // One frame of a minimal screen; answers what it drew.
  std::vector<DrawRecord> Frame() {
    HeadlessClearDraws();
    BeginFrame(1);
    FinishFrame(0);
    return HeadlessLastFrame();
  }
  std::vector<DrawRecord> Frames(int n) {
    std::vector<DrawRecord> last;
    for (int i = 0; i < n; ++i) last = Frame();
    return last;
  }
  void OpenToRest() {
    TapKey(KEY_TAB);
    Frames(11);
    ASSERT_EQ(SettingsSlide, 20);
  }
  // The pointer at a virtual point; the panel sees it from the next frame on.
  void Point(int vx, int vy) {
    HeadlessMouseMove(
        (static_cast<float>(vx) + 0.5f) * static_cast<float>(ScreenWidth) / static_cast<float>(VirtualWidth),
        (static_cast<float>(vy) + 0.5f) * static_cast<float>(ScreenHeight) / static_cast<float>(VirtualHeight));
    Frame();
  }
  std::vector<DrawRecord> Click(int button = 1) {
    HeadlessMouseButton(button, true);
    HeadlessMouseButton(button, false);
    return Frame();
  }
  static int CountIcon(const std::vector<DrawRecord>& frame, int image, int iconFrame) {
    int n = 0;
    for (const DrawRecord& r : frame) n += r.kind == DrawRecord::IMAGE && r.image == image && r.frame == iconFrame;
    return n;
  }
  // The record of a drawn text, or a failure and an empty record.
  static DrawRecord Text(const std::vector<DrawRecord>& frame, const std::string& text) {
    const DrawRecord* r = FindText(frame, text);
    if (r == nullptr) ADD_FAILURE() << "\"" << text << "\" not drawn";
    return r ? *r : DrawRecord{};
  }
  static const DrawRecord* IconAt(const std::vector<DrawRecord>& frame, int image, float x, float y) {
    for (const DrawRecord& r : frame)
      if (r.kind == DrawRecord::IMAGE && r.image == image && r.x == x && r.y == y) return &r;
    return nullptr;
  }
};

TEST_F(SettingsPanel, TabSlidesThePanelInOverTenFramesAndAwayAgain) {
  TapKey(KEY_TAB);
  for (int k = 1; k <= 11; ++k) {
    const auto frame = Frame();
    const int offset = std::min(-300 + 32 * k, 20);
    const DrawRecord* title = FindText(frame, "Graphics");
    ASSERT_NE(title, nullptr) << "frame " << k;
    EXPECT_EQ(title->y, static_cast<float>(offset + 4)) << "frame " << k;
    // The shade under the whole panel, then its lighter face and the green edge.
    ASSERT_FALSE(frame.empty());
    bool shade = false, edge = false;
    for (const DrawRecord& r : frame) {
      if (r.kind != DrawRecord::RECT) continue;
      shade = shade || (r.blend == SHADEBLEND && r.h == static_cast<float>(offset + 300) && r.r == 40 && r.w == 1280);
      edge = edge || (r.y == static_cast<float>(offset + 298) && r.h == 2 && r.g == 255 && r.r == 180);
    }
    EXPECT_TRUE(shade && edge) << "frame " << k;
  }
  EXPECT_EQ(SettingsSlide, 20);

  TapKey(KEY_TAB);
  for (int k = 1; k <= 9; ++k) {
    const auto frame = Frame();
    const DrawRecord* title = FindText(frame, "Graphics");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->y, static_cast<float>(20 - 32 * k + 4));
  }
  EXPECT_EQ(FindText(Frame(), "Graphics"), nullptr);
  EXPECT_EQ(SettingsSlide, -300);
  EXPECT_EQ(FindText(Frame(), "Graphics"), nullptr);
}

TEST_F(SettingsPanel, DrawsWhollyOverAScreenThatUsedItsBudget) {
  OpenToRest();
  HeadlessClearDraws();
  BeginFrame(1);
  SpriteCount[1] = SpriteLimit[1] = 1000;  // the screen behind spent everything
  SpriteCount[2] = SpriteLimit[2] = 500;
  FinishFrame(0);
  const auto frame = HeadlessLastFrame();
  for (const char* text : {"Graphics", "Windowed", "Resolution", "800x600", "Draw all Frames", "Decent System",
                           "OpenGL", "Optimum", "Apply", "Player 1", "Player 2", "Audio Driver",
                           "Changes require a Restart", "Master Volume : 50", "Sounds : 50", "Music : 50"})
    EXPECT_NE(FindText(frame, text), nullptr) << text;
  EXPECT_EQ(Text(frame, "Player 1").x, 350);
  EXPECT_EQ(Text(frame, "Player 2").x, 750);
  EXPECT_EQ(Text(frame, "Apply").y, 280);
  // Row icons: windowed, 4:3, the two option rows, the first audio back end.
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 13), 1);
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 11), 1);
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 18), 2);
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 24), 1);
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 23), 3);  // three knobs
  // Ten key cells, each with its glow (dark while nothing is held).
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 3), 10);
  EXPECT_EQ(CountIcon(frame, IconsImage, 3), 10);
  const DrawRecord* up = FindText(frame, "Up");  // player 1's up cell at (300, 30), name centred
  ASSERT_NE(up, nullptr);
  EXPECT_EQ(up->x, static_cast<float>(324 - TextWidth("Up") / 2));
  for (const char* name : {"Left", "Right", "Down", "Z", "W", "A", "S", "D", "J"})
    EXPECT_NE(FindText(frame, name), nullptr) << name;
  const DrawRecord* glow = IconAt(frame, IconsImage, 324, 54);
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(glow->blend, LIGHTBLEND);
  EXPECT_FLOAT_EQ(glow->scaleX, 3.3f);
  EXPECT_EQ(glow->alpha, 0);

  // The panel's own glow still counts: with room for three, three are drawn.
  SpriteLimit[2] = 3;
  EXPECT_EQ(CountIcon(Frame(), IconsImage, 3), 3);
  EXPECT_EQ(SpriteCount[2], 3);

  // A frame a slow system never shows draws no icons at all.
  Settings[SET_SLOWSYSTEM] = 1;
  FrameParity = 1;
  const std::vector<DrawRecord> dropped = DrawnBy(SettingsMenu);
  EXPECT_EQ(CountKind(dropped, DrawRecord::IMAGE), 0);
  EXPECT_GT(CountKind(dropped, DrawRecord::RECT), 2);
}

TEST_F(SettingsPanel, AClickOnAnOptionRowStepsItsSlot) {
  OpenToRest();
  Point(30, 60);  // the Windowed row
  auto frame = Click();
  EXPECT_EQ(Settings[SET_FULLSCREEN], 1);
  frame = Frame();
  EXPECT_NE(FindText(frame, "Fullscreen"), nullptr);
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 14), 1);
  const DrawRecord* glow = IconAt(frame, IconsImage, 36, 66);
  ASSERT_NE(glow, nullptr);
  EXPECT_FLOAT_EQ(glow->scaleX, 2.2f);
  EXPECT_FLOAT_EQ(glow->alpha, 0.8f);
  EXPECT_EQ(HeadlessOpenMode().depth, 0) << "the display waits for Apply";
  Click();
  EXPECT_EQ(Settings[SET_FULLSCREEN], 0);

  Point(30, 176);  // frame skip
  Click();
  EXPECT_EQ(Settings[SET_SLOWSYSTEM], 1);
  Frames(2);  // a slow system draws every second frame
  EXPECT_NE(FindText(HeadlessLastFrame(), "Slow System"), nullptr);
  Click();
  EXPECT_EQ(Settings[SET_SLOWSYSTEM], 0);

  Point(30, 214);  // graphics back end
  for (int want : {1, 2, 0}) {
    Click();
    EXPECT_EQ(Settings[SET_GFXENGINE], want);
  }
  Settings[SET_GFXENGINE] = 2;
  EXPECT_NE(FindText(Frame(), "Backup"), nullptr);
  Settings[SET_GFXENGINE] = 0;

  // The audio row lists the back ends; more than six offers the first six.
  AudioDriverNames = {"OpenAL", "FreeAudio", "DirectSound"};
  Point(1010, 50);
  for (int want : {1, 2, 0, 1}) {
    Click();
    EXPECT_EQ(Settings[SET_AUDIODRIVER], want);
  }
  EXPECT_NE(FindText(Frame(), "FreeAudio"), nullptr);
  AudioDriverNames = {"a", "b", "c", "d", "e", "f", "g"};
  Settings[SET_AUDIODRIVER] = 5;
  Click();
  EXPECT_EQ(Settings[SET_AUDIODRIVER], 0);
  Settings[SET_AUDIODRIVER] = 6;  // no label of its own: the first one, icon base + 6
  frame = Frame();
  EXPECT_NE(FindText(frame, "a"), nullptr);
  EXPECT_EQ(CountIcon(frame, SharpIconsImage, 30), 1);

  // A click away from every row changes nothing.
  Point(600, 250);
  Click();
  EXPECT_EQ(Settings[SET_FULLSCREEN], 0);
  EXPECT_EQ(Settings[SET_GFXENGINE], 0);
}

TEST_F(SettingsPanel, TheResolutionRowWalksTheModeListAndWraps) {
  ASSERT_EQ(ResolutionCount, 7);
  ASSERT_EQ(Settings[SET_RESOLUTION], 2);
  OpenToRest();
  Point(30, 100);
  auto expectMode = [&](int pos) {
    EXPECT_EQ(Settings[SET_RESOLUTION], pos);
    EXPECT_EQ(Settings[SET_WIDTH], ResolutionWidths[pos]);
    EXPECT_EQ(Settings[SET_HEIGHT], ResolutionHeights[pos]);
  };
  // A key tapped and a frame run; then the mode should be at `pos`.
  auto keyGoesTo = [&](int code, int pos) {
    TapKey(code);
    Frame();
    expectMode(pos);
  };
  for (int step = 1; step <= 7; ++step) keyGoesTo(KEY_RIGHT, (step + 1) % 7 + 1);
  expectMode(2);
  EXPECT_NE(FindText(Frame(), "800x600"), nullptr);
  TapKey(KEY_RIGHT);
  Frame();
  EXPECT_NE(FindText(Frame(), "1024x768"), nullptr);
  keyGoesTo(KEY_LEFT, 2);
  keyGoesTo(KEY_UP, 3);
  keyGoesTo(KEY_DOWN, 2);
  Click(1);
  expectMode(3);
  Click(2);
  Click(2);
  expectMode(1);
  Click(2);
  expectMode(7);  // 1920 x 1080: widescreen, yet the flag waits for Apply
  EXPECT_EQ(Settings[SET_WIDESCREEN], 0);

  // The row's wider area counts too; elsewhere the arrows belong to the game.
  Point(200, 150);
  keyGoesTo(KEY_RIGHT, 1);
  Point(600, 500);
  keyGoesTo(KEY_RIGHT, 1);
  Point(30, 100);  // and that press is not saved up for later
  expectMode(1);

  // An empty mode list changes nothing.
  Point(30, 100);
  ResolutionCount = 0;
  TapKey(KEY_RIGHT);
  Click(1);
  EXPECT_EQ(Settings[SET_RESOLUTION], 1);
  EXPECT_EQ(Settings[SET_WIDTH], 640);
}

TEST_F(SettingsPanel, ApplyWritesTheFileReopensTheDisplayAndClosesThePanel) {
  OpenToRest();
  Point(30, 100);
  TapKey(KEY_RIGHT);
  TapKey(KEY_RIGHT);
  Frame();  // one step per frame
  TapKey(KEY_RIGHT);
  Frame();
  ASSERT_EQ(Settings[SET_WIDTH], 1280);
  ASSERT_EQ(Settings[SET_HEIGHT], 720);
  EXPECT_EQ(HeadlessOpenMode().width, 800);

  Point(22, 284);
  fs::remove(files / "Setup.ini");
  OpenLog();
  SlowMachine();
  Click();
  HeadlessOnDelay(nullptr);
  EXPECT_EQ(SettingsOpen, 0);
  EXPECT_EQ(HeadlessOpenMode().width, 1280);
  EXPECT_EQ(HeadlessOpenMode().height, 720);
  EXPECT_EQ(VirtualWidth, 1600);
  EXPECT_EQ(Settings[SET_WIDESCREEN], 1);
  const auto setup = ReadLines(files / "Setup.ini");
  EXPECT_TRUE(InOrder(setup, {"Width=1280", "Height=720"}));
  EXPECT_TRUE(InOrder(CloseLog(), {"Applying Graphical Settings", "\tChanged Graphics Mode ingame.",
                                   "\tResolution : 1280x720,0", "\tWidescreen mode!", "Starting Engine Test"}));
  EXPECT_EQ(CurrentDir(), fs::canonical(game).string());
  Frames(12);
  EXPECT_EQ(SettingsSlide, -300);
}

TEST_F(SettingsPanel, ABindingCellTakesTheHeldInputOnceThePanelRests) {
  // Player 1's jump cell rests at (440, 80); at offset -12 it passes (440, 48).
  Point(460, 70);
  HeadlessKey(KEY_J, true);
  TapKey(KEY_TAB);
  for (int k = 1; k <= 11; ++k) {
    Frame();
    EXPECT_EQ(Keys[10], 90) << "captured at offset " << SettingsSlide;
  }
  Point(460, 100);
  Frame();
  EXPECT_EQ(Keys[10], KEY_J);
  HeadlessKey(KEY_J, false);
  auto frame = Frame();
  const DrawRecord* name = FindText(frame, "J");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->x, static_cast<float>(464 - TextWidth("J") / 2));
  EXPECT_EQ(name->r, 255);  // the first button's colour
  EXPECT_EQ(name->b, 80);

  // F11 and F12 belong to the frame service: nothing held with them is taken.
  for (int hot : {KEY_F11, KEY_F12}) {
    HeadlessKey(hot, true);
    HeadlessKey(KEY_K, true);
    Frame();
    HeadlessKey(hot, false);
    HeadlessKey(KEY_K, false);
    EXPECT_EQ(Keys[10], KEY_J);
  }
  DebugOverlay = 0;

  HeadlessKey(KEY_BACKSPACE, true);
  Frame();
  HeadlessKey(KEY_BACKSPACE, false);
  EXPECT_EQ(Keys[10], 0);
  frame = Frame();
  const DrawRecord* unbound = FindText(frame, "?!");
  ASSERT_NE(unbound, nullptr);
  EXPECT_EQ(unbound->x, static_cast<float>(464 - TextWidth("?!") / 2));

  // Joystick inputs: a button is named in the middle of its own icon; axes
  // and the hat from the corner; a code of no kind draws nothing.
  HeadlessSetJoysticks(1);
  HeadlessJoySetup(0, "Pad", 0xFFFF, true);
  DiscoverJoysticks();
  HeadlessJoyButton(0, 3, true);
  Frame();
  HeadlessJoyButton(0, 3, false);
  EXPECT_EQ(Keys[10], 333);
  Keys[3] = 302;  // X- at the left cell (250, 80)
  Keys[5] = 325;  // hat right at the right cell (350, 80)
  Keys[8] = 5;    // down cell (300, 80)
  Point(600, 250);
  frame = Frame();
  ASSERT_NE(IconAt(frame, SharpIconsImage, 464, 104), nullptr);
  EXPECT_EQ(IconAt(frame, SharpIconsImage, 464, 104)->frame, 10);
  EXPECT_EQ(Text(frame, "3").x, static_cast<float>(464 - TextWidth("3") / 2));
  ASSERT_NE(IconAt(frame, SharpIconsImage, 274, 104), nullptr);
  EXPECT_EQ(IconAt(frame, SharpIconsImage, 274, 104)->frame, 9);
  EXPECT_EQ(Text(frame, "X-").x, 250);
  ASSERT_NE(IconAt(frame, SharpIconsImage, 374, 104), nullptr);
  EXPECT_EQ(IconAt(frame, SharpIconsImage, 374, 104)->frame, 8);
  EXPECT_EQ(Text(frame, "Right").y, 80);
  EXPECT_EQ(IconAt(frame, SharpIconsImage, 324, 104), nullptr);

  // A cell lights up while its input is held, wherever the pointer is.
  HeadlessKey(KEY_UP, true);
  frame = Frame();
  ASSERT_NE(IconAt(frame, IconsImage, 324, 54), nullptr);
  EXPECT_EQ(IconAt(frame, IconsImage, 324, 54)->alpha, 1);
  HeadlessKey(KEY_UP, false);
  frame = Frame();
  ASSERT_NE(IconAt(frame, IconsImage, 324, 54), nullptr);
  EXPECT_EQ(IconAt(frame, IconsImage, 324, 54)->alpha, 0);
}

TEST_F(SettingsPanel, VolumeSlidersFollowTheDragAndSnapAtTheEnds) {
  OpenToRest();
  Point(1060, 98);  // Master: bar from x 998 at y 90
  Frame();
  EXPECT_EQ(Settings[SET_MASTER], 50) << "no change without the button held";
  HeadlessMouseButton(1, true);
  Frame();
  EXPECT_EQ(Settings[SET_MASTER], 62);
  EXPECT_NE(FindText(HeadlessLastFrame(), "Master Volume : 62"), nullptr);
  for (auto [x, want] : {std::pair{1001, 0}, {1003, 0}, {1004, 6}, {1090, 92}, {1093, 100}, {1096, 100}}) {
    Point(x, 98);
    Frame();
    EXPECT_EQ(Settings[SET_MASTER], want) << "pointer at " << x;
  }
  Point(1030, 148);
  Frame();
  EXPECT_EQ(Settings[SET_SOUND], 32);
  Point(1070, 198);
  Frame();
  EXPECT_EQ(Settings[SET_MUSIC], 72);
  HeadlessMouseButton(1, false);

  // Values from the settings file beyond 100 show once, then snap.
  Point(600, 500);
  Settings[SET_SOUND] = 150;
  const auto frame = Frame();
  EXPECT_NE(FindText(frame, "Sounds : 150"), nullptr);
  EXPECT_NE(IconAt(frame, SharpIconsImage, 1000 + 150 - 9 + 8, 140 + 12), nullptr) << "knob off the bar";
  EXPECT_EQ(Settings[SET_SOUND], 100);
  EXPECT_EQ(Settings[SET_MASTER], 100);
  // The knob of an absurd value is placed without overflowing.
  Settings[SET_MUSIC] = INT_MAX;
  SettingsMenu();
  EXPECT_EQ(Settings[SET_MUSIC], 100);
}

TEST_F(SettingsPanel, JoysticksShowButtonZeroAndAClickSwitchesThemOff) {
  HeadlessSetJoysticks(2);
  HeadlessJoySetup(0, "First Pad", 0xFFFF, true);
  HeadlessJoySetup(1, "Second Pad", 0xFFFF, true);
  DiscoverJoysticks();
  OpenToRest();
  HeadlessJoyButton(1, 0, true);
  auto frame = Frame();
  const DrawRecord* first = FindText(frame, "First Pad");
  const DrawRecord* second = FindText(frame, "Second Pad");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->y, 250);
  EXPECT_EQ(second->y, 265);
  EXPECT_EQ(first->b, 80);    // green
  EXPECT_EQ(second->r, 255);  // yellow while its button 0 is held
  EXPECT_EQ(second->b, 80);
  EXPECT_EQ(second->g, 255);

  Keys[30] = 380;  // player 2's jump: button 0 of joystick 2
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 2), 1);
  Point(1005, 268);
  Click();
  EXPECT_EQ(JoySlot[2].enabled, 0);
  EXPECT_EQ(JoySlot[1].enabled, 1);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 2), 0) << "a switched-off joystick holds nothing";
  frame = Frame();
  ASSERT_NE(FindText(frame, "Second Pad"), nullptr);
  EXPECT_FLOAT_EQ(Text(frame, "Second Pad").alpha, 0.2f);
  Click();
  EXPECT_EQ(JoySlot[2].enabled, 1);
  EXPECT_EQ(ControlDown(ACT_BUTTON1, 2), 1);
}

// By pad alone: Back opens the panel as Tab does; the d-pad moves a
// highlight over the cells (left and right change a highlighted volume), the
// bottom button clicks the cell, a switched-off pad can switch itself on, a
// binding cell takes the next input; Back closes the panel and saves.
TEST_F(SettingsPanel, APadWorksThePanel) {
  enum { A = 0, Y = 3, BACK = 8, UP = 12, DOWN = 13, LEFT = 14, RIGHT = 15 };  // the standard layout
  HeadlessSetJoysticks(1);
  HeadlessJoySetup(0, "Pad", 0xFFFF, true);
  DiscoverJoysticks();
  Point(600, 900);  // the pointer away from every cell
  const auto tap = [this](int button, int times = 1) {
    for (int i = 0; i < times; ++i) {
      HeadlessJoyButton(0, button, true);
      Frame();
      HeadlessJoyButton(0, button, false);
      Frame();
    }
  };
  tap(BACK);
  EXPECT_TRUE(SettingsOpen);
  EXPECT_TRUE(fs::exists(files / "Setup.ini"));
  const auto frame = Frames(11);
  // The highlight: a yellow frame round the first row, Fullscreen.
  bool lit = false;
  for (const DrawRecord& r : RectsOfSize(frame, 200 + 8, 3)) lit = lit || (r.x == 16 && r.y == 46 && r.b == 0);
  EXPECT_TRUE(lit);
  tap(A);
  EXPECT_EQ(Settings[SET_FULLSCREEN], 1);

  tap(RIGHT, 8);  // over player 1's and player 2's cells to the master volume
  tap(LEFT);
  EXPECT_EQ(Settings[SET_MASTER], 45);
  tap(DOWN, 2);
  tap(LEFT, 2);
  EXPECT_EQ(Settings[SET_MUSIC], 40);
  EXPECT_EQ(Settings[SET_MASTER], 45);
  tap(DOWN);  // the joystick list: off, and on again by itself
  tap(A);
  EXPECT_EQ(JoySlot[1].enabled, 0);
  tap(A);
  EXPECT_EQ(JoySlot[1].enabled, 1);

  tap(UP, 4);  // the audio back end's row, then player 2's jump cell
  tap(LEFT);
  tap(A);
  Frame();  // everything let go: the cell waits for the next input
  EXPECT_EQ(Keys[KeySlot(2, ACT_BUTTON1)], KEY_J);
  tap(DOWN);  // taken, and not also a step of the highlight
  EXPECT_EQ(Keys[KeySlot(2, ACT_BUTTON1)], 300 + 30 + DOWN);
  tap(A);
  Frame();
  tap(Y);
  EXPECT_EQ(Keys[KeySlot(2, ACT_BUTTON1)], 333);
  tap(BACK);
  EXPECT_FALSE(SettingsOpen);
  const std::string setup = ReadBytes(files / "Setup.ini");
  EXPECT_NE(setup.find("Music = 40\r\n"), std::string::npos) << setup;
  EXPECT_NE(setup.find("Fullscreen = True\r\n"), std::string::npos) << setup;
}

}  // namespace
