// The title screen, frame by frame: slide-in, credits panel, prompt, the
// difficulty menu by keys and mouse, starting a round and coming back, the
// latch on held inputs, and Escape.
#include "tests/unit/support.h"

using namespace support;

namespace {

int g_rounds = 0;
std::function<void()> g_inRound;  // what the stand-in round does

int FakeRound() {
  ++g_rounds;
  if (g_inRound) g_inRound();
  return 0;
}

class TitleScreen : public ShellTest {
 protected:
  int frameNo = 0;
  std::vector<DrawRecord> frame;
  // Called after every presented title frame with its number (from 1);
  // returns false to leave the screen.
  std::function<bool(int)> step;

  void SetUp() override {
    ShellTest::SetUp();
    OpenTestDisplay();
    FillCredits();
    g_rounds = 0;
    g_inRound = nullptr;
    Game.PlayRound = FakeRound;
  }

  // Runs the title screen until `step` answers false; true when it ended
  // that way rather than through the closing sequence.
  bool Run(int maxFrames = 2000) {
    HeadlessOnPresent([this, maxFrames] {
      if (GameState != 0) return;  // frames of a round are not title frames
      frame = HeadlessLastFrame();
      HeadlessClearDraws();
      ++frameNo;
      if (frameNo >= maxFrames || !step(frameNo)) throw StopScreen();
    });
    try {
      TitleMenu();
    } catch (const StopScreen&) {
      return true;
    } catch (const HeadlessExit&) {
      return false;
    }
    return false;
  }

  const DrawRecord* Text(const std::string& t) { return FindText(frame, t); }
  const DrawRecord* Rect(float w, float h) { return FindRect(frame, w, h); }
  static void Press(int code) { HeadlessKey(code, true); }
  static void Release(int code) { HeadlessKey(code, false); }
};

TEST_F(TitleScreen, SlidesInAndComesToRestAfter32Frames) {
  const int H = VirtualHeight, W = VirtualWidth;
  std::vector<float> panelX, easyY;
  step = [&](int n) {
    const DrawRecord* panel = Rect(416, 422);
    EXPECT_NE(panel, nullptr) << n;
    if (panel) panelX.push_back(panel->x);
    const DrawRecord* easy = Text("Easy");
    EXPECT_NE(easy, nullptr) << n;
    if (easy) easyY.push_back(easy->y);
    if (n == 1) {
      EXPECT_FLOAT_EQ(panel->y, H - 430.0f);
      EXPECT_FLOAT_EQ(panel->alpha, 0.6f);
      const DrawRecord* prompt = Text("Press Start (Z) To Begin");
      EXPECT_NE(prompt, nullptr);
      if (prompt) {
        EXPECT_FLOAT_EQ(prompt->y, static_cast<float>(H / 2 + 775 - TextHeight("Press Start (Z) To Begin") / 2));
      }
      EXPECT_FLOAT_EQ(easy->x, W / 2 - 100.0f);
    }
    if (n == 40) {
      const DrawRecord* credit = Text("A Game by Marrowby");
      EXPECT_NE(credit, nullptr);
      if (credit) {
        EXPECT_FLOAT_EQ(credit->y, H - 428.0f);
      }
      const DrawRecord* last = Text("No Harm Intended");
      EXPECT_NE(last, nullptr);
      if (last) {
        EXPECT_FLOAT_EQ(last->y, H - 428.0f + 18 * 20);
      }
      EXPECT_NE(Text("Hit [Tab] for settings"), nullptr);
      EXPECT_NE(Text("Wen Hod"), nullptr);
      EXPECT_EQ(Text("(Don't forget to set player 2's controls!)"), nullptr);
    }
    return n < 40;
  };
  ASSERT_TRUE(Run());
  ASSERT_EQ(panelX.size(), 40u);
  EXPECT_FLOAT_EQ(panelX[0], 10 - (416 - 13));  // 13 per frame below 900 pixels
  EXPECT_FLOAT_EQ(panelX[1], 10 - (416 - 26));
  EXPECT_FLOAT_EQ(panelX[31], 10);  // at rest after 32 frames
  EXPECT_FLOAT_EQ(panelX[39], 10);
  EXPECT_FLOAT_EQ(easyY[0], H / 2 + 200 - 775.0f);  // drops in from above
  EXPECT_FLOAT_EQ(easyY[31], H / 2 + 200.0f);
  EXPECT_FLOAT_EQ(easyY[39], H / 2 + 200.0f);
}

TEST_F(TitleScreen, WideDisplaysGetTheNarrowerPanel) {
  OpenTestDisplay(1024, 768);
  std::vector<float> xs;
  step = [&](int n) {
    const DrawRecord* panel = Rect(320, 422);
    EXPECT_NE(panel, nullptr);
    if (panel) xs.push_back(panel->x);
    return n < 33;
  };
  ASSERT_TRUE(Run());
  EXPECT_FLOAT_EQ(xs[0], 10 - (320 - 10));
  EXPECT_FLOAT_EQ(xs[31], 10);
}

TEST_F(TitleScreen, UpAndDownMoveTheChoiceOnceAndWrapAround) {
  std::vector<int> seen;
  // Frame by frame: what to press after that frame.
  step = [&](int n) {
    seen.push_back(Difficulty);
    switch (n) {
      case 2: Press(KEY_UP); break;     // Easy -> Two Player
      case 8: Release(KEY_UP); break;   // held 6 frames: one step only
      case 10: Press(KEY_DOWN); break;  // Two Player -> Easy
      case 12: Release(KEY_DOWN); break;
      case 14: Press(83); break;  // player 2's down (S): Easy -> Medium
      case 15:
        Release(83);
        Press(83);
        break;  // never released in between: no step
      case 17: Release(83); break;
      case 19: Press(87); break;  // player 2's up (W): Medium -> Easy
      case 20: Release(87); break;
      default: break;
    }
    return n < 24;
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(seen[1], 0);
  EXPECT_EQ(seen[2], 3);  // frame 3 acts on the press made after frame 2
  EXPECT_EQ(seen[8], 3);
  EXPECT_EQ(seen[11], 0);
  EXPECT_EQ(seen[15], 1);
  EXPECT_EQ(seen[17], 1);
  EXPECT_EQ(seen[23], 0);
  EXPECT_EQ(g_rounds, 0);  // up and down of players 1 and 2 never start a round
}

TEST_F(TitleScreen, TheMouseChoosesWithTheLeftButtonInsideAnEntry) {
  const int W = VirtualWidth, H = VirtualHeight;
  // Virtual to display pixels at 1280x960 on 800x600.
  auto move = [](float vx, float vy) { HeadlessMouseMove(vx * 800 / 1280, vy * 600 / 960); };
  step = [&](int n) {
    if (n == 40) {
      move(W / 2 - 50.0f, H / 2 + 300 + 20.0f);  // inside "Hard"
      HeadlessMouseButton(1, true);
    }
    if (n == 44) {
      EXPECT_EQ(Difficulty, 2);
      HeadlessMouseButton(1, false);
      move(W / 2 - 50.0f, H / 2 + 400 + 20.0f);  // over "Two Player", button up
    }
    if (n == 48) {
      EXPECT_EQ(Difficulty, 2);
      move(W / 2 - 50.0f, H / 2 + 250.0f);  // exactly on the top edge of "Medium"
    }
    if (n == 50) HeadlessMouseButton(1, true);  // once the sample has caught up
    if (n == 54) {
      EXPECT_EQ(Difficulty, 2);
      move(W / 2 - 50.0f, H / 2 + 400 + 20.0f);  // dragged onto "Two Player"
    }
    return n < 58;
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(Difficulty, 3);
  EXPECT_EQ(g_rounds, 0);
}

TEST_F(TitleScreen, StartingARoundAndAStartInputHeldFromIt) {
  int startedAt = 0;
  int clockAtStart = -1;
  g_inRound = [&] {
    EXPECT_EQ(GameState, 1);
    clockAtStart = GameStartTime;
    EXPECT_EQ(GameStartTime, Millisecs());
    startedAt = frameNo;
    HeadlessClearDraws();
  };
  std::vector<float> easyY;
  step = [&](int n) {
    if (const DrawRecord* easy = Text("Easy")) easyY.push_back(easy->y);
    if (n == 5) Press(KEY_Z);  // starts a round in frame 6, held through it and after it
    if (n == 30) Release(KEY_Z);
    if (n == 32) Press(KEY_Z);  // a fresh press starts the next one
    return n < 40;
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(g_rounds, 2);
  EXPECT_EQ(startedAt, 32);  // sampled on frame 33 and started there, before it was drawn
  EXPECT_GT(clockAtStart, 0);
  EXPECT_EQ(GameState, 0);
  // Back from the round the screen slides in again.
  ASSERT_GE(easyY.size(), 8u);
  EXPECT_FLOAT_EQ(easyY[5], VirtualHeight / 2 + 200 - 800.0f);  // frame 6: the round ran in it
  EXPECT_FLOAT_EQ(easyY[6], VirtualHeight / 2 + 200 - 775.0f);
}

TEST_F(TitleScreen, StartInputsOfEveryPlayerAndThePanelGuard) {
  Keys[40] = 73;  // player 3, action 0 (up): a start input, not a menu move
  Keys[31] = 75;  // player 2, action 11
  step = [&](int n) {
    if (n == 2) Press(73);
    if (n == 3) {
      EXPECT_EQ(g_rounds, 1);
    }  // the frame that reads the start starts the round
    if (n == 4) {
      EXPECT_EQ(g_rounds, 1);
      Release(73);
    }
    if (n == 6) Press(75);
    if (n == 8) {
      EXPECT_EQ(g_rounds, 2);
      Release(75);
    }
    // With the panel open a held start does nothing until the panel is away.
    if (n == 10) {
      SettingsOpen = 1;
    }
    if (n == 12) Press(KEY_Z);
    if (n == 30) {
      EXPECT_EQ(g_rounds, 2);
      SettingsOpen = 0;
    }
    return g_rounds < 3;
  };
  g_inRound = [] { EXPECT_LT(SettingsSlide, -250); };
  ASSERT_TRUE(Run(200));
  EXPECT_EQ(g_rounds, 3);
  EXPECT_EQ(Difficulty, 0);
}

// Played by touch: the prompts name what to touch, Down moves the choice,
// Jump starts, and the Settings control opens the panel as Tab does.
TEST_F(TitleScreen, ByTouchThePromptsNameTheControlsAndJumpStarts) {
  HeadlessTouchShown(true);
  step = [&](int n) {
    if (n == 2) {
      EXPECT_NE(Text("Tap Jump To Begin"), nullptr);
      EXPECT_NE(Text("Tap [Settings] for settings"), nullptr);
      EXPECT_EQ(Text("Hit [Tab] for settings"), nullptr);
      HeadlessTouch(TOUCH_SETTINGS, true);
    }
    if (n == 3) {
      EXPECT_EQ(SettingsOpen, 1);
      HeadlessTouch(TOUCH_SETTINGS, false);
      HeadlessTouch(TOUCH_SETTINGS, true);
    }
    if (n == 4) {
      EXPECT_EQ(SettingsOpen, 0);
      HeadlessTouch(TOUCH_SETTINGS, false);
    }
    if (n == 5) HeadlessTouch(TOUCH_DOWN, true);
    if (n == 7) {
      EXPECT_EQ(Difficulty, 1);
      HeadlessTouch(TOUCH_DOWN, false);
    }
    if (n == 40) HeadlessTouch(TOUCH_JUMP, true);
    return g_rounds == 0 && n < 100;
  };
  g_inRound = [] {  // Pause is offered in a round's frames only
    EXPECT_FALSE(HeadlessTouchOffered(TOUCH_PAUSE));
    FinishFrame(0);
    EXPECT_TRUE(HeadlessTouchOffered(TOUCH_PAUSE));
  };
  ASSERT_TRUE(Run(200));
  EXPECT_EQ(g_rounds, 1);
  EXPECT_EQ(Difficulty, 1);
  HeadlessTouchShown(false);
  step = [&](int) { return false; };
  frameNo = 0;
  ASSERT_TRUE(Run());
  EXPECT_NE(Text("Press Start (Z) To Begin"), nullptr);
  EXPECT_FALSE(HeadlessTouchOffered(TOUCH_PAUSE));
}

TEST_F(TitleScreen, EscapeHeldFromARoundDoesNotCloseButAFreshOneDoes) {
  OpenLog();
  g_inRound = [] { Press(KEY_ESCAPE); };
  int lastFrame = 0;
  step = [&](int n) {
    lastFrame = n;
    if (n == 3) Press(KEY_Z);
    if (n == 4) Release(KEY_Z);
    if (n == 20) Release(KEY_ESCAPE);
    if (n == 21) Press(KEY_ESCAPE);
    return true;
  };
  EXPECT_FALSE(Run(100));  // ended through the closing sequence
  EXPECT_EQ(g_rounds, 1);
  EXPECT_EQ(lastFrame, 21);  // Escape is read after the frame is presented
  const std::vector<std::string> log = CloseLog();
  EXPECT_TRUE(InOrder(log, {"Closing Up", "", "Bye!", "", "Play again, soon!!"}));
  EXPECT_EQ(log.back(), "Play again, soon!!");
  EXPECT_TRUE(fs::exists(files / "Setup.ini"));
}

TEST_F(TitleScreen, TwoPlayerRemindsOfUnboundControlsAtTheTopRight) {
  Difficulty = 3;
  Keys[23] = 0;
  step = [&](int n) {
    if (n == 2) {
      const std::string text = "(Don't forget to set player 2's controls!)";
      const DrawRecord* note = Text(text);
      EXPECT_NE(note, nullptr);
      if (note) {
        EXPECT_FLOAT_EQ(note->x, static_cast<float>(VirtualWidth - 10 - TextWidth(text)));
        EXPECT_FLOAT_EQ(note->y, 10);
      }
      Keys[23] = 65;
    }
    if (n == 4) {
      EXPECT_EQ(Text("(Don't forget to set player 2's controls!)"), nullptr);
    }
    return n < 4;
  };
  ASSERT_TRUE(Run());
}

// The prompts name the last hand's controls: the keyboard's, a pad's once
// one is pressed, the keyboard's again after a key. Player 2's reminder goes
// once they have a pad. A pad's B held a second leaves the game, counting
// down; let go early, it starts over.
TEST_F(TitleScreen, PromptsFollowTheLastHandAndBHeldASecondLeaves) {
  enum { B = 1, Y = 3 };  // the standard layout's buttons
  HeadlessSetJoysticks(1);
  DiscoverJoysticks();
  OpenLog();
  const std::string padHint = "Press [Back] for settings, [LB] [RB] for the records";
  const std::string reminder = "(Don't forget to set player 2's controls!)";
  int lastFrame = 0;
  std::vector<int> countdowns;  // frames showing the countdown
  step = [&](int n) {
    lastFrame = n;
    for (const DrawRecord& r : frame)
      if (r.kind == DrawRecord::TEXT && r.text.rfind("Leaving in ", 0) == 0) countdowns.push_back(n);
    switch (n) {
      case 2:
        EXPECT_NE(Text("Press Start (Z) To Begin"), nullptr);
        EXPECT_NE(Text("Hit [Tab] for settings"), nullptr);
        Difficulty = DIFFICULTY_TWO_PLAYER;
        Keys[KeySlot(2, ACT_LEFT)] = 0;
        HeadlessJoyButton(0, Y, true);  // a button with no use on the title
        break;
      case 3: HeadlessJoyButton(0, Y, false); break;
      case 4:
        EXPECT_NE(Text("Press Start (A) To Begin"), nullptr);
        EXPECT_NE(Text(padHint), nullptr);
        EXPECT_NE(Text("(Player 2 needs a second pad, or controls set with [Back]!)"), nullptr);
        TapKey(KEY_F1);
        break;
      case 6:
        EXPECT_NE(Text("Press Start (Z) To Begin"), nullptr);
        EXPECT_NE(Text(reminder), nullptr);
        HeadlessSetJoysticks(2);  // player 2's pad, found at the next frame
        break;
      case 8:
        EXPECT_EQ(Text(reminder), nullptr);
        HeadlessJoyButton(0, B, true);
        break;
      case 40:
        HeadlessJoyButton(0, B, false);  // let go early: nothing
        break;
      case 45: HeadlessJoyButton(0, B, true); break;
      default: break;
    }
    return true;
  };
  EXPECT_FALSE(Run(200));  // ended through the closing sequence
  EXPECT_EQ(lastFrame, 45 + 60);
  ASSERT_FALSE(countdowns.empty());
  EXPECT_EQ(countdowns.front(), 9);
  EXPECT_EQ(countdowns.size(), 32u + 60u);  // frames 9 to 40, then 46 to 105
  EXPECT_EQ(CloseLog().back(), "Play again, soon!!");
}

}  // namespace
