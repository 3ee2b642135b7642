// scoretable.cpp — the title screen's score panel for one group: a graph of
// recent rounds along the bottom, the 16 best scores above it, and a card for
// the record pointed at or pinned. Showing a group also thins it: records past
// its 50 newest that are not among its 25 best are dropped.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "media/media.h"
#include "scores/replays.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

constexpr int kGraphHeight = 150;
constexpr int kColumnStep = 18;
constexpr int kKeptNewest = 50;
constexpr int kRowsShown = 16;

// The card's replay hint for the hand in use.
std::string ReplayHint() {
  switch (InputHand()) {
    case HAND_TOUCH: return "Replay : tap here";
    case HAND_PAD: return "Replay : press [" + PadName(PAD_LEFT_FACE) + "]";
    default: return "Replay : press R or click here";
  }
}

// A pad steps through the group's rounds, newest first, as the graph's
// columns: the left shoulder or left to older ones, the right shoulder or
// right to newer; the first step pins the newest. The graph scrolls to keep
// the pinned column in view.
void StepByPad(int rounds) {
  const int older = (PadPressed(PAD_LEFT_SHOULDER) || PadRepeated(PAD_LEFT)) ? 1 : 0;
  const int newer = (PadPressed(PAD_RIGHT_SHOULDER) || PadRepeated(PAD_RIGHT)) ? 1 : 0;
  if (rounds <= 0 || older == newer) return;
  int k = PinnedItem >= 1 && PinnedItem <= rounds ? std::clamp(PinnedItem + older - newer, 1, rounds) : 1;
  PinnedItem = k;
  // Column k stands at L + 306 + GraphScroll - 18 (k - 1); in view from L - 13 to L + 306.
  const int least = kColumnStep * (k - 1) - 319, most = kColumnStep * (k - 1);
  while (GraphScroll < least && GraphScroll < 1000) GraphScroll += 8;
  while (GraphScroll > most && GraphScroll > 0) GraphScroll -= 8;
}

// Height of a record's point above the base line: score * 150 / highest,
// truncated, without overflow for any 64-bit score; kept within a range that
// is far off screen but safe for int coordinates.
int PointHeight(int64_t score, int64_t highest) {
  constexpr int64_t kLimit = 1000000;
  int64_t v;
  if (score >= -std::numeric_limits<int64_t>::max() / kGraphHeight &&
      score <= std::numeric_limits<int64_t>::max() / kGraphHeight) {
    v = score * kGraphHeight / highest;
  } else {
    const long double exact = static_cast<long double>(score) * kGraphHeight / static_cast<long double>(highest);
    v = exact > kLimit ? kLimit : exact < -kLimit ? -kLimit : static_cast<int64_t>(exact);
  }
  return static_cast<int>(std::clamp<int64_t>(v, -kLimit, kLimit));
}

bool InGroup(const Scores& s, int mode, int level, int flags) {
  return s.GameMode == mode && s.Level == level && s.GameFlags == flags;
}

void DrawCard(const Scores& s, int L, int B, bool replay) {
  SetColorAlpha(255, 255, 255, 0.6);
  DrawRect(static_cast<float>(L - 12), static_cast<float>(B - 566), 330, 140);
  SetFont(Fonts[FONT_MAIN]);
  SetColorAlpha(80, 80, 0, 1);
  DrawTextAligned(L - 6, B - 562, s.Name, 0, 0);
  SetColorAlpha(0, 0, 80, 1);
  DrawTextAligned(L + 314, B - 541, Str(s.Score), 2, 0);
  SetFont(Fonts[FONT_CARD]);
  SetColorAlpha(0, 80, 0, 1);
  DrawTextAligned(L - 6, B - 516, "Best Combo : " + ZeroPad(s.Best[2], 4), 0, 1);
  SetColorAlpha(0, 0, 0, 1);
  SetFont(Fonts[FONT_SMALL]);
  DrawTextAligned(L - 6, B - 430, DateText(s.Timestamp) + ", " + TimeText(s.Timestamp), 0, 2);
  if (replay) {
    SetColorAlpha(80, 0, 0, 1);
    DrawTextAligned(L + 314, B - 476, ReplayHint(), 2, 1);
  }
  SetDrawScale(0.28);
  SetColorAlpha(255, 255, 255);
  for (int n = 1; n <= BadgeCount && n <= 32; ++n) {
    SetAlpha(1);
    if ((static_cast<uint32_t>(s.Badges) >> (n - 1)) & 1u)
      DrawSprite(BadgesImage, L - 4 + 20 * (n - 1), B - 476, n - 1, SPRITE_IMAGE);
  }
  SetDrawScale(1);
}

}  // namespace

void ShowScoreTable(int offset, int mode, int level, int flags) {
  const int W = VirtualWidth, H = VirtualHeight;
  const int L = W - offset, B = H - 10;

  // Group pass: the highest score and the best list.
  int64_t highest = 0;
  for (const Scores& s : ScoreList)
    if (InGroup(s, mode, level, flags)) highest = std::max(highest, s.Score);
  if (highest == 0) highest = 1;
  const std::vector<Scores*> best = BestList(mode, level, flags);

  // Panel and the graph's base line.
  SetDrawScale(1);
  ResetDrawState();
  SetColorAlpha(0, 0, 0, 0.6);
  DrawRect(static_cast<float>(L - 8), static_cast<float>(B - 422), 322, 422);
  SetColorAlpha(0, 0, 80, 1);
  DrawLine(static_cast<float>(L - 8), static_cast<float>(B - kGraphHeight), static_cast<float>(W - 8),
           static_cast<float>(B - kGraphHeight));

  int rounds = 0;
  for (const Scores& s : ScoreList) rounds += InGroup(s, mode, level, flags) ? 1 : 0;
  StepByPad(rounds);

  // Graph: newest on the right, 18 units per round. Records to be thinned are
  // removed after drawing, so the card may still show one this frame.
  const Scores* selected = nullptr;
  std::vector<std::list<Scores>::iterator> thinned;
  int x = L + 306 + GraphScroll;
  int prevX = 0, prevY = 0;
  int k = 0;
  for (auto it = ScoreList.begin(); it != ScoreList.end(); ++it) {
    Scores& s = *it;
    if (!InGroup(s, mode, level, flags)) continue;
    ++k;
    if (k == PinnedItem && selected == nullptr) selected = &s;
    if (k > kKeptNewest && std::find(best.begin(), best.end(), &s) == best.end()) thinned.push_back(it);
    if (x <= L - 14) continue;

    const int v = PointHeight(s.Score, highest);
    const int y = B - v;
    SetColorAlpha(255 - v, 255, 80, 1);
    DrawSprite(IconsImage, x - 8, y - 8, ICON_SCORE_MARK, SPRITE_IMAGE);
    SetColorAlpha(255, 80 + v, 80, 1);
    if (prevY != 0) {
      DrawLine(static_cast<float>(x), static_cast<float>(y), static_cast<float>(prevX), static_cast<float>(prevY));
    }
    SetColorAlpha(0, 0, 0, 0.3);
    DrawLine(static_cast<float>(x - 9), static_cast<float>(B - kGraphHeight), static_cast<float>(x - 9),
             static_cast<float>(B - 1));
    prevX = x;
    prevY = y;
    if (MouseInRect(x - 9, B - kGraphHeight, 19, kGraphHeight)) {
      selected = &s;
      if (MouseDown(1)) PinnedItem = k;
    }
    if (selected == &s) {
      SetColorAlpha(255, 255, 255, 0.3);
      DrawRect(static_cast<float>(x - 9), static_cast<float>(B - kGraphHeight), 19, kGraphHeight);
    }
    x -= kColumnStep;
  }

  // Resting the pointer on the graph's left end slides older rounds in; on
  // its right end, back out.
  if (MouseInRect(L - 12, B - kGraphHeight, 32, kGraphHeight) && GraphScroll < 1000) GraphScroll += 8;
  if (MouseInRect(L + 270, B - kGraphHeight, 62, kGraphHeight) && GraphScroll > 0) GraphScroll -= 8;

  // Best list; entries past the 16th only protect records from thinning.
  SetFont(Fonts[FONT_SMALL]);
  for (int i = 1; i <= kRowsShown && i <= static_cast<int>(best.size()); ++i) {
    const Scores& s = *best[static_cast<size_t>(i - 1)];
    const int y = B - 426 + 17 * (i - 1);
    if (i + 1000 == PinnedItem && selected == nullptr) selected = &s;
    SetColorAlpha(255, 255, 255, 1);
    if (MouseInRect(L - 6, y, 320, 18)) {
      selected = &s;
      if (MouseDown(1)) PinnedItem = 1000 + i;
    }
    DrawTextAligned(L - 6, y, Left(s.Name, 24), 0, 0);
    DrawTextAligned(L + 314, y, ZeroPad(s.Score, 12), 2, 0);
    if (selected == &s) {
      SetColorAlpha(255, 255, 255, 0.3);
      DrawRect(static_cast<float>(L - 6), static_cast<float>(y), 320, 17);
    }
  }

  // R, a pad's X or a click on the card watches the record's replay. The key
  // is read every frame, so a press made elsewhere never counts here later.
  const bool asked = KeyHit(KEY_R) > 0 || PadPressed(PAD_LEFT_FACE);
  if (selected != nullptr) {
    const bool replay = HasReplay(*selected);
    DrawCard(*selected, L, B, replay);
    const bool clicked = MouseClick1 > 0 && MouseInRect(L - 12, B - 566, 330, 140);
    if (replay && (asked || clicked)) ReplayRequest = ReplayFileOf(*selected);
  }

  for (auto it : thinned) ScoreList.erase(it);
}
