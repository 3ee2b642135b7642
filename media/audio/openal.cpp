// openal.cpp — the "OpenAL" sound output: OpenAL Soft sources as
// channels, one buffer per sound made on first cue. Channels are recycled by
// the voice pool both outputs share (media/audio/voices.h).
#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "media/audio/output.h"
#include "media/audio/voices.h"

namespace {

constexpr size_t kMaxVoices = 256;      // OpenAL Soft's usual source limit
constexpr float kMinPitch = 1.0f / 64;  // keep AL_PITCH positive and sane
constexpr float kMaxPitch = 16.0f;

struct Voice {
  ALuint source = 0;
  VoiceState state = VoiceState::FRESH;
  uint64_t cueSeq = 0;  // when it was last cued, for least-recently-used reuse
};

class OpenALOutput final : public AudioOutput {
 public:
  OpenALOutput(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {}

  ~OpenALOutput() override {
    Use();
    for (Voice& v : pool_.All()) {
      alSourceStop(v.source);
      alSourcei(v.source, AL_BUFFER, 0);
      alDeleteSources(1, &v.source);
    }
    for (auto& [b, owner] : buffers_) alDeleteBuffers(1, &b);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
  }

  void Release(SoundData& snd) override {
    Use();
    ALuint buf = OwnBuffer(snd);
    snd.device = 0;
    if (!buf) return;
    // A buffer still attached to a source cannot be deleted.
    for (Voice& v : pool_.All()) {
      ALint attached = 0;
      alGetSourcei(v.source, AL_BUFFER, &attached);
      if (static_cast<ALuint>(attached) != buf) continue;
      alSourceStop(v.source);
      alSourcei(v.source, AL_BUFFER, 0);
      Pool::Stop(v);
    }
    alDeleteBuffers(1, &buf);
    buffers_.erase(buf);
  }

  int Alloc() override {
    Use();
    Voice* pick = pool_.Pick(NewVoice, Sounding);
    if (!pick) return 0;
    Reset(*pick);
    return pool_.Channel(*pick);
  }

  bool Cue(int channel, SoundData& snd) override {
    Use();
    Voice* v = pool_.Find(channel);
    if (!v) return false;
    ALuint buf = BufferFor(snd);
    if (!buf) return false;
    alSourceStop(v->source);
    alSourcei(v->source, AL_BUFFER, static_cast<ALint>(buf));
    alSourcei(v->source, AL_LOOPING, snd.loop ? AL_TRUE : AL_FALSE);
    alSourceRewind(v->source);  // initial state: silent until resumed
    pool_.Cued(*v);
    return true;
  }

  void Resume(int channel) override {
    Use();
    Voice* v = pool_.Find(channel);
    if (v && Pool::Start(*v)) alSourcePlay(v->source);
  }

  void Stop(int channel) override {
    Use();
    Voice* v = pool_.Find(channel);
    if (!v) return;
    alSourceStop(v->source);
    Pool::Stop(*v);
  }

  // True only while sounding: a cued channel that was never resumed is not playing.
  bool Playing(int channel) override {
    Use();
    Voice* v = pool_.Find(channel);
    return v && v->state == VoiceState::STARTED && Sounding(*v);
  }

  void SetVolume(int channel, float vol) override {
    Use();
    if (Voice* v = pool_.Find(channel)) alSourcef(v->source, AL_GAIN, ClampF(vol, 0, 1));
  }

  void SetPan(int channel, float pan) override {
    Use();
    Voice* v = pool_.Find(channel);
    if (!v) return;
    // On a unit circle in front of the listener, so only direction changes.
    float x = ClampF(pan, -1, 1);
    alSource3f(v->source, AL_POSITION, x, 0, -std::sqrt(1 - x * x));
  }

  void SetRate(int channel, float rate) override {
    Use();
    if (Voice* v = pool_.Find(channel)) alSourcef(v->source, AL_PITCH, ClampF(rate, kMinPitch, kMaxPitch));
  }

 private:
  // Another output (one opened ahead for a later switch) may have made its
  // own context current.
  void Use() {
    if (alcGetCurrentContext() != context_) alcMakeContextCurrent(context_);
  }

  using Pool = VoicePool<Voice>;

  static bool Sounding(const Voice& v) {
    ALint st = AL_STOPPED;
    alGetSourcei(v.source, AL_SOURCE_STATE, &st);
    return st == AL_PLAYING;
  }

  // A voice with a source of its own, none when OpenAL has no more.
  static std::optional<Voice> NewVoice() {
    Voice v;
    alGetError();
    alGenSources(1, &v.source);
    if (alGetError() != AL_NO_ERROR) return std::nullopt;
    alSourcei(v.source, AL_SOURCE_RELATIVE, AL_TRUE);
    return v;
  }

  void Reset(Voice& v) {
    alSourceStop(v.source);
    alSourcei(v.source, AL_BUFFER, 0);
    alSourcef(v.source, AL_GAIN, 1);
    alSourcef(v.source, AL_PITCH, 1);
    alSource3f(v.source, AL_POSITION, 0, 0, -1);
    v.state = VoiceState::FRESH;
  }

  // The sound's buffer when we made it for this very sound; a handle left
  // by another output, or by an earlier one whose ids we now reuse, is not.
  ALuint OwnBuffer(const SoundData& snd) const {
    if (snd.device == 0 || snd.device > UINT32_MAX) return 0;
    ALuint b = static_cast<ALuint>(snd.device);
    auto it = buffers_.find(b);
    return it != buffers_.end() && it->second == &snd ? b : 0;
  }

  ALuint BufferFor(SoundData& snd) {
    if (ALuint b = OwnBuffer(snd)) return b;
    if (snd.samples.empty() || snd.rate <= 0 || (snd.channels != 1 && snd.channels != 2)) return 0;
    size_t frames = snd.samples.size() / static_cast<size_t>(snd.channels);
    size_t bytes = frames * static_cast<size_t>(snd.channels) * sizeof(int16_t);
    if (frames == 0 || bytes > INT32_MAX) return 0;
    ALuint b = 0;
    alGetError();
    alGenBuffers(1, &b);
    if (alGetError() != AL_NO_ERROR) return 0;
    alBufferData(b, snd.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, snd.samples.data(),
                 static_cast<ALsizei>(bytes), snd.rate);
    if (alGetError() != AL_NO_ERROR) {
      alDeleteBuffers(1, &b);
      return 0;
    }
    buffers_[b] = &snd;
    snd.device = b;
    return b;
  }

  ALCdevice* device_;
  ALCcontext* context_;
  Pool pool_{kMaxVoices};
  std::unordered_map<ALuint, const SoundData*> buffers_;  // ours, by the sound they hold
};

}  // namespace

bool OpenALLinked() { return true; }

std::unique_ptr<AudioOutput> OpenOpenALOutput() {
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) {
    ReportError("OpenAL: no sound device could be opened");
    return nullptr;
  }
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context || !alcMakeContextCurrent(context)) {
    const ALCchar* why = alcGetString(device, alcGetError(device));
    ReportError(std::string("OpenAL: no sound context: ") + (why ? why : "unknown reason"));
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return nullptr;
  }
  alDistanceModel(AL_NONE);  // pan by direction only; distance never attenuates
  return std::make_unique<OpenALOutput>(device, context);
}
