// output.h — the audio/ room: one sound output behind the SDL back end.
// "OpenAL" plays through OpenAL Soft (openal.cpp; noopenal.cpp where the
// build has none); "FreeAudio" is our own small mixer (mixer.cpp) over the
// sound device SDL lends it (sdl/services.h), with volume, pan and rate per
// channel. Both keep their channels in one voice pool (voices.h). An output
// owns its device and the device's copies of the sounds. Sees OpenAL only.
// With no sound device the opener answers nullptr and the program carries on
// silent.
#pragma once

#include <memory>

#include "media/backend.h"

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  virtual void Release(SoundData& snd) = 0;           // forget the device copy of a sound
  virtual int Alloc() = 0;                            // a new channel, 0 when none
  virtual bool Cue(int channel, SoundData& snd) = 0;  // bind paused
  virtual void Resume(int channel) = 0;
  virtual void Stop(int channel) = 0;
  virtual bool Playing(int channel) = 0;
  virtual void SetVolume(int channel, float v) = 0;  // 0..1
  virtual void SetPan(int channel, float p) = 0;     // -1..1
  virtual void SetRate(int channel, float r) = 0;    // 1 = recorded speed
};

std::unique_ptr<AudioOutput> OpenOpenALOutput();  // nullptr without library or device
bool OpenALLinked();  // false where the build has no OpenAL Soft (Windows): "OpenAL" is not offered there
std::unique_ptr<AudioOutput> OpenFreeAudioOutput();  // nullptr without an SDL audio device
