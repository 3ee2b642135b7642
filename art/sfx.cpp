// sfx.cpp — synthesised sound effects (see sfx.h).
#include "art/sfx.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "art/canvas.h"  // Lcg

namespace {

constexpr double kTau = 6.283185307179586;

enum class Wave { Square, Saw, Triangle, Sine, Noise };

// Smooths the jump of a square or saw edge over one sample, so high notes do
// not fold back into harsh lower tones (polynomial band-limited step).
double Blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1;
  }
  if (t > 1 - dt) {
    t = (t - 1) / dt;
    return t * t + t + t + 1;
  }
  return 0;
}

struct Tone {
  Wave wave = Wave::Square;
  double start = 0, dur = 0.1;  // seconds
  double f0 = 440, f1 = 440;    // pitch slides exponentially from f0 to f1
  double vol = 0.5;
  double attack = 0.005;           // seconds to full volume
  double decay = 1e9;              // time constant of the exponential fall after the attack
  double duty = 0.5;               // square only
  double vibHz = 0, vibDepth = 0;  // vibrato, depth as a fraction of the pitch
  double lowpass = 0;              // one-pole cut-off in Hz, 0 for none
};

struct Mixer {
  std::vector<double> s;
  Lcg rng{12345};

  void Add(const Tone& t) {
    size_t first = size_t(t.start * kSampleRate), n = size_t(t.dur * kSampleRate);
    if (s.size() < first + n) s.resize(first + n, 0.0);
    double phase = 0, held = 0, lp = 0;
    double a = t.lowpass > 0 ? 1 - std::exp(-kTau * t.lowpass / kSampleRate) : 1;
    for (size_t i = 0; i < n; ++i) {
      double time = double(i) / kSampleRate, u = time / t.dur;
      double f = t.f0 * std::pow(t.f1 / t.f0, u);
      if (t.vibDepth > 0) f *= 1 + t.vibDepth * std::sin(kTau * t.vibHz * time);
      double before = phase;
      phase += f / kSampleRate;
      phase -= std::floor(phase);
      double v = 0;
      switch (t.wave) {
        case Wave::Square: {
          double dt = std::min(0.5, f / kSampleRate);
          double fall = phase + 1 - t.duty;
          v = (phase < t.duty ? 1 : -1) + Blep(phase, dt) - Blep(fall - std::floor(fall), dt);
          break;
        }
        case Wave::Saw: v = 2 * phase - 1 - Blep(phase, std::min(0.5, f / kSampleRate)); break;
        case Wave::Triangle: v = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase; break;
        case Wave::Sine: v = std::sin(kTau * phase); break;
        case Wave::Noise:
          if (phase < before || i == 0) held = rng.Unit() * 2 - 1;  // new value each cycle
          v = held;
          break;
      }
      lp += a * (v - lp);
      double env = time < t.attack ? time / t.attack : std::exp(-(time - t.attack) / t.decay);
      double tail = std::min(1.0, (t.dur - time) / 0.008);  // no click at the end
      s[first + i] += lp * env * tail * t.vol;
    }
  }

  // Scale to the wanted peak and convert.
  std::vector<int16_t> Finish(double peak) {
    double m = 1e-9;
    for (double v : s) m = std::max(m, std::fabs(v));
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) out[i] = int16_t(std::lround(s[i] / m * peak * 32767));
    return out;
  }
};

double Note(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

std::vector<int16_t> Pickup() {
  Mixer m;
  const int notes[4] = {3, 7, 10, 15};  // C E G C, bright
  for (int k = 0; k < 4; ++k) {
    double f = Note(notes[k] + 12);
    m.Add({Wave::Square, k * 0.055, 0.16, f, f, 0.5, 0.003, 0.06, 0.25});
    m.Add({Wave::Triangle, k * 0.055, 0.16, f * 2, f * 2, 0.2, 0.003, 0.05});
  }
  return m.Finish(0.8);
}

std::vector<int16_t> CostumeShimmer() {
  Mixer m;
  // Two detuned voices sweep up under a sprinkle of high sparkles.
  m.Add({Wave::Triangle, 0, 0.95, Note(-9), Note(15), 0.5, 0.15, 0.6, 0.5, 7, 0.02});
  m.Add({Wave::Square, 0, 0.95, Note(-9) * 1.01, Note(15) * 1.01, 0.18, 0.15, 0.6, 0.3, 6, 0.02});
  Lcg rng(77);
  for (int k = 0; k < 22; ++k) {
    double f = Note(rng.Range(24, 40));
    m.Add({Wave::Sine, 0.05 + k * 0.038, 0.12, f, f * 1.05, 0.22, 0.002, 0.03});
  }
  return m.Finish(0.75);
}

std::vector<int16_t> BlockThud() {
  Mixer m;
  m.Add({Wave::Sine, 0, 0.22, 150, 48, 0.9, 0.002, 0.07});
  m.Add({Wave::Noise, 0, 0.12, 3000, 600, 0.5, 0.001, 0.025, 0.5, 0, 0, 900});
  return m.Finish(0.85);
}

std::vector<int16_t> JumpSweep() {
  Mixer m;
  m.Add({Wave::Square, 0, 0.24, 200, 720, 0.6, 0.004, 0.15, 0.3});
  m.Add({Wave::Triangle, 0, 0.24, 400, 1440, 0.25, 0.004, 0.12});
  return m.Finish(0.7);
}

std::vector<int16_t> BounceBlip(int pitch) {
  static const int kSteps[5] = {7, 9, 11, 12, 14};
  double f = Note(kSteps[pitch] + 7);
  Mixer m;
  m.Add({Wave::Square, 0, 0.13, f * 0.8, f * 1.35, 0.55, 0.002, 0.05, 0.5});
  m.Add({Wave::Sine, 0, 0.13, f * 1.6, f * 2.7, 0.3, 0.002, 0.04});
  return m.Finish(0.8);
}

std::vector<int16_t> CoinChime() {
  Mixer m;
  double b5 = Note(14), e6 = Note(19);
  m.Add({Wave::Square, 0, 0.08, b5, b5, 0.5, 0.002, 1, 0.5});
  m.Add({Wave::Square, 0.075, 0.5, e6, e6, 0.5, 0.002, 0.16, 0.5});
  m.Add({Wave::Sine, 0.075, 0.5, e6 * 2, e6 * 2, 0.25, 0.002, 0.12});
  return m.Finish(0.8);
}

// Background calls are quiet: the round plays them at random volumes.
std::vector<int16_t> GullCall() {
  Mixer m;
  m.Add({Wave::Saw, 0, 0.28, 1250, 1700, 0.4, 0.03, 0.2, 0.5, 18, 0.03, 3000});
  m.Add({Wave::Saw, 0.3, 0.35, 1600, 950, 0.4, 0.03, 0.2, 0.5, 16, 0.03, 3000});
  return m.Finish(0.35);
}

std::vector<int16_t> Trill() {
  Mixer m;
  for (int k = 0; k < 5; ++k) m.Add({Wave::Sine, k * 0.07, 0.06, 2600, 4200, 0.5, 0.005, 0.04});
  return m.Finish(0.3);
}

std::vector<int16_t> Wind() {
  Mixer m;
  // Slow gusts: low-passed noise under a swelling envelope.
  Tone t{Wave::Noise, 0, 1.8, 9000, 9000, 1, 0.9, 0.9, 0.5, 0, 0, 500};
  m.Add(t);
  Tone high{Wave::Noise, 0.3, 1.4, 9000, 9000, 0.4, 0.6, 0.6, 0.5, 0, 0, 1400};
  m.Add(high);
  return m.Finish(0.3);
}

std::vector<int16_t> Coo() {
  Mixer m;
  m.Add({Wave::Sine, 0, 0.3, 420, 380, 0.6, 0.06, 0.25, 0.5, 9, 0.01});
  m.Add({Wave::Sine, 0.35, 0.45, 360, 300, 0.6, 0.08, 0.3, 0.5, 9, 0.01});
  return m.Finish(0.3);
}

std::vector<int16_t> Tweets() {
  Mixer m;
  const double at[4] = {0.0, 0.16, 0.55, 0.7};
  for (int k = 0; k < 4; ++k) m.Add({Wave::Sine, at[k], 0.09, 3400, 2500, 0.5, 0.004, 0.05});
  return m.Finish(0.25);
}

}  // namespace

std::vector<int16_t> SoundEffect(int number) {
  switch (number) {
    case 1: return Pickup();
    case 2: return CostumeShimmer();
    case 3: return BlockThud();
    case 4: return JumpSweep();
    case 5:
    case 6:
    case 7:
    case 8:
    case 9: return BounceBlip(number - 5);
    case 10: return CoinChime();
    case 11: return GullCall();
    case 12: return Trill();
    case 13: return Wind();
    case 14: return Coo();
    case 15: return Tweets();
    default: return {};
  }
}

std::vector<int16_t> BadgeJingle() {
  Mixer m;
  const int notes[5] = {10, 15, 19, 22, 27};  // G C E G C, rising to a held top note
  for (int k = 0; k < 5; ++k) {
    double f = Note(notes[k]);
    bool last = k == 4;
    double dur = last ? 0.55 : 0.12;
    m.Add({Wave::Square, k * 0.085, dur, f, f, 0.45, 0.003, last ? 0.3 : 0.08, 0.25, last ? 6.0 : 0, last ? 0.01 : 0});
    m.Add({Wave::Triangle, k * 0.085, dur, f / 2, f / 2, 0.35, 0.003, last ? 0.35 : 0.1});
  }
  return m.Finish(0.8);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  auto u32 = [&](uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, f);
  };
  auto u16 = [&](uint16_t v) {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
  };
  uint32_t bytes = uint32_t(samples.size() * 2);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(uint32_t(rate));
  u32(uint32_t(rate) * 2);
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(bytes);
  for (int16_t s : samples) u16(uint16_t(s));
  bool ok = !std::ferror(f);
  return std::fclose(f) == 0 && ok;
}
