// scripted.h — rounds played by a scripted player through the real round on
// the headless back end, with the real keys, so each is recorded as any round
// is. Used to make the golden replays (make_replays.cpp) and by the tests.
//
// The player holds jump and runs for the nearest pickup it may catch, else,
// high enough, for a block, else for a walking bird (player two for the farthest); a script may pause the round
// at a frame and continue or quit from the pause menu.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/replay.h"
#include "media/headless/headless.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace scripted {

struct Script {
  std::string name;
  int difficulty = DIFFICULTY_EASY;
  uint32_t clock = 1000;  // the clock at the start, which seeds the round
  bool widescreen = false;
  int pauseAt = -1;          // frame at which Escape opens the pause menu (-1: never)
  bool quitAtPause = false;  // Quit rather than Continue
  int wander = 0;            // frames between changes of mind (0: never wanders)
};

struct Played {
  Replay replay;       // as the round recorded itself
  int caught[6] = {};  // pickups caught, by kind
  int bestCombo = 0;
};

constexpr int kMaxFrames = 60 * 60 * 10;  // a round longer than ten minutes is cut

// A fresh program on the headless back end with the staged art loaded, the
// player's files under playerRoot; false when the art is not staged.
inline bool SetUpProgram(const std::string& dataRoot, const std::string& playerRoot) {
  UseHeadlessBackend();
  HeadlessReset();
  ResetGlobals();
  SetDefaultKeys();
  SpriteLimit[1] = SpriteLimit[2] = SpriteLimit[3] = 1000;
  OpenDisplay(1280, 960, 0, 60, 0);
  SetFileRoots(dataRoot, playerRoot);
  AutoMidHandle(true);
  LoadGameImages();
  return HeroImage && BirdImage && SceneryImage && GetsImage;
}

// Where the player wants to go: rising high, under a block that is not
// resting; else a pickup it may catch close by; else a walking bird, to
// bounce on (player two: the farthest).
inline double Target(const ayer& hero, bool farthest) {
  double best = hero.x, bestDistance = 1e9;
  auto consider = [&](double x, double limit) {
    const double d = std::fabs(x - hero.x);
    if (d < limit && d < bestDistance) bestDistance = d, best = x;
  };
  if (hero.jumphigh >= 400 && hero.jump > 0 && hero.jump < 90) {
    const int W = VirtualWidth;
    for (int i = 0; i < 4; ++i)
      if (Round.rest[i] == 0) consider(i * (W / 4) + W / 12 + 64, 1e9);
    if (bestDistance < 1e9) return best;
  }
  for (const kup& p : PickupList)
    if (p.notyet == 0) consider(p.x, 240);
  if (bestDistance < 1e9) return best;
  double far = -1;
  for (const ken& b : BirdList) {
    if (b.mash > 0) continue;
    const double d = std::fabs(b.x + 64 - hero.x);
    if (farthest ? d > far : d < bestDistance) {
      far = d;
      bestDistance = d;
      best = b.x + 64;
    }
  }
  return best;
}

inline void Steer(int frame, int wander) {
  const int keys[2][3] = {{KEY_Z, KEY_LEFT, KEY_RIGHT}, {KEY_J, KEY_A, KEY_D}};
  int k = 0;
  for (const ayer& h : HeroList) {
    if (k > 1) break;
    // Now and then the player lets go of everything for a while.
    const bool resting = wander > 0 && (frame / wander) % 4 == 3;
    const double x = Target(h, k == 1);
    HeadlessKey(keys[k][0], !resting);
    HeadlessKey(keys[k][1], !resting && x < h.x - 12);
    HeadlessKey(keys[k][2], !resting && x > h.x + 12);
    ++k;
  }
}

inline void LetGo() {
  for (int key : {KEY_Z, KEY_LEFT, KEY_RIGHT, KEY_J, KEY_A, KEY_D, KEY_ESCAPE, KEY_DOWN}) HeadlessKey(key, false);
}

// Plays one script to its end; the drawing area and widescreen setting as the script says.
inline Played Play(const Script& s) {
  Played out;
  HeadlessSetClock(s.clock);
  Settings[SET_WIDESCREEN] = s.widescreen ? 1 : 0;
  VirtualWidth = s.widescreen ? 1600 : 1280;
  VirtualHeight = s.widescreen ? 900 : 960;
  SetVirtualResolution(static_cast<float>(VirtualWidth), static_cast<float>(VirtualHeight));
  Difficulty = s.difficulty;
  GameState = STATE_ROUND;

  // The pause: Escape let go once the menu shows (a frame's wait after the
  // press), nine menu frames, Down for Quit if asked, then Escape again, held
  // past the end of that frame and let go on the way out: the menu ends 150 ms
  // after the press, as the golden replays were made.
  int stage = 0, menuFrames = 0;
  uint32_t pressedAt = 0;
  HeadlessOnDelay([&] {
    if (GameState != STATE_PAUSED || (stage != 1 && stage != 3)) return;
    if (stage == 3 && Millisecs() - pressedAt < 20) return;
    HeadlessKey(KEY_ESCAPE, false);
    HeadlessKey(KEY_DOWN, false);
    ++stage;
  });
  HeadlessOnPresent([&] {
    if ((stage != 1 && stage != 2) || GameState != STATE_PAUSED) return;
    ++menuFrames;  // from the menu's first frame, shown while Escape is still held
    if (menuFrames == 5 && s.quitAtPause) HeadlessKey(KEY_DOWN, true);
    if (menuFrames == 6) HeadlessKey(KEY_DOWN, false);
    if (menuFrames == 9) {
      HeadlessKey(KEY_ESCAPE, true);
      pressedAt = Millisecs();
      stage = 3;
    }
  });

  StartRound();
  for (int frame = 0; frame < kMaxFrames; ++frame) {
    Steer(frame, s.wander);
    if (frame == s.pauseAt) {
      LetGo();
      HeadlessKey(KEY_ESCAPE, true);
      stage = 1;
    }
    // Pickups that leave the list while they still had time to live were caught.
    struct Flying {
      const kup* p;
      int kind, t;
    };
    std::vector<Flying> before;
    for (const kup& p : PickupList) before.push_back({&p, p.n, p.t});
    const int end = RoundFrame();
    for (const Flying& f : before) {
      bool there = false;
      for (const kup& q : PickupList) there = there || &q == f.p;
      if (!there && f.t > 1 && f.kind >= 0 && f.kind < 6) ++out.caught[f.kind];
    }
    for (const ayer& h : HeroList) out.bestCombo = std::max(out.bestCombo, h.Best[2]);
    if (end != ROUND_RUNNING) break;
  }
  ReplayRoundEnded();
  LetGo();
  HeadlessOnDelay(nullptr);
  HeadlessOnPresent(nullptr);
  GameState = STATE_TITLE;
  out.replay = RecordedReplay;
  return out;
}

}  // namespace scripted
