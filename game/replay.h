// replay.h — a round kept as what decided it, and played again through the
// real round.
//
// A round is decided by its seed, the held actions of each player frame by
// frame, and whatever changes the generator or the drawing area from outside
// the round's own code during a frame (the pause menu reseeds from the clock;
// Apply in the settings panel runs the engine test and may change the
// drawing area). The sprite budget and the slow-system mode change only what
// is drawn and when Escape is read, so they are kept for the record but
// decide nothing: a pause is kept as the event it caused.
//
// The end hash covers the end state and the heroes and the generator frame
// by frame on the way there.
//
// The file (little-endian, "WHRP" and a version first, a checksum last):
// the set-up, the end (frames, scores, a hash of the end state), the inputs
// as runs of equal frames (a byte and the length in seven-bit groups), and
// the outside events. A three-minute round takes
// a few hundred bytes to a few kilobytes.
//
//   recording: StartRound and RoundFrame call the Replay* hooks below, so
//              every round played is recorded; FinishRound saves it with
//              its record (or as a two-player round's);
//   playback:  WatchReplay(replay) plays it at normal speed in the round
//              screen; CheckReplay(replay) plays it at full speed without
//              pacing (tests, the benchmark, --replay-check).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Held actions of one frame, three bits a player (player two shifted by 3).
enum ReplayInputBit { INPUT_JUMP = 1, INPUT_LEFT = 2, INPUT_RIGHT = 4 };
constexpr int kReplayPlayerShift = 3;

struct ReplayRun {  // the same held actions for `frames` frames
  uint8_t input = 0;
  uint32_t frames = 0;
};

struct ReplayEvent {               // something from outside the round at the end of a frame
  uint32_t frame = 0;              // the frame it followed, from 0
  int32_t rng = 0;                 // the generator's state afterwards
  uint16_t width = 0, height = 0;  // the drawing area afterwards
  uint8_t quit = 0;                // the pause menu's Quit ended the round
};

struct Replay {
  uint8_t difficulty = 0;               // a DifficultyMode
  uint8_t widescreen = 0;               // Settings widescreen slot at the start
  uint8_t slowSystem = 0;               // slow-system mode at the start (not needed to play it)
  uint16_t width = 1280, height = 960;  // the drawing area at the start
  int32_t seed = 0;                     // the round's seed
  int32_t spriteLimit = 0;              // main sprite budget at the start (not needed to play it)
  uint32_t frames = 0;                  // frames played to the end
  uint8_t endState = 0;                 // a RoundEnd
  int32_t scores[2] = {};               // final scores of players one and two
  uint64_t endHash = 0;                 // EndStateHash() at the end
  std::vector<ReplayRun> runs;          // cover exactly `frames` frames
  std::vector<ReplayEvent> events;      // by frame
};

constexpr size_t kReplayMaxBytes = 4 << 20;  // larger files are refused unread
// An hour of play: a few bytes can claim any number of frames (one run of
// held keys), and checking a replay plays every one of them.
constexpr uint32_t kReplayMaxFrames = 60 * 60 * 60;

// The file's bytes; a read answers false with a plain reason in `why`.
std::string EncodeReplay(const Replay& replay);
bool DecodeReplay(const std::string& bytes, Replay& out, std::string& why);

// What a watched replay came to.
enum ReplayOutcome { REPLAY_MATCHED, REPLAY_DIFFERED, REPLAY_STOPPED, REPLAY_UNREADABLE };
extern const char* const kReplayMismatch;  // said when a replay ends elsewhere than it did

// Recording and playback state (game/replay.cpp).
enum ReplayMode { REPLAY_OFF, REPLAY_RECORDING, REPLAY_PLAYING };
extern ReplayMode ReplayState;  // what the round in play does with its inputs
extern Replay RecordedReplay;   // the round last recorded (complete once it ended)
extern bool FastReplay;         // playback without pacing, drawing or the result's waits

uint64_t EndStateHash();      // heroes, birds, pickups, the round and the generator
int32_t ReplaySeed();         // the seed the round starts from: the clock, or the replay's
bool RoundWidescreen();       // the widescreen setting the round starts with: the player's, or the replay's
void ReplayStartRound();      // after StartRound's set-up
void ReplayBeginFrame();      // a frame of the round starts
int HeldActions(int player);  // ReplayInputBits held by player 1 or 2 this frame, read or played back
// Around the frame service: the state before it, its answer; answers the answer to act on.
int ReplayAfterFrame(int32_t rngBefore, int answer);
void ReplayRoundEnded();  // fills RecordedReplay's end when recording
void DrawReplayBanner();  // "Replay" over the round being watched

ReplayOutcome CheckReplay(const Replay& replay, uint64_t* endHash = nullptr);  // full speed, unpaced; the end compared
ReplayOutcome WatchReplay(const Replay& replay);  // normal speed, the round screen; the viewer may stop it
int WatchReplayFile(const std::string& file);     // the framework's hook: read, watch, say what it came to
// The round last recorded as a replay file's bytes; "" when there is none,
// or it lasted longer than a replay may (said on standard error).
std::string RecordedReplayBytes();
// --replay-check: each file checked, one line each (its name, the end hash,
// "matches" or why not); answers the process status, 1 when any failed.
int CheckReplayFiles(int count, char** files);
