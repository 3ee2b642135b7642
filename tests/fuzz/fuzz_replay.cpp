// Any bytes as a replay file: the reader must refuse what is not a whole
// replay without crashing, hanging or reserving more than the bytes can
// hold; what it takes must write back to the same bytes; and a short one it
// takes must play through the real round to an end, whatever its events say.
#include <cstdint>
#include <string>

#include "game/game.h"
#include "game/replay.h"
#include "media/headless.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpProgram();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Replay replay;
  std::string why;
  if (!DecodeReplay(bytes, replay, why)) {
    Check(!why.empty(), "a refused replay says why");
    return 0;
  }
  Check(EncodeReplay(replay) == bytes, "a replay read writes back the same");
  if (replay.frames <= kPlayedFrames) {
    const int width = VirtualWidth, height = VirtualHeight;
    const ReplayOutcome outcome = CheckReplay(replay);
    Check(outcome == REPLAY_MATCHED || outcome == REPLAY_DIFFERED, "a check ends matched or not");
    Check(VirtualWidth == width && VirtualHeight == height, "the drawing area is put back");
  }
  return 0;
}
