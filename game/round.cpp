// round.cpp — one game round: set-up, the frame loop with its scenery, the
// result texts and the one-player score record.
#include <cstdint>
#include <vector>

#include "game/game.h"
#include "game/replay.h"
#include "media/random.h"
#include "scores/scores.h"
#include "shell/shell.h"

DifficultyRow DifficultyTable[DIFFICULTY_TWO_PLAYER + 1] = {{7, 1, 8}, {5, 1, 5}, {4, 1, 3}, {8, 2, 10}};

namespace {

// An unknown difficulty plays as Easy rather than reading past the table.
const DifficultyRow& DifficultyRowFor(int difficulty) {
  return DifficultyTable[difficulty >= DIFFICULTY_EASY && difficulty <= DIFFICULTY_TWO_PLAYER ? difficulty
                                                                                              : DIFFICULTY_EASY];
}

// Both skies are strips of colour down to the ground, drawn as bands: one
// quad instead of hundreds of thin ones, a third of a round's frame to a
// software rasteriser.
void PlainSky(int W, int H) {
  ResetDrawState();
  std::vector<uint32_t> bands;
  double v = 80;
  for (int y = 0; y <= H - 128; y += 2) {
    v -= 0.05;
    if (y > H - 180) v -= 0.8;
    if (v < 0) v = 0;
    const int band = y % 60;
    if (band == 0) bands.push_back(BandColour(1.5 * v, 0.7 * v, 0));
    else if (band == 2 || band == 4 || band == 6) bands.push_back(BandColour(1.3 * v, 0.6 * v, 0));
    else if (band == 8) bands.push_back(BandColour(0.8 * v, 0.2 * v, 0));
    else bands.push_back(BandColour(v, v / 2, 0));
  }
  SetAlpha(1);
  DrawBands(bands, 0, 0, static_cast<float>(W), 2);
  ResetDrawState();
}

void ZavoredSky(int W, int H) {
  std::vector<uint32_t> bands;
  double v = 100;
  for (int y = 0; y <= H - 128; y += 6) {
    v += 1;
    if (v > 255) v = 255;
    bands.push_back(BandColour(0, 0.85 * v, v));
  }
  SetAlpha(static_cast<float>(ClampFloat(Round.fade, 0, 1)));
  DrawBands(bands, 0, 0, static_cast<float>(W), 6);
  ResetDrawState();
}

// The heroes walk in, stop past a quarter of the screen while the world
// changes into costume, then walk on to the middle.
void OpeningWalk(int W) {
  if (Round.walker >= W / 2) return;
  Round.walker += 4;
  if (Round.walker > W / 4) {
    Round.opening += 1;
    if (Round.opening == 16) PlaySfx(SFX_COSTUME, 1, 1, 0);
    if (Round.opening < 90) Round.walker -= 4;
  }
  if (Round.opening > 90) Round.opening = 90;
}

void CostumeBlocks(int W, int H) {
  for (int i = 0; i < 4; i++) {
    SetColorAlpha(255, 255, 255, Round.fade);
    if (Round.bump[i] > 0) {
      Round.bump[i] -= 1;
      Round.rest[i] = 420;
    }
    if (Round.rest[i] > 0) {
      Round.rest[i] -= 1;
      SetColorAlpha(255, 255, 255, 0.5);
    }
    DrawSprite(SceneryImage, i * (W / 4) + W / 12, H - 728 - Round.bump[i], SCENERY_CRYSTAL, SPRITE_IMAGE);
  }
}

// One text with a white outer and a dark inner outline, centred on its point.
void OutlinedText(const std::string& text, int x, int y, int r, int g, int b) {
  ResetDrawState();
  SetFont(Fonts[FONT_HEADLINE]);
  for (int dx = -3; dx <= 3; dx++) {
    for (int dy = -3; dy <= 3; dy++) {
      SetColorAlpha(255, 255, 255);
      DrawTextAligned(x + dx, y + dy, text, 1, 1);
    }
  }
  for (int dx = -2; dx <= 2; dx++) {
    for (int dy = -2; dy <= 2; dy++) {
      SetColorAlpha(8, 8, 8);
      DrawTextAligned(x + dx, y + dy, text, 1, 1);
    }
  }
  SetColorAlpha(r, g, b);
  DrawTextAligned(x, y, text, 1, 1);
}

}  // namespace

void StartRound() {
  const int W = VirtualWidth;
  SeedRnd(ReplaySeed());
  PlayerOne = nullptr;
  PlayerTwo = nullptr;
  Round = RoundState{};
  Round.r1 = Rand(64, W - 192);
  Round.r2 = Rand(64, W - 192);
  Round.r3 = Rand(64, W - 192);
  Round.r4 = Rand(64, W - 192);
  const DifficultyRow& row = DifficultyRowFor(Difficulty);
  const int birds = row.birds + (RoundWidescreen() ? 1 : 0);
  Round.players = row.heroes;

  PickupList.clear();
  BirdList.clear();
  for (int i = 1; i <= birds; i++) {
    ken b;
    b.x = Rand(100, W - 100);
    b.y = i / 2;
    b.d = Rand(0, 1);
    BirdList.push_back(b);
  }
  HeroList.clear();
  for (int p = 0; p < row.heroes; p++) {
    ayer h;
    h.MaxSpeed = 8;
    h.jumpability = 200;
    h.jumpspeed = 3.0;
    h.d = 1;
    h.Jumps = row.jumps;
    HeroList.push_back(h);
  }
  ReplayStartRound();
}

int RoundFrame() {
  const int W = VirtualWidth, H = VirtualHeight;
  ReplayBeginFrame();
  BeginFrame(1);
  if (FastReplay) SkipDrawing(true);  // a replay checked at full speed draws nothing
  ResetDrawState();
  Round.jumpsTotal = 0;
  Round.pickupsAlive = 0;
  Round.zavored = Round.opening % 30 < 15;

  if (Round.fade < 1) PlainSky(W, H);
  SetAlpha(1);
  if (Round.fade < 1) {
    DrawSprite(SceneryImage, Round.r4, H - 251, SCENERY_ROCK, SPRITE_IMAGE);
    DrawSprite(SceneryImage, Round.r3, H - 252, SCENERY_ROCK, SPRITE_IMAGE);
    DrawSprite(SceneryImage, Round.r2, H - 253, SCENERY_ROCK, SPRITE_IMAGE);
    DrawSprite(SceneryImage, Round.r1, H - 250, SCENERY_CACTUS, SPRITE_IMAGE);
    for (int i = 0; i < 4; i++) DrawSprite(SceneryImage, i * (W / 4) + W / 12, H - 728, SCENERY_BLOCK, SPRITE_IMAGE);
  }
  for (int j = 0; j <= W / 128 && Round.fade < 1; j++) {
    SetAlpha(1);
    DrawSprite(SceneryImage, 128 * j, H - 128, SCENERY_SAND + j % 4, SPRITE_IMAGE);
  }

  Round.fade = (Round.opening - 15) / 75.0;
  ResetDrawState();
  ZavoredSky(W, H);
  OpeningWalk(W);

  for (int j = 0; j <= W / 128; j++) {
    SetAlpha(static_cast<float>(Round.fade));
    DrawSprite(SceneryImage, 128 * j, H - 128, SCENERY_GRASS + j % 4, SPRITE_IMAGE);
  }
  SetAlpha(static_cast<float>(Round.fade));
  DrawSprite(SceneryImage, Round.r1, H - 256, SCENERY_TREE, SPRITE_IMAGE);
  DrawSprite(SceneryImage, Round.r3, H - 254, SCENERY_FLOWERS, SPRITE_IMAGE);
  CostumeBlocks(W, H);

  ResetDrawState();
  DrawSprite(SceneryImage, W / 4 - 64, H - 250, Round.walker < W / 4 ? SCENERY_SIGNPOST : SCENERY_BANNER, SPRITE_IMAGE);

  SetFont(Fonts[FONT_HUD]);
  HeroPass();
  ResetDrawState();
  BirdPass();
  ResetDrawState();
  SetDrawScale(1.1);
  BlockPass();
  ResetDrawState();
  PickupPass();

  SetDrawScale(1);
  ResetDrawState();
  SetAlpha(static_cast<float>(Round.fade));
  DrawSprite(SceneryImage, Round.r4, H - 252, SCENERY_FLOWERS, SPRITE_IMAGE);
  DrawSprite(SceneryImage, Round.r2, H - 250, SCENERY_FLOWERS, SPRITE_IMAGE);

  if (Rand(0, 20) == 1) {
    double volume = Rnd(-1, 1);
    double rate = Rnd(0.7, 1.1);
    int sfx = Rand(SFX_AMBIENT, SFX_AMBIENT + 4);
    PlaySfx(sfx, rate, volume, 0);
  }
  if (Round.pickupsAlive == 0 && Round.jumpsTotal == 0) Round.endState = ROUND_OVER;
  if (ReplayState == REPLAY_PLAYING && !FastReplay) DrawReplayBanner();
  // Checking a replay needs neither pacing nor a picture.
  const int32_t rngBefore = RndState();
  if (ReplayAfterFrame(rngBefore, FastReplay ? PAUSE_NONE : FinishFrame(0)) == PAUSE_QUIT) Round.endState = ROUND_QUIT;
  return Round.endState;
}

void ShowRoundResult() {
  const int W = VirtualWidth, H = VirtualHeight;
  PresentFrame(-1);
  OutlinedText("Game Over", W / 2, H / 2, 255, 255, 0);
  if (Round.players == 2 && PlayerOne && PlayerTwo) {
    if (PlayerOne->Score > PlayerTwo->Score) {
      OutlinedText("Player One Wins", W / 2 - 120, H / 2 + 120, 255, 0, 0);
    } else if (PlayerTwo->Score > PlayerOne->Score) {
      OutlinedText("Player Two Wins", W / 2 + 120, H / 2 + 120, 0, 80, 255);
    } else {
      OutlinedText("DRAW!", W / 2, H / 2 + 120, 0, 255, 0);
    }
  }
  PresentFrame(-1);
}

void FinishRound() {
  Delay(1500);
  if (Round.players == 2) Delay(2500);
  GameState = STATE_TITLE;
  if (Round.players != 1 || HeroList.empty()) {
    if (Round.players == 2) KeepTwoPlayerReplay(RecordedReplayBytes());
    return;
  }

  // On disk under the offered name before name entry, so that a prompt
  // never answered (the window or the page closed) still keeps the round.
  const ayer& hero = PlayerOne ? *PlayerOne : HeroList.front();
  Scores record;
  record.Score = hero.Score;
  record.Badges = 0;
  for (int i = 1; i <= 30; i++) record.Best[i] = hero.Best[i];
  record.Level = 0;
  record.GameMode = Difficulty;
  record.GameFlags = 0;
  record.Quit = Round.endState == ROUND_QUIT ? 1 : 0;
  KeepAwaitedScore(record, RecordedReplayBytes());  // naming it renames the replay too
  EnterName();
  NameAwaitedScore();  // on disk at once: a crash or a kill later costs nothing
}

int PlayRound() {
  StartRound();
  while (RoundFrame() == ROUND_RUNNING) {
  }
  ReplayRoundEnded();
  ShowRoundResult();
  FinishRound();
  return 0;
}
