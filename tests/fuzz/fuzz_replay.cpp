// Any bytes as a replay file (half of them with a checksum that fits): the reader must refuse what is not a whole
// replay without crashing, hanging or reserving more than the bytes can
// hold; what it takes must write back to the same bytes; and a short one it
// takes must play through the real round to an end, whatever its events say.
#include <cstdint>
#include <string>

#include "game/game.h"
#include "game/replay.h"
#include "media/headless/headless.h"
#include "shell/shell.h"
#include "tools/tools.h"

#include "fuzz_support.h"

const char* const kFuzzTarget = "replay";

namespace {

constexpr uint32_t kPlayedFrames = 4000;  // longer replays are only read

void SetUpProgram() {
  static bool ready = false;
  if (ready) return;
  UseHeadlessBackend();
  HeadlessReset();
  ResetGlobals();
  SetDefaultKeys();
  OpenDisplay(1280, 960, 0, 60, 0);
  ready = true;
}

// The bytes with their last four made the checksum of the rest (FNV-1a), so
// the mutations reach past it into the fields.
std::string Resealed(std::string bytes) {
  if (bytes.size() < 4) return bytes;
  uint32_t h = 2166136261u;
  for (size_t i = 0; i + 4 < bytes.size(); ++i) h = (h ^ static_cast<uint8_t>(bytes[i])) * 16777619u;
  for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + static_cast<size_t>(i)] = static_cast<char>(h >> (8 * i));
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpProgram();
  // An odd last byte: read as it came; else resealed.
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (size > 0 && (data[size - 1] & 1) == 0) bytes = Resealed(bytes);
  Replay replay;
  std::string why;
  if (!DecodeReplay(bytes, replay, why)) {
    Check(!why.empty(), "a refused replay says why");
    return 0;
  }
  Check(EncodeReplay(replay) == bytes, "a replay read writes back the same");
  if (replay.frames <= kPlayedFrames) {
    const int width = VirtualWidth, height = VirtualHeight;
    HeadlessClearSounds();
    const ReplayOutcome outcome = CheckReplay(replay);
    Check(outcome == REPLAY_MATCHED || outcome == REPLAY_DIFFERED, "a check ends matched or not");
    Check(VirtualWidth == width && VirtualHeight == height, "the drawing area is put back");
  }
  return 0;
}
