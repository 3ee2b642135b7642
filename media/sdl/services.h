// services.h — what the other rooms ask of SDL besides the back end: the
// folders it knows, a sleep, an error box, its WAV loader, and the sound
// device the mixer plays through. SDL's own headers stay in this room (and
// gl/, which takes its entry points from SDL); the others call these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SoundData;

// The executable's folder, "" when SDL cannot tell.
std::string SdlBasePath();
// The system's folder for app's player files, made if missing; "" and error
// set to SDL's reason when there is none.
std::string SdlPrefPath(const std::string& app, std::string& error);
// Sleeps about ms milliseconds.
void SdlDelay(int ms);
// A message box with an OK button, for a program that has no standard error.
void SdlErrorBox(const std::string& title, const std::string& text);

// A sound file's bytes as SDL's loader reads them: signed 16-bit, mono or
// stereo, at the file's own rate. False when SDL refuses them.
bool SdlDecodeWav(const uint8_t* data, size_t size, SoundData& out);

// The sound device: bytes of 16-bit stereo frames filled by mix on SDL's
// audio thread, with the device's lock held.
using SdlMixer = void (*)(void* user, uint8_t* stream, int bytes);
// Opens and starts the device at about rate; 0 and error set when there is
// none. deviceRate is the rate the device really runs at.
uint32_t SdlOpenSound(int rate, int samples, SdlMixer mix, void* user, int& deviceRate, std::string& error);
// Closes it, waiting for mix to return.
void SdlCloseSound(uint32_t device);
// While locked, mix is not running.
void SdlLockSound(uint32_t device);
void SdlUnlockSound(uint32_t device);
