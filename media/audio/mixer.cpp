// mixer.cpp — the "FreeAudio" sound output: our own small mixer over
// SDL's audio device (16-bit stereo). Each channel steps through its clip at
// rate × clip rate / device rate with linear interpolation, scaled by volume
// and a balance-style pan (centre keeps both sides at full level).
//
// The mixer owns a copy of every cued sound, so the audio thread never reads
// a SoundData the program may free. Channels are recycled by the voice pool
// both outputs share (media/audio/voices.h).
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "media/audio/output.h"
#include "media/audio/voices.h"
#include "media/sdl/services.h"

namespace {

constexpr size_t kMaxVoices = 1024;
constexpr float kMinRate = 1.0f / 64;
constexpr float kMaxRate = 16.0f;

struct Clip {
  std::vector<int16_t> samples;  // interleaved
  int channels = 1;
  int rate = 44100;
  bool loop = false;
  size_t frames = 0;
};

struct Voice {
  VoiceState state = VoiceState::FRESH;
  const Clip* clip = nullptr;
  double pos = 0;  // in clip frames
  float volume = 1, pan = 0, rate = 1;
  bool ended = false;  // ran off the end (set by the audio thread)
  uint64_t cueSeq = 0;
};

class FreeAudioOutput final : public AudioOutput {
 public:
  FreeAudioOutput() = default;

  // Opens the device; false leaves nothing open.
  bool Open() {
    std::string error;
    dev_ = SdlOpenSound(44100, 512, &FreeAudioOutput::Callback, this, deviceRate_, error);
    if (dev_ == 0) ReportError("FreeAudio: " + error);
    return dev_ != 0;
  }

  ~FreeAudioOutput() override {
    if (dev_ == 0) return;
    SdlCloseSound(dev_);  // waits for the callback to finish
    for (auto& [id, clip] : clips_) delete clip;
  }

  void Release(SoundData& snd) override {
    auto it = clips_.find(snd.device);
    snd.device = 0;
    if (it == clips_.end()) return;
    const Clip* clip = it->second;
    {
      Lock lock(dev_);
      for (Voice& v : pool_.All()) {
        if (v.clip != clip) continue;
        v.clip = nullptr;
        Pool::Stop(v);
      }
    }
    clips_.erase(it);
    delete clip;
  }

  int Alloc() override {
    Lock lock(dev_);
    Voice* pick = pool_.Pick([] { return std::optional<Voice>(Voice{}); }, Sounding);
    if (!pick) return 0;
    *pick = Voice{};
    return pool_.Channel(*pick);
  }

  bool Cue(int channel, SoundData& snd) override {
    if (!pool_.Find(channel)) return false;
    const Clip* clip = ClipFor(snd);
    if (!clip) return false;
    Lock lock(dev_);
    Voice* v = pool_.Find(channel);
    v->clip = clip;
    v->pos = 0;
    v->ended = false;
    pool_.Cued(*v);
    return true;
  }

  void Resume(int channel) override {
    Lock lock(dev_);
    if (Voice* v = pool_.Find(channel)) Pool::Start(*v);
  }

  void Stop(int channel) override {
    Lock lock(dev_);
    if (Voice* v = pool_.Find(channel)) Pool::Stop(*v);
  }

  // True only while sounding: a cued channel that was never resumed is not playing.
  bool Playing(int channel) override {
    Lock lock(dev_);
    Voice* v = pool_.Find(channel);
    return v && Sounding(*v);
  }

  void SetVolume(int channel, float vol) override {
    Lock lock(dev_);
    if (Voice* v = pool_.Find(channel)) v->volume = ClampF(vol, 0, 1);
  }

  void SetPan(int channel, float pan) override {
    Lock lock(dev_);
    if (Voice* v = pool_.Find(channel)) v->pan = ClampF(pan, -1, 1);
  }

  void SetRate(int channel, float rate) override {
    Lock lock(dev_);
    if (Voice* v = pool_.Find(channel)) v->rate = ClampF(rate, kMinRate, kMaxRate);
  }

 private:
  struct Lock {
    explicit Lock(uint32_t d) : dev(d) { SdlLockSound(dev); }
    ~Lock() { SdlUnlockSound(dev); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    uint32_t dev;
  };

  using Pool = VoicePool<Voice>;

  static bool Sounding(const Voice& v) { return v.state == VoiceState::STARTED && v.clip && !v.ended; }

  const Clip* ClipFor(SoundData& snd) {
    auto it = clips_.find(snd.device);
    if (it != clips_.end()) return it->second;
    if (snd.rate <= 0 || (snd.channels != 1 && snd.channels != 2)) return nullptr;
    size_t frames = snd.samples.size() / static_cast<size_t>(snd.channels);
    if (frames == 0) return nullptr;
    Clip* clip = new Clip;
    clip->samples.assign(snd.samples.begin(), snd.samples.begin() + static_cast<long>(frames) * snd.channels);
    clip->channels = snd.channels;
    clip->rate = snd.rate;
    clip->loop = snd.loop;
    clip->frames = frames;
    // Handles never repeat within a run, and start far above any OpenAL
    // buffer id, so a handle left by another output is never taken for ours.
    static std::atomic<uintptr_t> next{uintptr_t(1) << (sizeof(uintptr_t) > 4 ? 40 : 31)};
    snd.device = next++;
    clips_[snd.device] = clip;
    return clip;
  }

  static void Callback(void* userdata, uint8_t* stream, int len) {
    static_cast<FreeAudioOutput*>(userdata)->Mix(reinterpret_cast<int16_t*>(stream),
                                                 static_cast<size_t>(len) / (2 * sizeof(int16_t)));
  }

  // Runs on the audio thread with the device lock held.
  void Mix(int16_t* out, size_t frames) {
    mixL_.assign(frames, 0.0f);
    mixR_.assign(frames, 0.0f);
    for (Voice& v : pool_.All()) {
      if (!Sounding(v)) continue;
      MixVoice(v, frames);
    }
    for (size_t i = 0; i < frames; ++i) {
      out[2 * i] = ToSample(mixL_[i]);
      out[2 * i + 1] = ToSample(mixR_[i]);
    }
  }

  void MixVoice(Voice& v, size_t frames) {
    const Clip& c = *v.clip;
    const double step = static_cast<double>(v.rate) * c.rate / deviceRate_;
    const float gl = v.volume * std::min(1.0f, 1.0f - v.pan);
    const float gr = v.volume * std::min(1.0f, 1.0f + v.pan);
    const double len = static_cast<double>(c.frames);
    const int16_t* s = c.samples.data();
    for (size_t i = 0; i < frames; ++i) {
      if (v.pos >= len) {
        if (!c.loop) {
          v.ended = true;
          return;
        }
        v.pos = std::fmod(v.pos, len);
      }
      size_t a = static_cast<size_t>(v.pos);
      size_t b = a + 1 < c.frames ? a + 1 : (c.loop ? 0 : a);
      float t = static_cast<float>(v.pos - static_cast<double>(a));
      float l, r;
      if (c.channels == 2) {
        l = s[2 * a] + (s[2 * b] - s[2 * a]) * t;
        r = s[2 * a + 1] + (s[2 * b + 1] - s[2 * a + 1]) * t;
      } else {
        l = r = s[a] + (s[b] - s[a]) * t;
      }
      mixL_[i] += l * gl;
      mixR_[i] += r * gr;
      v.pos += step;
    }
  }

  static int16_t ToSample(float x) {
    if (x > 32767.0f) return 32767;
    if (x < -32768.0f) return -32768;
    return static_cast<int16_t>(std::lrint(x));
  }

  uint32_t dev_ = 0;
  int deviceRate_ = 44100;
  Pool pool_{kMaxVoices};                       // guarded by the device lock
  std::unordered_map<uintptr_t, Clip*> clips_;  // by handle; only the program thread changes it
  std::vector<float> mixL_, mixR_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenFreeAudioOutput() {
  auto out = std::make_unique<FreeAudioOutput>();
  if (!out->Open()) return nullptr;
  return out;
}
