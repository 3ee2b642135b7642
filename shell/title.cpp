// title.cpp — the title screen: background, credits panel, score table,
// prompt, difficulty menu and title picture, one frame at a time, and the
// hand-over to a round and back.
#include <cstdint>
#include <vector>

#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

// Local to one run of the title loop.
struct TitleState {
  int slide = 0;         // frames since (re)entering, capped at 32
  int startHeld = 0;     // start input as sampled this frame
  int inputLatch = 0;    // an input was acted on; cleared once nothing is held
  int backFromGame = 0;  // Escape still held from a round is ignored
  int quit = 0;
  int quitHeld = 0;  // frames a pad's B has been held; -1 until let go after a round
};

constexpr int kQuitHoldFrames = 60;  // B held this long leaves the game: never one stray press

const char* const kEntries[4] = {"Easy", "Medium", "Hard", "Two Player"};
const int kEntryDrop[4] = {200, 250, 300, 400};
const int kStartActions[6] = {ACT_UP, ACT_DOWN, ACT_BUTTON1, ACT_BUTTON2, ACT_BUTTON3, ACT_BUTTON4};

void DrawBackground(int W, int H) {
  std::vector<uint32_t> bands;
  double shade = 100.0;
  for (int y = 0; y <= H; y += 10) {
    shade += 1;
    if (shade > 255) shade = 255;
    if (y > H / 2 + 100) {
      bands.push_back(BandColour(shade / 4, shade, shade / 4));
      shade -= 2;
    } else {
      bands.push_back(BandColour(0, shade / 2, shade));
    }
  }
  DrawBands(bands, 0, 0, static_cast<float>(W), 10);
}

void DrawCredits(const TitleState& t, int H) {
  // Displays with bigger type get a wider panel for it.
  const bool wide = !BigType();
  const int width = wide ? 320 : 416;
  const int step = wide ? 10 : 13;
  const int shift = width - t.slide * step;
  SetColorAlpha(0, 0, 0, 0.6);
  DrawRect(static_cast<float>(10 - shift), static_cast<float>(H - 430), static_cast<float>(width), 422);
  SetColorAlpha(255, 255, 255, 1);
  for (int i = 1; i <= CreditsCount && i < 100; ++i)
    DrawTextAligned(width / 2 + 5 - shift, H - 428 + (i - 1) * 20, Credits[i], 1, 0);
}

bool AnyStartInput() {
  for (int p = 1; p <= 4; ++p)
    for (int a : kStartActions)
      if (ControlDown(a, p)) return true;
  return false;
}

void StartRound(TitleState& t) {
  GameState = STATE_ROUND;
  MoveMouse(ScreenWidth, ScreenHeight);  // out of the way of the round
  GameStartTime = Millisecs();
  if (Game.PlayRound) Game.PlayRound();
  GameState = STATE_TITLE;
  t.backFromGame = 1;
  t.inputLatch = 1;
  t.quitHeld = -1;
  t.slide = 0;
  GraphScroll = 0;
  PinnedItem = 0;
}

// A replay asked for by the score card, a dropped file or the command line.
void WatchRequestedReplay(TitleState& t) {
  const std::string file = ReplayRequest;
  ReplayRequest.clear();
  if (Game.WatchReplay) Game.WatchReplay(file);
  DoneWithDroppedFile(file);  // a page's copy of a dropped file goes
  t.backFromGame = 1;
  t.inputLatch = 1;
  t.quitHeld = -1;
  t.slide = 0;
}

int EntryY(int H, int k, int off) { return H / 2 + kEntryDrop[k] - off; }

// The prompts name the controls of the hand in use: touch, a pad or the keyboard.
std::string SettingsHint() {
  switch (InputHand()) {
    case HAND_TOUCH: return "Tap [Settings] for settings";
    case HAND_PAD:
      return "Press [" + PadName(PAD_BACK) + "] for settings, [" + PadName(PAD_LEFT_SHOULDER) + "] [" +
             PadName(PAD_RIGHT_SHOULDER) + "] for the records";
    default: return "Hit [Tab] for settings";
  }
}

std::string StartPrompt() {
  if (InputHand() == HAND_TOUCH) return "Tap Jump To Begin";
  return "Press Start (" + ControlName(ACT_BUTTON1, 1) + ") To Begin";
}

// Player 2 plays a second pad as it comes; without one, or keys, they need setting.
void PlayerTwoReminder(int W) {
  if (Difficulty != DIFFICULTY_TWO_PLAYER || Keys[KeySlot(2, ACT_LEFT)] != 0 || StandardPad(2)) return;
  const std::string text = InputHand() == HAND_PAD
                               ? "(Player 2 needs a second pad, or controls set with [" + PadName(PAD_BACK) + "]!)"
                               : "(Don't forget to set player 2's controls!)";
  DrawTextAligned(W - 10, 10, text, 2, 0);
}

// A pad's B held on the title counts down to leaving the game; let go, and
// the count starts over. A B still held from the round counts only once let go.
void PadQuit(TitleState& t, int W, int H) {
  if (!PadHeld(PAD_RIGHT_FACE)) {
    t.quitHeld = 0;
    return;
  }
  if (t.quitHeld < 0) return;
  if (++t.quitHeld >= kQuitHoldFrames) t.quit = 1;
  const int left = kQuitHoldFrames - t.quitHeld;  // frames, shown as seconds to a tenth
  const std::string seconds = Str(left / 60) + "." + Str(left % 60 * 10 / 60);
  const std::string text = "Leaving in " + seconds + " s : let go of [" + PadName(PAD_RIGHT_FACE) + "] to stay";
  SetFont(Fonts[FONT_PROMPT]);
  const float w = static_cast<float>(TextWidth(text) + 40), x = static_cast<float>(W / 2) - w / 2;
  SetColorAlpha(0, 0, 0, 0.7);
  DrawRect(x, static_cast<float>(H / 2 + 40), w, 66);
  SetColorAlpha(255, 255, 0, 1);
  DrawRect(x, static_cast<float>(H / 2 + 100), w * static_cast<float>(left) / kQuitHoldFrames, 6);  // the time left
  DrawTextAligned(W / 2, H / 2 + 70, text, 1, 1);
}

void DrawMenu(int W, int H, int off) {
  SetFont(Fonts[FONT_MENU]);
  for (int k = DIFFICULTY_EASY; k <= DIFFICULTY_TWO_PLAYER; ++k) {
    SetColorAlpha(255, 255, 255, k == Difficulty ? 1.0 : 0.5);
    DrawTextAligned(W / 2 - 100, EntryY(H, k, off), kEntries[k], 0, 0);
  }
}

// The left button held inside an entry chooses it.
void MenuMouse(int W, int H, int off) {
  for (int k = DIFFICULTY_EASY; k <= DIFFICULTY_TWO_PLAYER; ++k)
    if (MouseInRect(W / 2 - 100, EntryY(H, k, off), 200, 40) && MouseDown(1)) Difficulty = k;
}

void MenuKeys(TitleState& t) {
  if (t.inputLatch == 0 && (ControlDown(ACT_UP, 1) || ControlDown(ACT_UP, 2))) {
    t.inputLatch = 1;
    --Difficulty;
    if (Difficulty < DIFFICULTY_EASY || Difficulty > DIFFICULTY_TWO_PLAYER) Difficulty = DIFFICULTY_TWO_PLAYER;
  }
  if (t.inputLatch == 0 && (ControlDown(ACT_DOWN, 1) || ControlDown(ACT_DOWN, 2))) {
    t.inputLatch = 1;
    ++Difficulty;
    if (Difficulty > DIFFICULTY_TWO_PLAYER || Difficulty < DIFFICULTY_EASY) Difficulty = DIFFICULTY_EASY;
  }
}

}  // namespace

void TitleMenu() {
  TitleState t;
  for (;;) {
    const int W = VirtualWidth, H = VirtualHeight;
    // Entering elements sit 25 units further out per frame still to go.
    auto off = [&t] { return 800 - 25 * t.slide; };

    if (t.slide < 32) ++t.slide;

    // Input first, so that the frame drawn below already shows the answer.
    // Up and Down of players 1 and 2 latch before the start is checked, so
    // they move the choice and never start a round.
    t.startHeld = AnyStartInput() ? 1 : 0;
    if (t.startHeld == 0) t.inputLatch = 0;
    MenuMouse(W, H, off());
    MenuKeys(t);
    // Not while the settings panel is open or still on its way out.
    if (t.startHeld == 1 && t.inputLatch == 0 && SettingsSlide < -250) StartRound(t);

    BeginFrame(1);
    ResetDrawState();
    DrawBackground(W, H);
    ResetDrawState();

    DrawCredits(t, H);  // in the font the frame service left current
    DrawTextAligned(4, 4, SettingsHint(), 0, 0);
    RefreshScores();  // records another copy of the game saved show here too
    if (Difficulty != DIFFICULTY_TWO_PLAYER) ShowScoreTable(t.slide * 10, Difficulty, 0, 0);

    SetColorAlpha(255, 255, 255, 1);
    SetFont(Fonts[FONT_PROMPT]);
    DrawTextAligned(W / 2, H / 2 + off(), StartPrompt(), 1, 1);
    PlayerTwoReminder(W);
    DrawMenu(W, H, off());

    SetColorAlpha(255, 255, 255, 1);
    SetFont(Fonts[FONT_HEADLINE]);
    DrawTextAligned(W / 2, H / 2 - 300 - off(), GameTitle, 1, 1);
    const int picture = Game.TitlePicture ? Game.TitlePicture() : 0;
    DrawImage(picture, static_cast<float>(W / 2), static_cast<float>(H / 2 - 160 + off()), 0);
    PadQuit(t, W, H);

    FinishFrame(1);
    if (!ReplayRequest.empty()) WatchRequestedReplay(t);

    if (!KeyDown(KEY_ESCAPE)) t.backFromGame = 0;
    if (t.backFromGame == 0 && KeyDown(KEY_ESCAPE)) t.quit = 1;
    if (t.quit) CloseDown();
  }
}
