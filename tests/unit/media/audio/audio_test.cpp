// The two sound outputs played for real: OpenAL Soft into its wave-file
// writer, FreeAudio into SDL's disk (or dummy) driver. The written audio is
// cut into sounding stretches separated by silence, so the checks do not
// depend on when exactly the threads ran. These tests run in real time.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "media/audio/output.h"
#include "tests/unit/support.h"

namespace {

using namespace std::chrono_literals;

// OpenAL Soft reads its configuration once per process, so every OpenAL
// test shares one wave file; each opened device rewrites it.
std::string OpenALWavePath() {
  static std::string path = [] {
    std::string wav = support::ProcessDir() + "/openal.wav";
    std::string conf = support::ProcessDir() + "/alsoft.conf";
    std::ofstream(conf) << "[general]\ndrivers = wave\nsample-type = int16\nchannels = stereo\n"
                           "frequency = 44100\ndither = false\n[wave]\nfile = "
                        << wav << "\n";
    SetEnv("ALSOFT_CONF", conf);
    SetEnv("ALSOFT_DRIVERS", "wave");
    return wav;
  }();
  return path;
}

#define SKIP_WITHOUT_OPENAL() \
  if (!OpenALLinked()) GTEST_SKIP() << "this build has no OpenAL Soft (the Windows one)"

std::unique_ptr<AudioOutput> OpenOpenALToWave() {
  OpenALWavePath();
  return OpenOpenALOutput();
}

std::string DiskPath() { return support::ProcessDir() + "/sdl-disk.raw"; }

std::unique_ptr<AudioOutput> OpenFreeAudioToDisk() {
  SetEnv("SDL_AUDIODRIVER", "disk");
  SetEnv("SDL_DISKAUDIOFILE", DiskPath());
  return OpenFreeAudioOutput();
}

std::unique_ptr<AudioOutput> OpenFreeAudioToDummy() {
  SetEnv("SDL_AUDIODRIVER", "dummy");
  return OpenFreeAudioOutput();
}

// A square wave, amplitude 8000 (so its RMS is 8000).
SoundData Square(double seconds, int rate = 22050, double hz = 440, int channels = 1) {
  SoundData s;
  s.rate = rate;
  s.channels = channels;
  size_t frames = static_cast<size_t>(seconds * rate);
  for (size_t i = 0; i < frames; ++i) {
    int16_t v = std::fmod(i * hz / rate, 1.0) < 0.5 ? 8000 : -8000;
    for (int c = 0; c < channels; ++c) s.samples.push_back(v);
  }
  return s;
}

struct Pcm {
  std::vector<int16_t> frames;  // stereo interleaved
  int rate = 44100;
};

uint32_t Le32(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The 16-bit stereo data of a RIFF wave; empty when it is something else.
Pcm ReadWave(const std::string& path) {
  Pcm pcm;
  const std::string b = support::ReadBytes(path);
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVE", 4)) return pcm;
  size_t at = 12;
  bool good = false;
  while (at + 8 <= b.size()) {
    uint32_t size = Le32(&b[at + 4]);
    if (!std::memcmp(&b[at], "fmt ", 4) && at + 24 <= b.size()) {
      uint16_t channels, bits;
      std::memcpy(&channels, &b[at + 10], 2);
      std::memcpy(&bits, &b[at + 22], 2);
      pcm.rate = static_cast<int>(Le32(&b[at + 12]));
      good = channels == 2 && bits == 16;
    } else if (!std::memcmp(&b[at], "data", 4)) {
      // The size is patched in when the device closes; trust the file's end.
      size_t n = (b.size() - at - 8) / 2;
      pcm.frames.resize(n & ~size_t(1));
      std::memcpy(pcm.frames.data(), &b[at + 8], pcm.frames.size() * 2);
      break;
    }
    at += 8 + size + (size & 1);
  }
  if (!good) pcm.frames.clear();
  return pcm;
}

Pcm ReadRaw(const std::string& path) {
  Pcm pcm;
  const std::string b = support::ReadBytes(path);
  pcm.frames.resize((b.size() / 4) * 2);
  std::memcpy(pcm.frames.data(), b.data(), pcm.frames.size() * 2);
  return pcm;
}

// A stretch of sound between silences.
struct Burst {
  double start = 0, seconds = 0;
  double rmsL = 0, rmsR = 0;  // over the stretch's inner part
};

// Cuts the audio into 5 ms windows; windows louder than a whisper are sound,
// and stretches of sound closer than 40 ms are one burst.
std::vector<Burst> Bursts(const Pcm& pcm) {
  const size_t win = static_cast<size_t>(pcm.rate) / 200;
  const size_t count = pcm.frames.size() / 2 / win;
  std::vector<double> l(count), r(count);
  for (size_t w = 0; w < count; ++w) {
    double sl = 0, sr = 0;
    for (size_t i = w * win; i < (w + 1) * win; ++i) {
      sl += double(pcm.frames[2 * i]) * pcm.frames[2 * i];
      sr += double(pcm.frames[2 * i + 1]) * pcm.frames[2 * i + 1];
    }
    l[w] = std::sqrt(sl / win);
    r[w] = std::sqrt(sr / win);
  }
  std::vector<std::pair<size_t, size_t>> spans;  // [first, last] windows
  for (size_t w = 0; w < count; ++w) {
    if (std::max(l[w], r[w]) < 200) continue;
    if (!spans.empty() && w - spans.back().second <= 8) spans.back().second = w;
    else spans.push_back({w, w});
  }
  std::vector<Burst> out;
  const double winSec = double(win) / pcm.rate;
  for (auto [a, z] : spans) {
    Burst b;
    b.start = a * winSec;
    b.seconds = (z - a + 1) * winSec;
    size_t lo = a + 2, hi = z >= 2 ? z - 2 : z;  // skip the edges
    if (lo > hi) lo = hi = a;
    double sl = 0, sr = 0;
    for (size_t w = lo; w <= hi; ++w) {
      sl += l[w] * l[w];
      sr += r[w] * r[w];
    }
    b.rmsL = std::sqrt(sl / double(hi - lo + 1));
    b.rmsR = std::sqrt(sr / double(hi - lo + 1));
    out.push_back(b);
  }
  return out;
}

std::string Describe(const std::vector<Burst>& bursts) {
  std::string s;
  char line[128];
  for (const Burst& b : bursts) {
    std::snprintf(line, sizeof line, "\n  at %.3f s for %.3f s, rms L %.0f R %.0f", b.start, b.seconds, b.rmsL, b.rmsR);
    s += line;
  }
  return s;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

// Plays the sound on the channel with these settings, waits for its end and
// leaves a gap of silence after it.
void PlayThrough(AudioOutput& out, int ch, SoundData& snd, float volume, float pan, float rate) {
  ASSERT_TRUE(out.Cue(ch, snd));
  out.SetVolume(ch, volume);
  out.SetPan(ch, pan);
  out.SetRate(ch, rate);
  out.Resume(ch);
  EXPECT_TRUE(out.Playing(ch));
  EXPECT_TRUE(WaitUntil([&] { return !out.Playing(ch); }, 2s)) << "never ended";
  std::this_thread::sleep_for(100ms);
}

// Cued-but-paused stays silent; volume, pan and rate shape what is heard.
void CheckMix(const std::function<std::unique_ptr<AudioOutput>()>& open, const std::function<Pcm()>& capture) {
  auto out = open();
  ASSERT_NE(out, nullptr);
  SoundData held = Square(0.6, 22050, 300);
  SoundData beep = Square(0.2);
  int heldCh = out->Alloc(), ch = out->Alloc();
  ASSERT_GT(heldCh, 0);
  ASSERT_GT(ch, 0);
  ASSERT_NE(heldCh, ch);
  ASSERT_TRUE(out->Cue(heldCh, held));  // never resumed
  EXPECT_FALSE(out->Playing(heldCh));
  std::this_thread::sleep_for(100ms);
  PlayThrough(*out, ch, beep, 1, 0, 1);
  PlayThrough(*out, ch, beep, 0.25f, 0, 1);
  PlayThrough(*out, ch, beep, 1, -1, 1);
  PlayThrough(*out, ch, beep, 1, 1, 1);
  PlayThrough(*out, ch, beep, 1, 0, 2);
  EXPECT_FALSE(out->Playing(heldCh));
  out.reset();

  std::vector<Burst> b = Bursts(capture());
  ASSERT_EQ(b.size(), 5u) << Describe(b);
  SCOPED_TRACE(Describe(b));
  EXPECT_NEAR(b[0].seconds, 0.2, 0.03);
  EXPECT_GT(b[0].rmsL, 3000);
  EXPECT_NEAR(b[0].rmsL / b[0].rmsR, 1.0, 0.1);
  EXPECT_NEAR(b[0].rmsL / b[1].rmsL, 4.0, 0.5);  // volume 1 against 0.25
  EXPECT_NEAR(b[1].seconds, 0.2, 0.03);
  EXPECT_GT(b[2].rmsL, 20 * b[2].rmsR);  // hard left
  EXPECT_GT(b[3].rmsR, 20 * b[3].rmsL);  // hard right
  EXPECT_NEAR(b[4].seconds, 0.1, 0.03);  // double speed
}

TEST(OpenALOutput, WaveCaptureFollowsCueVolumePanAndRate) {
  SKIP_WITHOUT_OPENAL();
  CheckMix(OpenOpenALToWave, [] { return ReadWave(OpenALWavePath()); });
}

TEST(FreeAudioOutput, DiskCaptureFollowsCueVolumePanAndRate) {
  CheckMix(OpenFreeAudioToDisk, [] { return ReadRaw(DiskPath()); });
}

// The back end opens OpenAL ahead of a switch while another output plays:
// each output must keep talking to its own context.
TEST(OpenALOutput, TwoOutputsAtOnceKeepTheirOwnSources) {
  SKIP_WITHOUT_OPENAL();
  auto a = OpenOpenALToWave();
  ASSERT_NE(a, nullptr);
  SoundData loop = Square(0.05);
  loop.loop = true;
  int ch = a->Alloc();
  ASSERT_TRUE(a->Cue(ch, loop));
  {
    auto b = OpenOpenALToWave();
    ASSERT_NE(b, nullptr);
    SoundData beep = Square(0.05);
    int other = b->Alloc();
    ASSERT_TRUE(b->Cue(other, beep));
    a->Resume(ch);
    EXPECT_TRUE(a->Playing(ch));
    EXPECT_FALSE(b->Playing(other));
    b->Release(beep);
  }
  EXPECT_TRUE(a->Playing(ch));
  a->Stop(ch);
  EXPECT_FALSE(a->Playing(ch));
  a->Release(loop);
}

// Channel bookkeeping, the same for both outputs.
class ChannelLife : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (std::string(GetParam()) == "OpenAL") SKIP_WITHOUT_OPENAL();
    out = std::string(GetParam()) == "OpenAL" ? OpenOpenALToWave() : OpenFreeAudioToDummy();
    ASSERT_NE(out, nullptr);
  }
  std::unique_ptr<AudioOutput> out;
};

TEST_P(ChannelLife, PlayingEndsStopsAndRestarts) {
  SoundData beep = Square(0.3);
  int ch = out->Alloc();
  ASSERT_GT(ch, 0);
  EXPECT_FALSE(out->Playing(ch));  // allocated, nothing bound
  ASSERT_TRUE(out->Cue(ch, beep));
  EXPECT_FALSE(out->Playing(ch));  // cued is paused
  out->Resume(ch);
  EXPECT_TRUE(out->Playing(ch));
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitUntil([&] { return !out->Playing(ch); }, 1s));
  EXPECT_GT(std::chrono::steady_clock::now() - t0, 250ms);
  out->Resume(ch);  // a finished channel stays finished
  EXPECT_FALSE(out->Playing(ch));

  // Cue on a sounding channel starts the sound again from its beginning.
  ASSERT_TRUE(out->Cue(ch, beep));
  out->Resume(ch);
  t0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(150ms);
  ASSERT_TRUE(out->Cue(ch, beep));
  EXPECT_FALSE(out->Playing(ch));
  out->Resume(ch);
  std::this_thread::sleep_until(t0 + 340ms);  // past the first start's end
  EXPECT_TRUE(out->Playing(ch));
  out->Stop(ch);
  EXPECT_FALSE(out->Playing(ch));
  out->Resume(ch);  // stopped is not paused
  EXPECT_FALSE(out->Playing(ch));
}

TEST_P(ChannelLife, LoopingSoundsUntilStoppedAndReleaseSilences) {
  SoundData loop = Square(0.05);
  loop.loop = true;
  int ch = out->Alloc();
  ASSERT_TRUE(out->Cue(ch, loop));
  EXPECT_NE(loop.device, 0u);
  out->Resume(ch);
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(out->Playing(ch));
  out->Release(loop);  // the program frees the sound while it plays
  EXPECT_EQ(loop.device, 0u);
  EXPECT_FALSE(out->Playing(ch));
  ASSERT_TRUE(out->Cue(ch, loop));  // made again on demand
  out->Resume(ch);
  EXPECT_TRUE(out->Playing(ch));
  out->Stop(ch);
  EXPECT_FALSE(out->Playing(ch));
  out->Release(loop);
  out->Release(loop);  // twice is harmless
}

TEST_P(ChannelLife, BadChannelsAndSoundsAreHarmless) {
  SoundData beep = Square(0.05), empty;
  SoundData odd = Square(0.05);
  odd.channels = 3;
  for (int ch : {0, -1, 9999}) {
    EXPECT_FALSE(out->Cue(ch, beep));
    out->Resume(ch);
    out->Stop(ch);
    out->SetVolume(ch, 1);
    out->SetPan(ch, 0);
    out->SetRate(ch, 1);
    EXPECT_FALSE(out->Playing(ch));
  }
  int ch = out->Alloc();
  EXPECT_FALSE(out->Cue(ch, empty));
  EXPECT_FALSE(out->Cue(ch, odd));
  ASSERT_TRUE(out->Cue(ch, beep));
  out->SetVolume(ch, NAN);
  out->SetPan(ch, 7);
  out->SetRate(ch, -3);
  out->Resume(ch);
  EXPECT_TRUE(out->Playing(ch));
  out->Release(beep);
}

// Callers take a new channel for every effect and drop finished ones: ids
// must come back instead of growing without end, but never while in use.
TEST_P(ChannelLife, FinishedChannelsAreRecycledHeldOnesAreNot) {
  SoundData beep = Square(0.05);
  std::set<int> held;
  for (int i = 0; i < 40; ++i) held.insert(out->Alloc());
  EXPECT_EQ(held.size(), 40u);
  EXPECT_EQ(held.count(0), 0u);

  int looping = 0;
  SoundData loop = Square(0.05);
  loop.loop = true;
  looping = out->Alloc();
  ASSERT_TRUE(out->Cue(looping, loop));
  out->Resume(looping);

  std::set<int> seen;
  for (int i = 0; i < 600; ++i) {
    int ch = out->Alloc();
    ASSERT_GT(ch, 0);
    EXPECT_EQ(held.count(ch), 0u);
    EXPECT_NE(ch, looping);
    seen.insert(ch);
    ASSERT_TRUE(out->Cue(ch, beep));
    out->Resume(ch);
    out->Stop(ch);
  }
  EXPECT_LE(seen.size(), 64u);
  EXPECT_TRUE(out->Playing(looping));
  out->Release(beep);
  out->Release(loop);
}

// An output switched off without releasing its sounds leaves handles on
// them; the next output may number its own buffers the same way.
TEST_P(ChannelLife, HandlesLeftByAnEarlierOutputAreNotTrusted) {
  SoundData first = Square(0.05, 22050, 440), second = Square(0.05, 22050, 880);
  ASSERT_TRUE(out->Cue(out->Alloc(), first));
  out.reset();
  SetUp();
  ASSERT_TRUE(out->Cue(out->Alloc(), second));
  ASSERT_TRUE(out->Cue(out->Alloc(), first));
  EXPECT_NE(first.device, second.device);
  out->Release(first);
  out->Release(second);
}

INSTANTIATE_TEST_SUITE_P(Outputs, ChannelLife, ::testing::Values("OpenAL", "FreeAudio"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
