// The name entry screen on the headless back end, frame by frame: typing,
// Backspace, no length limit, the bytes a name may hold, what it draws, and
// the keys and button that end the round not confirming it at once.
#include <functional>

#include "media/random.h"
#include "tests/unit/support.h"

using namespace support;

namespace {

class NameEntry : public ScoresTest {
 protected:
  int frames = 0;                  // frames presented by the screen
  std::vector<std::string> names;  // PlayerName after each frame, from frame 1
  std::vector<DrawRecord> lastFrame;
  std::vector<uint32_t> clockAtPresent;

  // Runs EnterName; `script` is called after each presented frame with its
  // number. Fails the test when the screen runs away.
  void Run(const std::function<void(int)>& script, int maxFrames = 200) {
    HeadlessOnPresent([&, maxFrames] {
      ++frames;
      names.push_back(PlayerName);
      lastFrame = HeadlessLastFrame();
      HeadlessClearDraws();
      clockAtPresent.push_back(static_cast<uint32_t>(Millisecs()));
      if (frames >= maxFrames) throw StopScreen();
      script(frames);
    });
    try {
      EnterName();
    } catch (const StopScreen&) {
      ADD_FAILURE() << "name entry still open after " << maxFrames << " frames";
    }
    HeadlessOnPresent(nullptr);
  }
};

TEST_F(NameEntry, TypedCharactersArriveOnePerFrameAndBackspaceRemovesTheLast) {
  std::vector<bool> fieldAsked;  // the host's text field, wanted while the name is edited
  Run([&](int n) {
    fieldAsked.push_back(HeadlessTextEntryOn());
    if (n == 1) {
      for (char c : std::string("ABCDEFGHIJ")) HeadlessType(c);  // one burst
    }
    if (n == 11) TapKey(KEY_BACKSPACE);
    if (n == 12) TapKey(KEY_ENTER);
  });
  ASSERT_EQ(frames, 13);
  EXPECT_EQ(names[0], "Player");
  for (int k = 1; k <= 10; k++) EXPECT_EQ(names[k], "Player" + std::string("ABCDEFGHIJ").substr(0, k)) << k;
  EXPECT_EQ(names[11], "PlayerABCDEFGHI");
  EXPECT_EQ(PlayerName, "PlayerABCDEFGHI");
  EXPECT_TRUE(fieldAsked.front());
  EXPECT_FALSE(fieldAsked.back());  // the confirming frame lets it go
  EXPECT_FALSE(HeadlessTextEntryOn());
}

TEST_F(NameEntry, BackspaceEmptiesTheNameAndThenDoesNothing) {
  Run([](int n) {
    if (n <= 7) TapKey(KEY_BACKSPACE);
    if (n == 8) TapKey(KEY_ENTER);
  });
  EXPECT_EQ(names[5], "P");
  EXPECT_EQ(names[6], "");
  EXPECT_EQ(names[7], "");
  EXPECT_EQ(PlayerName, "");  // an empty name is allowed
}

TEST_F(NameEntry, ANameHasNoLengthLimit) {
  PlayerName = "";
  const std::string name = "Wen Hod of the Varno Zavored, long named";  // 40 characters
  Run([&](int n) {
    if (n == 1)
      for (char c : name) HeadlessType(c);
    if (n == 50) TapKey(KEY_ENTER);
  });
  ASSERT_EQ(name.size(), 40u);
  EXPECT_EQ(PlayerName, name);
}

TEST_F(NameEntry, EveryCodeFrom32UpIsAddedThatTheScoreFileCanHold) {
  PlayerName = "";
  Run([](int n) {
    if (n == 1) {
      for (int c : {int{'|'}, 300, 9, 233, 127, 150, 159, 31, int{' '}, int{'z'}, 255, 256}) HeadlessType(c);
    }
    if (n == 15) TapKey(KEY_ENTER);
  });
  // "|" is kept as the broken bar; tab, 31 and codes above 255 are refused.
  EXPECT_EQ(PlayerName, "\xa6\xe9\x7f\x96\x9f z\xff");
}

TEST_F(NameEntry, DrawsThePromptAndTheCentredNameWithABlinkingCursor) {
  const int W = VirtualWidth, H = VirtualHeight;
  PlayerName = "Wen";
  std::vector<std::string> cursorSeen;
  std::vector<DrawRecord> frameTwo;
  Run([&](int n) {
    if (n >= 2) {
      // This frame was drawn at the clock of its own present: it is shown as
      // soon as it is drawn, and nothing costs time on the headless clock.
      const DrawRecord* prompt = nullptr;
      const DrawRecord* name = nullptr;
      for (const DrawRecord& r : lastFrame) {
        if (r.kind != DrawRecord::TEXT) continue;
        if (r.text == "Enter Your Name") prompt = &r;
        if (r.text.rfind("Wen", 0) == 0) name = &r;
      }
      ASSERT_NE(prompt, nullptr);
      ASSERT_NE(name, nullptr);
      SetFont(prompt->font);
      EXPECT_EQ(prompt->x, W / 2 - TextWidth("Enter Your Name") / 2);
      EXPECT_EQ(prompt->y, H / 2 - 100 - TextHeight("Enter Your Name") / 2);
      EXPECT_EQ(prompt->r, 0);
      EXPECT_EQ(prompt->g, 255);
      EXPECT_EQ(prompt->b, 0);
      SetFont(name->font);
      EXPECT_EQ(name->x, W / 2 - TextWidth("Wen") / 2);
      EXPECT_EQ(name->y, H / 2 - TextHeight(name->text) / 2);
      const bool on = clockAtPresent[static_cast<size_t>(n) - 1] % 600 < 300;
      EXPECT_EQ(name->text, on ? "Wen_" : "Wen ") << n;
      cursorSeen.push_back(name->text);
      if (n == 2) frameTwo = lastFrame;
    }
    if (n == 60) TapKey(KEY_ENTER);
  });
  EXPECT_NE(std::find(cursorSeen.begin(), cursorSeen.end(), "Wen_"), cursorSeen.end());
  EXPECT_NE(std::find(cursorSeen.begin(), cursorSeen.end(), "Wen "), cursorSeen.end());

  // The background: H / 10 + 1 diagonal bars shading from purple to blue.
  std::vector<DrawRecord> bars;
  for (const DrawRecord& r : frameTwo)
    if (r.kind == DrawRecord::RECT && r.rotation == -45) bars.push_back(r);
  ASSERT_EQ(bars.size(), static_cast<size_t>(H / 10 + 1));
  EXPECT_EQ(bars.front().x, -100);
  EXPECT_EQ(bars.front().w, W + 1800);
  EXPECT_EQ(bars.front().h, 30);
  EXPECT_EQ(bars.back().y, 3 * (H / 10) * 10);
  EXPECT_EQ(bars.front().r, 49);
  EXPECT_EQ(bars.front().b, 50);
  EXPECT_EQ(bars.back().r, 1);
  EXPECT_EQ(bars.back().b, 98);
}

TEST_F(NameEntry, KeysHeldFromTheRoundDoNotConfirmAtOnce) {
  // Escape still held and an Enter press not yet read when the round ends.
  HeadlessKey(KEY_ESCAPE, true);
  TapKey(KEY_ENTER);
  HeadlessType('q');
  int idle = 0;  // sleeps since the last frame: a wait that never ends fails instead of hanging
  HeadlessOnDelay([&] {
    if (++idle > 10000) throw StopScreen();
  });
  Run([&](int n) {
    idle = 0;
    if (n == 1) HeadlessKey(KEY_ESCAPE, false);
    if (n == 5) TapKey(KEY_ENTER);
  });
  EXPECT_EQ(frames, 6);
  EXPECT_EQ(PlayerName, "Player");  // the typed queue was cleared too
}

// With only a pad at hand: Start confirms, once the one held from the round is let go.
TEST_F(NameEntry, StartOfAPadConfirmsAfterItsRelease) {
  HeadlessSetJoysticks(1);
  DiscoverJoysticks();
  HeadlessJoyButton(0, 9, true);
  int idle = 0;
  HeadlessOnDelay([&] {
    if (++idle == 50 || idle == 150) HeadlessJoyButton(0, 9, false);  // frames set idle to 100
    if (idle > 10000) throw StopScreen();
  });
  Run([&](int n) {
    idle = 100;
    if (n == 3) HeadlessJoyButton(0, 9, true);
  });
  EXPECT_EQ(frames, 4);
}

TEST_F(NameEntry, HeldButtonWaitsForReleaseBeforeAndAfter) {
  HeadlessMouseButton(1, true);
  const int before = HeadlessPresentCount();
  int delays = 0, framesAtRelease = -1, afterConfirm = -1;
  HeadlessOnDelay([&] {
    ++delays;
    if (delays == 100 && framesAtRelease < 0) {
      framesAtRelease = HeadlessPresentCount() - before;
      HeadlessMouseButton(1, false);
    }
    if (afterConfirm >= 0 && ++afterConfirm == 30) HeadlessMouseButton(1, false);
  });
  Run([&](int n) {
    if (n == 3) HeadlessMouseButton(1, true);  // a click confirms, and is held
    if (n == 4) afterConfirm = 0;
  });
  EXPECT_EQ(framesAtRelease, 0);  // nothing drawn while waiting
  EXPECT_EQ(frames, 4);
  EXPECT_EQ(afterConfirm, 30);  // returned only once the button was up
  EXPECT_FALSE(MouseDown(1));
}

TEST_F(NameEntry, EscapeConfirmsAndTheRandomGeneratorIsReseeded) {
  int afterConfirm = -1;
  HeadlessOnDelay([&] {
    if (afterConfirm >= 0 && ++afterConfirm == 20) HeadlessKey(KEY_ESCAPE, false);
  });
  SeedRnd(1);
  Run([&](int n) {
    if (n == 1) HeadlessType('!');
    if (n == 2) HeadlessKey(KEY_ESCAPE, true);
    if (n == 3) afterConfirm = 0;
  });
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(afterConfirm, 20);
  EXPECT_EQ(PlayerName, "Player!");
  // Seeded from the clock as the confirming frame ends (its present, then
  // its 15 ms to the next frame), before the wait for release.
  const int32_t state = RndState();
  SeedRnd(static_cast<int32_t>(clockAtPresent[2] + 15));
  EXPECT_EQ(state, RndState());
  EXPECT_NE(state, [] {
    SeedRnd(1);
    return RndState();
  }());
}

// The on-screen keyboard by itself: moves wrap round, a wide key is one
// step, up and down keep the column; the case key, delete and done; what it
// types goes by the typed name's rules (no length limit).
TEST(OnScreenKeys, MovesTypingDeleteAndDone) {
  OnScreenKeyboard k;
  const auto key = [&k] { return OnScreenKeyAt(k.row, k.col); };
  EXPECT_EQ(key(), 'A');
  MoveOnScreenKeys(k, -1, 0);
  EXPECT_EQ(key(), 'J');  // round to the row's other end
  MoveOnScreenKeys(k, 0, -2);
  EXPECT_LT(key(), 0);  // past the digits to the bottom row: done, under J
  MoveOnScreenKeys(k, -1, 0);
  EXPECT_LT(key(), 0);  // delete
  MoveOnScreenKeys(k, -1, 0);
  EXPECT_EQ(key(), ' ');  // the wide space, one step
  EXPECT_EQ(k.col, 5);
  MoveOnScreenKeys(k, -1, 0);
  MoveOnScreenKeys(k, 0, -1);
  EXPECT_EQ(key(), 'V');  // above the case key's last cell
  MoveOnScreenKeys(k, 0, 1);

  std::string name = "Wen";
  EXPECT_FALSE(PressOnScreenKey(k, name));  // the case key: lower case letters
  MoveOnScreenKeys(k, 0, -2);               // L
  EXPECT_FALSE(PressOnScreenKey(k, name));
  MoveOnScreenKeys(k, 0, -2);  // 2
  EXPECT_FALSE(PressOnScreenKey(k, name));
  EXPECT_EQ(name, "Wenl2");
  k.row = 4;
  k.col = 7;  // delete, then done
  EXPECT_FALSE(PressOnScreenKey(k, name));
  EXPECT_EQ(name, "Wenl");
  for (int i = 0; i < 10; ++i) PressOnScreenKey(k, name);
  EXPECT_EQ(name, "");
  k.col = 2;  // space
  for (int i = 0; i < 40; ++i) PressOnScreenKey(k, name);
  EXPECT_EQ(name, std::string(40, ' '));
  k.col = 9;
  EXPECT_TRUE(PressOnScreenKey(k, name));
  EXPECT_EQ(name.size(), 40u);

  std::string typed;
  EXPECT_TRUE(AddNameCharacter(typed, '|'));
  EXPECT_FALSE(AddNameCharacter(typed, 300));
  EXPECT_FALSE(AddNameCharacter(typed, 31));
  EXPECT_EQ(typed, "\xa6");
}

// A pad used last brings up the keyboard: the d-pad moves it (held, it
// repeats), A types, B deletes, done confirms. A key typed alongside still
// counts and hides the keyboard; the pad press that brings it back only
// shows it.
TEST_F(NameEntry, APadTypesOnTheOnScreenKeyboard) {
  enum { A = 0, B = 1, DOWN = 13, RIGHT = 15 };  // the standard layout's buttons
  HeadlessSetJoysticks(1);
  DiscoverJoysticks();
  Pads.hand = HAND_PAD;
  PlayerName = "Wen";
  std::vector<bool> keysDrawn;
  const auto press = [](int button, bool down) { HeadlessJoyButton(0, button, down); };
  Run([&](int n) {
    keysDrawn.push_back(FindText(lastFrame, "Done") != nullptr);
    switch (n) {
      case 1: press(B, true); break;  // deletes at frame 2
      case 2: press(B, false); break;
      case 3: press(DOWN, true); break;  // K
      case 4: press(DOWN, false); break;
      case 5: press(A, true); break;  // types K
      case 6: press(A, false); break;
      case 7: press(RIGHT, true); break;  // L at once, M and N as it repeats
      case 37: press(RIGHT, false); break;
      case 38: press(A, true); break;  // types N
      case 39: press(A, false); break;
      case 40:
        HeadlessType('z');
        TapKey(KEY_Z);
        break;
      case 41: press(A, true); break;  // shows the keyboard again, types nothing
      case 42: press(A, false); break;
      case 43: press(DOWN, true); break;  // the bottom row's space
      case 44: press(DOWN, false); break;
      case 45: press(DOWN, true); break;
      case 46: press(DOWN, false); break;
      case 47: press(RIGHT, true); break;  // delete
      case 48: press(RIGHT, false); break;
      case 49: press(RIGHT, true); break;  // done
      case 50: press(RIGHT, false); break;
      case 51: press(A, true); break;
      default: break;
    }
  });
  EXPECT_EQ(frames, 52);
  EXPECT_EQ(names[1], "We");
  EXPECT_EQ(names[5], "WeK");
  EXPECT_EQ(names[37], "WeK");
  EXPECT_EQ(names[38], "WeKN");
  EXPECT_EQ(PlayerName, "WeKNz");
  EXPECT_TRUE(keysDrawn[1] && keysDrawn[39]);
  EXPECT_FALSE(keysDrawn[40]);  // the key hid it
  EXPECT_TRUE(keysDrawn[41]);
}

}  // namespace
