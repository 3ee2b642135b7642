// Cost of one pixel-exact overlap test: a 64x64 hero frame against a 128x128
// bird frame at scale 1.1, as a bounce check does every frame.
#include <benchmark/benchmark.h>

#include "media/backend.h"
#include "media/headless/headless.h"

namespace {

// A disc of the given radius in the middle of a square frame; the corners stay clear.
int DiscImage(int side, float radius) {
  int img = CreateImage(side, side, 1, 0);
  ImageData* d = ImageFromHandle(img);
  d->handleX = d->handleY = side * 0.5f;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      float dx = x + 0.5f - side * 0.5f, dy = y + 0.5f - side * 0.5f;
      d->pixels[0][static_cast<size_t>(y) * side + x] = dx * dx + dy * dy <= radius * radius ? 0xFF3060C0u : 0;
    }
  return img;
}

struct Pair {
  int hero = 0, bird = 0;
  Pair() {
    UseHeadlessBackend();
    hero = DiscImage(64, 30);
    bird = DiscImage(128, 60);
  }
};

Pair& Images() {
  static Pair p;
  return p;
}

// The boxes overlap diagonally but the discs do not: every shared sample is tested.
void BM_OverlapMiss(benchmark::State& state) {
  Pair& p = Images();
  SetScale(1.1f, 1.1f);
  bool hit = false;
  for (auto _ : state) {
    hit = ImagesCollide(p.hero, 100, 100, 0, p.bird, 100 + 80, 100 + 80, 0);
    benchmark::DoNotOptimize(hit);
  }
  SetScale(1, 1);
  if (hit) state.SkipWithError("expected no overlap");
}
BENCHMARK(BM_OverlapMiss);

// The hero lands on top of the bird: found after part of the scan.
void BM_OverlapHit(benchmark::State& state) {
  Pair& p = Images();
  SetScale(1.1f, 1.1f);
  bool hit = false;
  for (auto _ : state) {
    hit = ImagesCollide(p.hero, 100, 100, 0, p.bird, 100, 100 + 95, 0);
    benchmark::DoNotOptimize(hit);
  }
  SetScale(1, 1);
  if (!hit) state.SkipWithError("expected an overlap");
}
BENCHMARK(BM_OverlapHit);

// Far apart: the bounding boxes alone answer.
void BM_OverlapApart(benchmark::State& state) {
  Pair& p = Images();
  SetScale(1.1f, 1.1f);
  for (auto _ : state) benchmark::DoNotOptimize(ImagesCollide(p.hero, 100, 100, 0, p.bird, 600, 100, 0));
  SetScale(1, 1);
}
BENCHMARK(BM_OverlapApart);

}  // namespace

BENCHMARK_MAIN();
