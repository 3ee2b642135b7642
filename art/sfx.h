// sfx.h — the generator's sound synthesiser: classic square, saw, triangle,
// sine and noise voices with attack-decay envelopes and pitch slides, mixed
// into 16-bit mono PCM and written as WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSampleRate = 22050;

// The game's effect number 1..15 (see data/README.md for what plays each).
std::vector<int16_t> SoundEffect(int number);

// The splash jingle ("badgeget.wav").
std::vector<int16_t> BadgeJingle();

// 16-bit PCM mono WAV; false when the file cannot be written.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate = kSampleRate);
