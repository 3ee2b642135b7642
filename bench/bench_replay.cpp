// bench_replay.cpp — the golden replays checked at full speed on the headless
// back end: rounds replayed per second (the game's logic and collisions, no
// pacing and no drawing), and the replays' size per minute of play.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/replays/scripted.h"

namespace {

struct Golden {
  Replay replay;
  size_t bytes = 0;
};

// The goldens, and the program set up with the staged art; empty when either is missing.
const std::vector<Golden>& Goldens() {
  static std::vector<Golden> goldens;
  static bool tried = false;
  if (tried) return goldens;
  tried = true;
  if (!scripted::SetUpProgram(WENHOD_DATA_DIR, WENHOD_DATA_DIR)) return goldens;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(WENHOD_REPLAY_DIR, ec)) {
    if (entry.path().extension() != ".replay") continue;
    Golden g;
    std::string bytes, why;
    if (ReadWholeFile(entry.path().string(), bytes, kReplayMaxBytes) && DecodeReplay(bytes, g.replay, why)) {
      g.bytes = bytes.size();
      goldens.push_back(std::move(g));
    }
  }
  return goldens;
}

void BM_ReplayGoldenRounds(benchmark::State& state) {
  const std::vector<Golden>& goldens = Goldens();
  if (goldens.empty()) {
    state.SkipWithError("staged art or golden replays not found");
    return;
  }
  long rounds = 0, frames = 0, mismatched = 0;
  for (auto _ : state) {
    for (const Golden& g : goldens) {
      mismatched += CheckReplay(g.replay) == REPLAY_MATCHED ? 0 : 1;
      frames += g.replay.frames;
      ++rounds;
    }
  }
  double bytes = 0, minutes = 0;
  for (const Golden& g : goldens) {
    bytes += static_cast<double>(g.bytes);
    minutes += g.replay.frames / 3600.0;
  }
  state.counters["rounds/s"] = benchmark::Counter(static_cast<double>(rounds), benchmark::Counter::kIsRate);
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  state.counters["bytes/min"] = bytes / minutes;
  state.counters["mismatched"] = static_cast<double>(mismatched);
}
BENCHMARK(BM_ReplayGoldenRounds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
