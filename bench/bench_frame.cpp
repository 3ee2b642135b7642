// bench_frame — the shell's own costs on the headless back end:
// FinishFrame's work per frame (its 1 ms sleeps cost no real time there),
// and start-up to the first title frame with the staged data, less the
// engine test and the 2.5 s splash floor (both virtual here).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "game/game.h"
#include "media/headless/headless.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct LeaveTitle {};

// The staged tree beside the build's bench/ folder.
fs::path StagedFiles() { return fs::canonical("/proc/self/exe").parent_path().parent_path() / "Files"; }

// A private start folder: Files/ of its own (the log is written there), the
// staged Common/ and 239/ linked in.
fs::path MakeStartFolder() {
  const fs::path root = fs::temp_directory_path() / "wenhod-bench-frame";
  fs::remove_all(root);
  fs::create_directories(root / "Files");
  const fs::path staged = StagedFiles();
  if (fs::exists(staged / "Common")) fs::create_directory_symlink(staged / "Common", root / "Files" / "Common");
  if (fs::exists(staged / "239")) fs::create_directory_symlink(staged / "239", root / "Files" / "239");
  return root;
}

void FreshProgram() {
  UseHeadlessBackend();
  HeadlessReset();
  ResetGlobals();
  RegisterGameHooks();
  SetDefaultKeys();
  SetDefaultSettings();
}

void BM_FinishFrame(benchmark::State& state) {
  const bool busy = state.range(0) != 0;
  FreshProgram();
  OpenDisplay(800, 600, 0, 60, 0);
  SetVirtualResolution(1280, 960);
  AutoMidHandle(true);
  IconsImage = CreateImage(16, 16, 64, 0);
  if (busy) DebugOverlay = 1;
  LastFrameTime = Millisecs();
  for (auto _ : state) {
    if (busy && Messages.size() < 3) ShowMessage("Saved Screenshot", 1);
    benchmark::DoNotOptimize(FinishFrame(1));
    HeadlessClearDraws();
  }
  state.counters["virtual_ms_per_frame"] =
      benchmark::Counter(static_cast<double>(Millisecs()) / static_cast<double>(state.iterations()));
  FreeImage(IconsImage);
  CloseDisplay();
}
BENCHMARK(BM_FinishFrame)->Arg(0)->Arg(1)->ArgNames({"overlay_and_messages"});

void BM_StartToFirstTitleFrame(benchmark::State& state) {
  const fs::path startDir = fs::current_path();
  const fs::path root = MakeStartFolder();
  double engineSeconds = 0;
  for (auto _ : state) {
    FreshProgram();
    ChangeDir(root.string());
    // A machine too slow for the engine test ends it after 16 frames; their
    // real time is measured and taken off below.
    HeadlessOnDelay([] {
      if (HeadlessDraws().empty()) return;
      bool cleared = false;
      for (const DrawRecord& r : HeadlessDraws()) cleared = cleared || r.kind == DrawRecord::CLEAR;
      HeadlessClearDraws();
      if (cleared) HeadlessSetClock(Millisecs() + 50);
    });
    bool inTitle = false;
    int presents = 0;
    Clock::time_point splashShown{}, lastEngineFrame{};
    HeadlessOnPresent([&] {
      const Clock::time_point now = Clock::now();
      if (inTitle) throw LeaveTitle();
      if (++presents == 1) splashShown = now;
      else lastEngineFrame = now;
    });
    const Clock::time_point start = Clock::now();
    StartUp();
    inTitle = true;
    try {
      TitleMenu();
    } catch (const LeaveTitle&) {
    }
    const Clock::time_point end = Clock::now();
    const double engine = presents > 1 ? std::chrono::duration<double>(lastEngineFrame - splashShown).count() : 0;
    engineSeconds += engine;
    state.SetIterationTime(std::chrono::duration<double>(end - start).count() - engine);
    HeadlessOnPresent(nullptr);
    HeadlessOnDelay(nullptr);
    CloseFile(LogFile);
    LogFile = nullptr;
    CloseDisplay();
  }
  state.counters["engine_test_ms_taken_off"] =
      benchmark::Counter(1000 * engineSeconds / static_cast<double>(state.iterations()));
  ChangeDir(startDir.string());
  fs::remove_all(root);
}
BENCHMARK(BM_StartToFirstTitleFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
