// services.cpp — SDL's help for the other rooms (see services.h).
#include "media/sdl/services.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "media/backend.h"

namespace {

// A string SDL made for us, taken over and freed; "" for none.
std::string TakeSdlString(char* made) {
  if (!made) return {};
  std::string taken = made;
  SDL_free(made);
  return taken;
}

}  // namespace

std::string SdlBasePath() { return TakeSdlString(SDL_GetBasePath()); }

std::string SdlPrefPath(const std::string& app, std::string& error) {
  std::string path = TakeSdlString(SDL_GetPrefPath("", app.c_str()));
  if (path.empty()) error = SDL_GetError();
  return path;
}

void SdlDelay(int ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

void SdlErrorBox(const std::string& title, const std::string& text) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

// Anything SDL reads as WAV becomes signed 16-bit, mono or stereo, at its rate.
bool SdlDecodeWav(const uint8_t* data, size_t size, SoundData& out) {
  if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (!rw) return false;
  SDL_AudioSpec spec;
  Uint8* buf = nullptr;
  Uint32 len = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &buf, &len)) return false;
  bool ok = false;
  const int channels = spec.channels >= 2 ? 2 : 1;
  SDL_AudioCVT cvt;
  if (spec.channels > 0 && spec.freq > 0 &&
      SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, static_cast<Uint8>(channels),
                        spec.freq) >= 0) {
    std::vector<uint8_t> work;
    size_t bytes = len;
    size_t room = bytes * static_cast<size_t>(cvt.needed ? std::max(cvt.len_mult, 1) : 1);
    if (room <= (size_t(1) << 30)) {
      work.assign(room, 0);
      if (len) std::memcpy(work.data(), buf, len);
      if (cvt.needed) {
        cvt.buf = work.data();
        cvt.len = static_cast<int>(len);
        if (len > INT_MAX || SDL_ConvertAudio(&cvt) != 0) room = 0;
        else bytes = static_cast<size_t>(cvt.len_cvt);
      }
      size_t frames = room ? bytes / (2 * static_cast<size_t>(channels)) : 0;
      if (frames > 0) {
        out.samples.assign(frames * channels, 0);
        std::memcpy(out.samples.data(), work.data(), frames * channels * 2);
        out.channels = channels;
        out.rate = spec.freq;
        ok = true;
      }
    }
  }
  SDL_FreeWAV(buf);
  return ok;
}

uint32_t SdlOpenSound(int rate, int samples, SdlMixer mix, void* user, int& deviceRate, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = std::string("no sound: ") + SDL_GetError();
    return 0;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = static_cast<Uint16>(samples);
  want.callback = mix;
  want.userdata = user;
  const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (dev == 0) {
    error = std::string("no sound device: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  deviceRate = have.freq > 0 ? have.freq : rate;
  SDL_PauseAudioDevice(dev, 0);
  return dev;
}

void SdlCloseSound(uint32_t device) {
  if (device == 0) return;
  SDL_CloseAudioDevice(device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlLockSound(uint32_t device) { SDL_LockAudioDevice(device); }
void SdlUnlockSound(uint32_t device) { SDL_UnlockAudioDevice(device); }
