// replay.cpp — recording every round as it is played, and playing a replay
// back through the real round: watched at normal speed with a banner, or
// checked at full speed.
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "game/replay.h"
#include "media/random.h"
#include "scores/replays.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

const char* const kReplayMismatch = "This replay does not match this version of the game";

ReplayMode ReplayState = REPLAY_OFF;
Replay RecordedReplay;
bool FastReplay = false;

namespace {

// The replay being played and where it stands.
struct Cursor {
  const Replay* replay = nullptr;
  size_t run = 0;        // the run in use
  uint32_t runLeft = 0;  // frames left in it
  size_t event = 0;      // the next event
  uint8_t input = 0;     // this frame's held actions
};
Cursor Play;
uint32_t FrameCount = 0;            // frames of the round so far
uint8_t PendingInput = 0;           // held actions read this frame, while recording
int32_t RoundSeed = 0;              // the seed the round in play started from
int LastWidth = 0, LastHeight = 0;  // the drawing area as last recorded
uint64_t PathHash = 0;              // the heroes and the generator, frame by frame

constexpr int kStopActions[2] = {ACT_BUTTON1, ACT_BUTTON2};

void HashBytes(uint64_t& h, const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    h ^= p[i];
    h *= 1099511628211ull;  // FNV-1a
  }
}
void HashInt(uint64_t& h, int64_t v) { HashBytes(h, &v, sizeof v); }
void HashReal(uint64_t& h, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  HashBytes(h, &bits, sizeof bits);
}

void Record(uint8_t input) {
  std::vector<ReplayRun>& runs = RecordedReplay.runs;
  if (!runs.empty() && runs.back().input == input) ++runs.back().frames;
  else runs.push_back({input, 1});
}

bool ViewerInputHeld() {
  if (KeyDown(KEY_ESCAPE)) return true;
  for (int player = 1; player <= 4; ++player)
    for (int action : kStopActions)
      if (ControlDown(action, player)) return true;
  return false;
}

// The drawing area a replay was made in, for as long as it plays.
void UseDrawingArea(int width, int height) {
  if (VirtualWidth == width && VirtualHeight == height) return;
  VirtualWidth = width;
  VirtualHeight = height;
  if (!FastReplay) SetVirtualResolution(static_cast<float>(width), static_cast<float>(height));
}

// What playing a replay changes for its length; the settings themselves are
// never touched, so closing the window meanwhile saves the player's own.
struct SavedSettings {
  int difficulty = Difficulty, width = VirtualWidth, height = VirtualHeight, gameState = GameState;
  int32_t rng = RndState();
  ~SavedSettings() {
    Difficulty = difficulty;
    UseDrawingArea(width, height);
    GameState = gameState;
    SeedRnd(rng);
  }
};

void ShowMismatch() {
  ResetDrawState();
  SetFont(Fonts[FONT_PROMPT]);
  SetColorAlpha(255, 80, 80, 1);
  DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 + 200, kReplayMismatch, 1, 1);
  PresentFrame(-1);
}

// Plays the replay through StartRound and RoundFrame; `watch` lets the viewer
// stop it and shows the result.
ReplayOutcome PlayBack(const Replay& replay, bool watch, uint64_t* endHash) {
  SavedSettings saved;
  Difficulty = replay.difficulty;
  UseDrawingArea(replay.width, replay.height);
  GameState = STATE_TITLE;  // the pause menu stays shut: Escape stops watching instead
  Play = Cursor{};
  Play.replay = &replay;
  ReplayState = REPLAY_PLAYING;

  StartRound();
  bool stopped = false, latched = watch && ViewerInputHeld();
  int end = ROUND_RUNNING;
  while (FrameCount < replay.frames) {
    end = RoundFrame();
    if (end != ROUND_RUNNING) break;
    if (!watch) continue;
    const bool held = ViewerInputHeld();
    if (held && !latched) {
      stopped = true;
      break;
    }
    if (!held) latched = false;
  }
  const uint64_t hash = EndStateHash();
  if (endHash) *endHash = hash;
  const bool sameScores =
      (PlayerOne ? PlayerOne->Score : 0) == replay.scores[0] && (PlayerTwo ? PlayerTwo->Score : 0) == replay.scores[1];
  const bool same =
      !stopped && end == replay.endState && FrameCount == replay.frames && hash == replay.endHash && sameScores;
  ReplayState = REPLAY_OFF;
  Play = Cursor{};
  if (watch && !stopped) {
    ShowRoundResult();
    if (!same) ShowMismatch();
    Delay(Round.players == 2 ? 4000 : 1500);
  }
  if (stopped) return REPLAY_STOPPED;
  return same ? REPLAY_MATCHED : REPLAY_DIFFERED;
}

}  // namespace

// Two rounds can part and meet again (a jump more that scores nothing): the
// heroes are hashed every frame, so the end says whether the way was the same.
void HashFrame() {
  uint64_t& h = PathHash;
  HashInt(h, RndState());
  for (const ayer& a : HeroList) {
    HashReal(h, a.x);
    HashReal(h, a.jump);
    for (int v : {a.jumphigh, a.Score, a.combo, a.Jumps}) HashInt(h, v);
  }
}

uint64_t EndStateHash() {
  uint64_t h = PathHash;
  HashInt(h, RndState());
  for (int v : {Round.players, Round.walker, Round.opening, Round.r1, Round.r2, Round.r3, Round.r4, Round.arcLimit,
                Round.endState})
    HashInt(h, v);
  HashReal(h, Round.fade);
  for (int i = 0; i < 4; ++i) {
    HashInt(h, Round.bump[i]);
    HashInt(h, Round.rest[i]);
  }
  for (const ayer& a : HeroList) {
    for (double v : {a.x, a.y, a.xs, a.jump, a.jumpspeed}) HashReal(h, v);
    for (int v : {a.stp, a.jumphigh, a.jumpability, a.d, a.MaxSpeed, a.Score, a.Best[1], a.Best[2], a.combo, a.Jumps,
                  a.ComboLock, a.Floaty})
      HashInt(h, v);
  }
  for (const ken& b : BirdList)
    for (int v : {b.x, b.y, b.g, b.d, b.mash, b.anim}) HashInt(h, v);
  for (const kup& p : PickupList) {
    for (int v : {p.notyet, p.n, p.t}) HashInt(h, v);
    for (double v : {p.x, p.d, p.ang, p.rot, p.rotgo}) HashReal(h, v);
  }
  return h;
}

bool RoundWidescreen() {
  if (ReplayState == REPLAY_PLAYING && Play.replay) return Play.replay->widescreen == 1;
  return Settings[SET_WIDESCREEN] == 1;
}

int32_t ReplaySeed() {
  RoundSeed = ReplayState == REPLAY_PLAYING && Play.replay ? Play.replay->seed : Millisecs();
  return RoundSeed;
}

void ReplayStartRound() {
  FrameCount = 0;
  PathHash = 14695981039346656037ull;
  PendingInput = 0;
  if (ReplayState == REPLAY_PLAYING) return;
  ReplayState = REPLAY_RECORDING;
  Replay& r = RecordedReplay;
  r = Replay{};
  const bool known = Difficulty >= DIFFICULTY_EASY && Difficulty <= DIFFICULTY_TWO_PLAYER;
  r.difficulty = static_cast<uint8_t>(known ? Difficulty : DIFFICULTY_EASY);  // as the round plays it
  r.widescreen = Settings[SET_WIDESCREEN] == 1 ? 1 : 0;
  r.slowSystem = Settings[SET_SLOWSYSTEM] != 0 ? 1 : 0;
  r.width = static_cast<uint16_t>(VirtualWidth);
  r.height = static_cast<uint16_t>(VirtualHeight);
  r.seed = RoundSeed;
  r.spriteLimit = SpriteLimit[SPRITE_IMAGE];
  LastWidth = VirtualWidth;
  LastHeight = VirtualHeight;
}

void ReplayBeginFrame() {
  PendingInput = 0;
  if (ReplayState != REPLAY_PLAYING) return;
  if (Play.runLeft == 0 && Play.run < Play.replay->runs.size()) {
    Play.input = Play.replay->runs[Play.run].input;
    Play.runLeft = Play.replay->runs[Play.run].frames;
    ++Play.run;
  }
  if (Play.runLeft > 0) --Play.runLeft;
  else Play.input = 0;
}

int HeldActions(int player) {
  const int shift = kReplayPlayerShift * (player - 1);
  if (ReplayState == REPLAY_PLAYING) return (Play.input >> shift) & 7;
  int held = 0;
  if (ControlDown(ACT_BUTTON1, player) || ControlDown(ACT_UP, player)) held |= INPUT_JUMP;  // both jump
  if (ControlDown(ACT_LEFT, player)) held |= INPUT_LEFT;
  if (ControlDown(ACT_RIGHT, player)) held |= INPUT_RIGHT;
  if (ReplayState == REPLAY_RECORDING && player >= 1 && player <= 2)
    PendingInput = static_cast<uint8_t>(PendingInput | held << shift);
  return held;
}

int ReplayAfterFrame(int32_t rngBefore, int answer) {
  const uint32_t frame = FrameCount++;
  if (ReplayState == REPLAY_RECORDING) {
    Record(PendingInput);
    PendingInput = 0;
    const bool quit = answer == PAUSE_QUIT;
    const bool resized = VirtualWidth != LastWidth || VirtualHeight != LastHeight;
    if (quit || resized || RndState() != rngBefore) {
      LastWidth = VirtualWidth;
      LastHeight = VirtualHeight;
      RecordedReplay.events.push_back({frame, RndState(), static_cast<uint16_t>(VirtualWidth),
                                       static_cast<uint16_t>(VirtualHeight), static_cast<uint8_t>(quit ? 1 : 0)});
    }
    HashFrame();
    return answer;
  }
  if (ReplayState != REPLAY_PLAYING) {
    HashFrame();
    return answer;
  }
  // Whatever the viewer did between frames (the settings panel, Apply) is
  // undone; what the player did then is played back.
  SeedRnd(rngBefore);
  answer = PAUSE_NONE;
  const std::vector<ReplayEvent>& events = Play.replay->events;
  if (Play.event < events.size() && events[Play.event].frame == frame) {
    const ReplayEvent& e = events[Play.event++];
    SeedRnd(e.rng);
    UseDrawingArea(e.width, e.height);
    if (e.quit) answer = PAUSE_QUIT;
  }
  HashFrame();
  return answer;
}

void ReplayRoundEnded() {
  if (ReplayState != REPLAY_RECORDING) return;
  ReplayState = REPLAY_OFF;
  Replay& r = RecordedReplay;
  r.frames = FrameCount;
  r.endState = static_cast<uint8_t>(Round.endState);
  r.scores[0] = PlayerOne ? PlayerOne->Score : 0;
  r.scores[1] = PlayerTwo ? PlayerTwo->Score : 0;
  r.endHash = EndStateHash();
}

void DrawReplayBanner() {
  ResetDrawState();
  SetFont(Fonts[FONT_PROMPT]);
  SetColorAlpha(0, 0, 0, 0.5);
  const std::string banner = "Replay";
  const int w = TextWidth(banner) + 24, h = TextHeight(banner) + 8;
  DrawRect(static_cast<float>(VirtualWidth / 2 - w / 2), 70, static_cast<float>(w), static_cast<float>(h));
  SetColorAlpha(255, 255, 0, 1);
  DrawTextAligned(VirtualWidth / 2, 74, banner, 1, 0);
  ResetDrawState();
}

ReplayOutcome CheckReplay(const Replay& replay, uint64_t* endHash) {
  const bool wasFast = FastReplay;
  FastReplay = true;
  const ReplayOutcome outcome = PlayBack(replay, false, endHash);
  FastReplay = wasFast;
  SkipDrawing(false);
  PopupList.clear();  // no screen followed to age them
  return outcome;
}

ReplayOutcome WatchReplay(const Replay& replay) { return PlayBack(replay, true, nullptr); }

int WatchReplayFile(const std::string& file) {
  std::string bytes, why;
  Replay replay;
  if (!ReadWholeFile(file, bytes, kReplayMaxBytes)) {
    why = FileError() == "too large" ? "too large to be a replay" : "it could not be read (" + FileError() + ")";
  } else {
    DecodeReplay(bytes, replay, why);
  }
  if (!why.empty()) {
    ShowMessage("Replay not played: " + why, 1);
    ReportError(file + ": replay not played: " + why);
    WriteLog("Replay not played: " + file + ": " + why);
    return REPLAY_UNREADABLE;
  }
  WriteLog("Watching replay " + file);
  const ReplayOutcome outcome = WatchReplay(replay);
  if (outcome == REPLAY_MATCHED) WriteLog("\tThe replay ended as it was played");
  if (outcome == REPLAY_STOPPED) WriteLog("\tThe replay was stopped");
  if (outcome == REPLAY_DIFFERED) {
    ShowMessage(kReplayMismatch, 1);
    ReportError(file + ": " + kReplayMismatch);
    WriteLog(std::string(kReplayMismatch) + ": " + file);
  }
  return outcome;
}

std::string RecordedReplayBytes() {
  const Replay& r = RecordedReplay;
  if (r.frames == 0) return "";
  if (r.frames > kReplayMaxFrames) {
    ReportError("replay not saved: the round lasted longer than a replay may (an hour of play)");
    return "";
  }
  return EncodeReplay(r);
}

int CheckReplayFiles(int count, char** files) {
  int failed = 0;
  SkipDrawing(true);
  for (int i = 0; i < count; ++i) {
    const std::string file = files[i];
    std::string bytes, why;
    Replay replay;
    if (!ReadWholeFile(file, bytes, kReplayMaxBytes)) why = FileError();
    else DecodeReplay(bytes, replay, why);
    std::string line = file + " ";
    if (!why.empty()) {
      line += "unreadable: " + why;
    } else {
      uint64_t end = 0;
      const ReplayOutcome outcome = CheckReplay(replay, &end);
      char hash[17];
      std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(end));
      line += std::string(hash) + (outcome == REPLAY_MATCHED ? " matches" : " does not match");
      if (outcome == REPLAY_MATCHED) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        WriteLog(line);
        continue;
      }
    }
    ++failed;
    ReportError(line);
    WriteLog(line);
  }
  SkipDrawing(false);
  return failed == 0 ? 0 : 1;
}
