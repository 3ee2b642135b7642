// bench_round.cpp — CPU cost of the game on the headless back end: one frame
// of a busy two-player round, and one pixel-exact overlap test as the passes
// run it.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "game/game.h"
#include "media/headless/headless.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

// The staged art beside the build (the benchmarks live in build/bench/).
std::string FindArt() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  for (const std::filesystem::path& dir :
       {std::filesystem::path("Files/239"), exe.parent_path() / "../Files/239", exe.parent_path() / "Files/239"}) {
    if (std::filesystem::exists(dir / "wenhod.png", ec)) return dir.string();
  }
  return "";
}

bool SetUpProgram() {
  static int ready = -1;
  if (ready >= 0) return ready == 1;
  UseHeadlessBackend();
  HeadlessReset();
  ResetGlobals();
  SetDefaultKeys();
  Settings[SET_MASTER] = Settings[SET_SOUND] = 100;
  Settings[SET_WIDESCREEN] = 1;
  VirtualWidth = 1600;
  VirtualHeight = 900;
  SetVirtualResolution(1600, 900);
  OpenDisplay(1600, 900, 0, 60, 0);
  SpriteLimit[1] = SpriteLimit[2] = SpriteLimit[3] = 50000;
  std::string art = FindArt();
  if (art.empty() || !ChangeDir(art)) {
    ready = 0;
    return false;
  }
  SetFileRoots("..", "..");  // the game's files are named "239/..." under the data root, Files/
  AutoMidHandle(true);
  LoadGameImages();
  for (int i = 1; i <= 15; i++) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.wav", i);
    Sounds[i] = LoadSound(name, 0);
  }
  ready = HeroImage && BirdImage && SceneryImage && GetsImage ? 1 : 0;
  return ready == 1;
}

// A two-player round past its opening: 9 birds walking, both heroes at the
// end of a fall right over birds, 40 pickups in flight that can be caught.
void BusyRound(std::list<ayer>& heroes, std::list<ken>& birds, std::list<kup>& pickups, RoundState& round) {
  Difficulty = 3;
  StartRound();
  Round.walker = VirtualWidth / 2;
  Round.opening = 90;
  Round.fade = 1;
  int i = 0;
  for (ken& b : BirdList) b.x = 120 + 150 * i++;
  i = 0;
  for (ayer& h : HeroList) {
    h.x = 120 + 150 * (i == 0 ? 7 : 8) + 32;  // over the last birds: every bird before is tested
    h.y = VirtualHeight - 126;
    h.jump = 175;
    h.jumphigh = 260;
    h.Jumps = 10;
    i++;
  }
  for (int k = 0; k < 40; k++) {
    kup p;
    p.n = k % 6;
    p.x = 60 + 37 * k;
    p.d = (k % 5) - 2;
    p.ang = 20 + 4 * k;
    p.rotgo = 3;
    p.t = 1000;
    PickupList.push_back(p);
  }
  heroes = HeroList;
  birds = BirdList;
  pickups = PickupList;
  round = Round;
}

void BM_BusyRoundFrame(benchmark::State& state) {
  if (!SetUpProgram()) {
    state.SkipWithError("staged art not found (build the data first)");
    return;
  }
  std::list<ayer> heroes;
  std::list<ken> birds;
  std::list<kup> pickups;
  RoundState round;
  BusyRound(heroes, birds, pickups, round);
  // Arg 1: a slow system, which presents, and draws, every second frame.
  Settings[SET_SLOWSYSTEM] = static_cast<int>(state.range(0));
  FrameParity = 0;
  long frames = 0;
  for (auto _ : state) {
    // Every frame starts from the same busy picture, so every test runs.
    HeroList = heroes;
    BirdList = birds;
    PickupList = pickups;
    Round = round;
    benchmark::DoNotOptimize(RoundFrame());
    if (++frames % 256 == 0) {
      HeadlessClearDraws();
      HeadlessClearSounds();
      if (PopupList.size() > 200) PopupList.clear();
    }
  }
  state.counters["pickups"] = static_cast<double>(PickupList.size());
  Settings[SET_SLOWSYSTEM] = 0;
}
BENCHMARK(BM_BusyRoundFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OverlapTestAtScale1_1(benchmark::State& state) {
  if (!SetUpProgram()) {
    state.SkipWithError("staged art not found (build the data first)");
    return;
  }
  ResetDrawState();
  SetDrawScale(1.1);
  // A hero landing on a bird: the pictures' boxes overlap, as in the bounce test.
  const float birdX = 400, birdY = static_cast<float>(VirtualHeight - 256);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ImagesCollide(HeroVarnoImage, 400, birdY - 80, 8, BirdVarnoImage, birdX, birdY, 3));
  }
  ResetDrawState();
}
BENCHMARK(BM_OverlapTestAtScale1_1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
