// Sprite throughput of the real renderer against SDL2's own SDL_Renderer.
//
// Both draw the engine test's frame at 800x600 (1280x960 virtual units): a
// background of rotated blue stripes, two logos at scale 1.5, then n+1 icons
// at scale 2 with random rotation and position, black at alpha 0. Frames are
// paced to 60 fps by sleeping 1 ms at a time and the frame rate is smoothed
// as the frame service does. For n = 500, 1000, ... 20000 (8 frames each)
// the largest n still held at 58 fps is reported, and the main thread's CPU
// time per frame at n = 8000. Held counts need an otherwise idle machine;
// the CPU-per-frame figures (and the sprite count they predict) do not.
//
//   bench_sprites [--quick] [--runs N]
//       --quick: steps of 2500 and fewer frames; --runs: both renderers N
//       times, each run reported, then the medians and their ratios
//   bench_sprites --profile ours|sdl [sprites [frames]]
//       one renderer under a fixed load (8000 sprites, 120 frames) in the
//       frame service order, for perf or callgrind
// Needs a display: run under Xvfb (xvfb-run) or SDL_VIDEODRIVER=offscreen.
#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "media/backend.h"
#include "media/media.h"

namespace {

constexpr int kDisplayW = 800, kDisplayH = 600;
constexpr float kVirtualW = 1280, kVirtualH = 960;
constexpr int kLogoW = 256, kLogoH = 128, kIcon = 16;
constexpr int kWanted = 60;

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Pictures shared by both renderers: RGBA, R lowest byte, rows top-down.
std::vector<uint32_t> LogoPixels(int seed) {
  std::vector<uint32_t> px(kLogoW * kLogoH);
  for (int y = 0; y < kLogoH; ++y)
    for (int x = 0; x < kLogoW; ++x) {
      const bool edge = x < 4 || y < 4 || x >= kLogoW - 4 || y >= kLogoH - 4;
      const uint32_t r = static_cast<uint32_t>((x * 255 / kLogoW + seed * 60) & 255);
      const uint32_t g = static_cast<uint32_t>(y * 255 / kLogoH);
      const uint32_t b = static_cast<uint32_t>(((x ^ y) * 4) & 255);
      px[y * kLogoW + x] = r | g << 8 | b << 16 | (edge ? 0u : 255u) << 24;
    }
  return px;
}

std::vector<uint32_t> IconPixels() {
  std::vector<uint32_t> px(kIcon * kIcon);
  for (int y = 0; y < kIcon; ++y)
    for (int x = 0; x < kIcon; ++x) {
      const int dx = 2 * x - 15, dy = 2 * y - 15;
      px[y * kIcon + x] = dx * dx + dy * dy <= 225 ? 0xFF40C0FFu : 0u;
    }
  return px;
}

// Random placement, the same sequence for both renderers.
struct Sprites {
  std::mt19937 rng{239};
  int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
};

struct Result {
  int best = 0;              // largest n held at 58 fps, frame service order
  int bestPresentFirst = 0;  // the same, presenting before the pacing sleep
  double cpuDrawMs = 0;      // main thread, issuing the draw calls (and the driver work on full batches)
  double cpuMainMs = 0;      // main thread, whole frame (draw calls, driver work, present)
  double cpuAllMs = 0;       // every thread (the GL rasteriser's too), whole frame
  double cpuAll500Ms = 0;    // the same at n = 500: mostly the background
  double wallMs = 0;         // --profile: time per frame
};

// One frame of the workload: draw() issues every draw call, present() shows
// the frame; ticks() and sleep() are the renderer's own clock and sleep.
struct Renderer {
  std::function<void(int n, Sprites& s)> draw;
  std::function<void()> present;
  std::function<uint32_t()> ticks;
  std::function<void(int ms)> sleep;
};

// The program's frame loop: draw, pace in 1 ms sleeps to 60 fps, present,
// smooth the rate in whole frames per second. presentFirst swaps the last
// two steps (the usual order elsewhere: present, then sleep off the rest).
struct Pacer {
  Renderer& r;
  bool presentFirst = false;
  uint32_t last = 0;
  int frameRate = kWanted;
  explicit Pacer(Renderer& renderer) : r(renderer), last(renderer.ticks()) {}
  void Pace() {
    for (;;) {
      r.sleep(1);
      if (r.ticks() - last >= 1000.0 / kWanted - 2) break;
    }
  }
  void Frame(int n, Sprites& s, double* cpuDraw = nullptr) {
    const double c0 = ThreadCpuMs();
    r.draw(n, s);
    if (cpuDraw) *cpuDraw += ThreadCpuMs() - c0;
    if (presentFirst) {
      r.present();
      Pace();
    } else {
      Pace();
      r.present();
    }
    const uint32_t now = r.ticks();
    int duration = static_cast<int>(now - last);
    if (duration <= 0) duration = 1;
    frameRate = (1000 / duration + 2 * frameRate) / 3;
    last = now;
  }
};

int Search(const char* name, Renderer& r, bool presentFirst, bool quick) {
  Sprites sprites;
  Pacer pacer(r);
  pacer.presentFirst = presentFirst;
  for (int i = 0; i < 10; ++i) pacer.Frame(500, sprites);  // warm up uploads and caches
  const int step = quick ? 2500 : 500, frames = 8;
  int best = 0;
  std::printf("  %s, %s:", name, presentFirst ? "present then pace" : "pace then present");
  for (int n = 500; n <= 20000; n += step) {
    for (int f = 0; f < frames; ++f) pacer.Frame(n, sprites);
    const int fps = pacer.frameRate;
    std::printf(" %d:%d", n, fps);
    std::fflush(stdout);
    if (fps >= kWanted - 2 && n > 500) best = n;
    if (fps <= kWanted - 2 && n > 500) break;
  }
  std::printf("\n");
  return best;
}

// --profile: a fixed workload to run under perf or callgrind.
struct Profile {
  bool on = false;
  int sprites = 8000, frames = 120;
};
Profile g_profile;

Result Measure(const char* name, Renderer r, bool quick) {
  Result res;
  if (g_profile.on) {
    Sprites sprites;
    Pacer pacer(r);
    const double main0 = ThreadCpuMs(), all0 = ProcessCpuMs();
    const uint32_t t0 = r.ticks();
    for (int f = 0; f < g_profile.frames; ++f) pacer.Frame(g_profile.sprites, sprites);
    res.wallMs = static_cast<double>(r.ticks() - t0) / g_profile.frames;
    res.cpuMainMs = (ThreadCpuMs() - main0) / g_profile.frames;
    res.cpuAllMs = (ProcessCpuMs() - all0) / g_profile.frames;
    return res;
  }
  res.best = Search(name, r, false, quick);
  res.bestPresentFirst = Search(name, r, true, quick);
  // CPU per frame at 8000, in the frame service order; sleeping costs none.
  Sprites sprites;
  Pacer pacer(r);
  const int frames = quick ? 8 : 16;
  pacer.Frame(500, sprites);
  const double small0 = ProcessCpuMs();
  for (int f = 0; f < frames; ++f) pacer.Frame(500, sprites);
  res.cpuAll500Ms = (ProcessCpuMs() - small0) / frames;
  pacer.Frame(8000, sprites);
  double draw = 0;
  const double main0 = ThreadCpuMs(), all0 = ProcessCpuMs();
  for (int f = 0; f < frames; ++f) pacer.Frame(8000, sprites, &draw);
  res.cpuDrawMs = draw / frames;
  res.cpuMainMs = (ThreadCpuMs() - main0) / frames;
  res.cpuAllMs = (ProcessCpuMs() - all0) / frames;
  return res;
}

// Sprites that fit the machine's CPU time per 60 fps frame (every core),
// from the cost measured at 500 and 8000. Unlike the held counts it hardly
// moves when other programs share the machine.
int CpuBudgetSprites(const Result& r) {
  const double perSprite = (r.cpuAllMs - r.cpuAll500Ms) / 7500;
  const double budget = 1000.0 / kWanted * SDL_GetCPUCount();
  if (!(perSprite > 0) || budget < r.cpuAll500Ms) return 0;
  return static_cast<int>(500 + (budget - r.cpuAll500Ms) / perSprite);
}

void Report(const char* name, const Result& r) {
  std::printf(
      "%-13s held %5d sprites (present first: %5d); CPU per frame at 8000: main thread %.2f ms"
      " (draw calls %.2f), all threads %.2f ms (%.2f ms at 500); fits the CPU of a frame: %d\n",
      name, r.best, r.bestPresentFirst, r.cpuMainMs, r.cpuDrawMs, r.cpuAllMs, r.cpuAll500Ms, CpuBudgetSprites(r));
}

//------------------------------------------------------------------------------
// Ours, through the media layer.
//------------------------------------------------------------------------------
int StoreFrames(int w, int h, std::vector<uint32_t> px, int flags) {
  auto img = std::make_unique<ImageData>();
  img->width = w;
  img->height = h;
  img->frames = 1;
  img->handleX = w * 0.5f;
  img->handleY = h * 0.5f;
  img->flags = flags;
  img->pixels.push_back(std::move(px));
  return StoreImage(std::move(img));
}

bool RunOurs(bool quick, Result& out) {
  UseSdlBackend();
  SetAppTitle("bench_sprites: media layer");
  if (!OpenDisplay(kDisplayW, kDisplayH, 0, 60, 0)) return false;
  SetVirtualResolution(kVirtualW, kVirtualH);
  const int logo1 = StoreFrames(kLogoW, kLogoH, LogoPixels(0), MASKEDIMAGE | FILTEREDIMAGE);
  const int logo2 = StoreFrames(kLogoW, kLogoH, LogoPixels(1), MASKEDIMAGE | FILTEREDIMAGE);
  const int icons = StoreFrames(kIcon, kIcon, IconPixels(), MASKEDIMAGE);
  Renderer r;
  r.draw = [&](int n, Sprites& s) {
    ClearScreen();
    SetBlend(ALPHABLEND);
    SetAlpha(1);
    SetScale(1, 1);
    SetRotation(-45);
    float shade = 50;
    for (int y = 0; y <= static_cast<int>(kVirtualH); y += 10) {
      shade += 0.5f;
      SetColor(0, 0, static_cast<int>(shade));
      DrawRect(-100, 3.0f * y, kVirtualW + 1800, 30);
    }
    SetRotation(0);
    SetColor(255, 255, 255);
    SetScale(1.5f, 1.5f);
    DrawImage(logo1, kVirtualW * 0.3f, kVirtualH * 0.3f);
    DrawImage(logo2, kVirtualW * 0.7f, kVirtualH * 0.7f);
    SetScale(2, 2);
    SetColor(0, 0, 0);
    SetAlpha(0);
    for (int k = 0; k <= n; ++k) {
      SetRotation(static_cast<float>(s.Rand(1, 360)));
      const float x = static_cast<float>(s.Rand(1, static_cast<int>(kVirtualW)));
      const float y = static_cast<float>(s.Rand(1, static_cast<int>(kVirtualH)));
      DrawImage(icons, x, y);
    }
  };
  r.present = [] { PresentFrame(0); };
  r.ticks = [] { return static_cast<uint32_t>(Millisecs()); };
  r.sleep = [](int ms) { Delay(ms); };
  out = Measure("media layer", r, quick);
  FreeImage(logo1);
  FreeImage(logo2);
  FreeImage(icons);
  CloseDisplay();
  return true;
}

//------------------------------------------------------------------------------
// The same through SDL_Renderer with its batching on.
//------------------------------------------------------------------------------
SDL_Texture* MakeTexture(SDL_Renderer* ren, int w, int h, const std::vector<uint32_t>& px) {
  SDL_Texture* t = SDL_CreateTexture(ren, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, w, h);
  if (!t) return nullptr;
  SDL_UpdateTexture(t, nullptr, px.data(), w * 4);
  SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  return t;
}

bool RunSdlRenderer(bool quick, Result& out, std::string& driver) {
  SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
  SDL_Window* win = SDL_CreateWindow("bench_sprites: SDL_Renderer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     kDisplayW, kDisplayH, 0);
  if (!win) return false;
  SDL_Renderer* ren = SDL_CreateRenderer(win, -1, SDL_RENDERER_ACCELERATED);
  if (!ren) {
    SDL_DestroyWindow(win);
    return false;
  }
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(ren, &info);
  driver = info.name ? info.name : "?";
  SDL_RenderSetScale(ren, kDisplayW / kVirtualW, kDisplayH / kVirtualH);
  const std::vector<uint32_t> white(1, 0xFFFFFFFFu);
  SDL_Texture* texel = MakeTexture(ren, 1, 1, white);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "1");
  SDL_Texture* logo1 = MakeTexture(ren, kLogoW, kLogoH, LogoPixels(0));
  SDL_Texture* logo2 = MakeTexture(ren, kLogoW, kLogoH, LogoPixels(1));
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  SDL_Texture* icon = MakeTexture(ren, kIcon, kIcon, IconPixels());
  const bool ok = texel && logo1 && logo2 && icon;
  if (ok) {
    Renderer r;
    r.draw = [&](int n, Sprites& s) {
      SDL_SetRenderDrawColor(ren, 0, 0, 0, 255);
      SDL_RenderClear(ren);
      const SDL_FPoint corner{0, 0};
      float shade = 50;
      for (int y = 0; y <= static_cast<int>(kVirtualH); y += 10) {
        shade += 0.5f;
        SDL_SetTextureColorMod(texel, 0, 0, static_cast<Uint8>(shade));
        const SDL_FRect dst{-100, 3.0f * y, kVirtualW + 1800, 30};
        SDL_RenderCopyExF(ren, texel, nullptr, &dst, -45, &corner, SDL_FLIP_NONE);
      }
      const float lw = kLogoW * 1.5f, lh = kLogoH * 1.5f;
      const SDL_FRect l1{kVirtualW * 0.3f - lw / 2, kVirtualH * 0.3f - lh / 2, lw, lh};
      const SDL_FRect l2{kVirtualW * 0.7f - lw / 2, kVirtualH * 0.7f - lh / 2, lw, lh};
      SDL_RenderCopyF(ren, logo1, nullptr, &l1);
      SDL_RenderCopyF(ren, logo2, nullptr, &l2);
      SDL_SetTextureColorMod(icon, 0, 0, 0);
      SDL_SetTextureAlphaMod(icon, 0);
      const SDL_FPoint mid{kIcon, kIcon};
      for (int k = 0; k <= n; ++k) {
        const double angle = s.Rand(1, 360);
        const float x = static_cast<float>(s.Rand(1, static_cast<int>(kVirtualW)));
        const float y = static_cast<float>(s.Rand(1, static_cast<int>(kVirtualH)));
        const SDL_FRect dst{x - kIcon, y - kIcon, 2 * kIcon, 2 * kIcon};
        SDL_RenderCopyExF(ren, icon, nullptr, &dst, angle, &mid, SDL_FLIP_NONE);
      }
    };
    r.present = [&] { SDL_RenderPresent(ren); };
    r.ticks = [] { return SDL_GetTicks(); };
    r.sleep = [](int ms) { SDL_Delay(static_cast<Uint32>(ms)); };
    out = Measure("SDL_Renderer", r, quick);
  }
  for (SDL_Texture* t : {texel, logo1, logo2, icon})
    if (t) SDL_DestroyTexture(t);
  SDL_DestroyRenderer(ren);
  SDL_DestroyWindow(win);
  return ok;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Medians over the runs, field by field.
Result MedianOf(const std::vector<Result>& runs) {
  auto med = [&](auto field) {
    std::vector<double> v;
    for (const Result& r : runs) v.push_back(static_cast<double>(r.*field));
    return Median(v);
  };
  Result m;
  m.best = static_cast<int>(med(&Result::best));
  m.bestPresentFirst = static_cast<int>(med(&Result::bestPresentFirst));
  m.cpuDrawMs = med(&Result::cpuDrawMs);
  m.cpuMainMs = med(&Result::cpuMainMs);
  m.cpuAllMs = med(&Result::cpuAllMs);
  m.cpuAll500Ms = med(&Result::cpuAll500Ms);
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = false;
  int runs = 1;
  const char* only = nullptr;  // --profile ours|sdl
  auto number = [&](int i) { return i < argc && std::isdigit(static_cast<unsigned char>(argv[i][0])); };
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      quick = true;
    } else if (std::strcmp(argv[i], "--runs") == 0 && number(i + 1)) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc) {
      g_profile.on = true;
      only = argv[++i];
      if (number(i + 1)) g_profile.sprites = std::atoi(argv[++i]);
      if (number(i + 1)) g_profile.frames = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: bench_sprites [--quick] [--runs N] [--profile ours|sdl [sprites [frames]]]\n");
      return 2;
    }
  }
  std::string driver;
  if (g_profile.on) {
    const bool sdl = std::strcmp(only, "sdl") == 0;
    Result r;
    if (!(sdl ? RunSdlRenderer(false, r, driver) : RunOurs(false, r))) return 1;
    std::printf("%s: %d sprites, %d frames: %.2f ms a frame; CPU per frame main thread %.2f ms, all threads %.2f ms\n",
                sdl ? "SDL_Renderer" : "media layer", g_profile.sprites, g_profile.frames, r.wallMs, r.cpuMainMs,
                r.cpuAllMs);
    return 0;
  }
  std::printf("Sprites held at %d fps or more, %dx%d window, %s, %d run%s\n", kWanted - 2, kDisplayW, kDisplayH,
              quick ? "quick run" : "full run", runs, runs > 1 ? "s (both renderers in each)" : "");
  std::vector<Result> ours, theirs;
  for (int run = 0; run < runs; ++run) {
    Result a, b;
    if (!RunOurs(quick, a)) {
      std::fprintf(stderr, "bench_sprites: no display (run under Xvfb or SDL_VIDEODRIVER=offscreen)\n");
      return 1;
    }
    ours.push_back(a);
    if (RunSdlRenderer(quick, b, driver)) theirs.push_back(b);
    if (runs > 1) {
      std::printf("run %d:\n", run + 1);
      Report("media layer", a);
      if (!theirs.empty()) Report("SDL_Renderer", theirs.back());
    }
  }
  std::printf("\n%s\n", runs > 1 ? "medians:" : "");
  const Result o = MedianOf(ours);
  Report("media layer", o);
  if (theirs.empty()) {
    std::printf("SDL_Renderer: could not be created\n");
    return 0;
  }
  const Result t = MedianOf(theirs);
  Report("SDL_Renderer", t);
  std::printf("(SDL_Renderer: %s driver, batching on)\n", driver.c_str());
  auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
  std::printf(
      "media layer / SDL_Renderer: CPU per frame at 8000 %.2fx on the main thread, %.2fx on all threads;"
      " sprites held in the frame service order %.2fx SDL_Renderer's best order (%.2fx its same order,"
      " %.2fx presenting first); %.2fx by CPU per frame (0 when SDL_Renderer held no step)\n",
      ratio(o.cpuMainMs, t.cpuMainMs), ratio(o.cpuAllMs, t.cpuAllMs),
      ratio(o.best, std::max(t.best, t.bestPresentFirst)), ratio(o.best, t.best),
      ratio(o.bestPresentFirst, t.bestPresentFirst), ratio(CpuBudgetSprites(o), CpuBudgetSprites(t)));
  return 0;
}
