// assets.cpp — the game's image loader and the sound-effect player.
#include <cmath>

#include "game/game.h"
#include "shell/shell.h"

namespace {

// Replaces the image in a slot, releasing the one loaded before.
void Reload(int& slot, int image) {
  if (slot != 0) FreeImage(slot);
  slot = image;
}

void ReloadStrip(int& slot, const char* file, int cell, int flags) {
  if (slot != 0) FreeImage(slot);
  slot = LoadAnimImage(GameFile(file), cell, cell, 0, 16, flags);
}

}  // namespace

void LoadGameImages() {
  Reload(TitleImage, LoadImage(GameFile("inavarnocostume.png"), MASKEDIMAGE));
  ReloadStrip(HeroImage, "wenhod.png", 64, MASKEDIMAGE);
  ReloadStrip(HeroVarnoImage, "wenhodVarno.png", 64, MASKEDIMAGE);
  ReloadStrip(Hero2Image, "wenhod2.png", 64, MASKEDIMAGE);
  ReloadStrip(HeroVarno2Image, "wenhodVarno2.png", 64, MASKEDIMAGE);
  ReloadStrip(BirdImage, "Gullwick.png", 128, MASKEDIMAGE | FILTEREDIMAGE);
  ReloadStrip(BirdVarnoImage, "GullwickVarno.png", 128, MASKEDIMAGE | FILTEREDIMAGE);
  ReloadStrip(Bird2Image, "Gullwick2.png", 128, MASKEDIMAGE | FILTEREDIMAGE);
  ReloadStrip(BirdVarno2Image, "GullwickVarno2.png", 128, MASKEDIMAGE | FILTEREDIMAGE);
  ReloadStrip(SceneryImage, "scenery.png", 128, MASKEDIMAGE);
  ReloadStrip(GetsImage, "gets.png", 64, MASKEDIMAGE);
}

void PlaySfx(int number, double rate, double volume, double pan) {
  if (number < 1 || number > 200 || Sounds[number] == 0) return;
  SfxCursor += 1;
  if (SfxCursor >= 256) SfxCursor = 20;

  // A NaN volume is silence; a NaN rate or pan plays as recorded, centred.
  volume = ClampFloat(volume, 0, 1);
  rate = std::isnan(rate) ? 1 : ClampFloat(rate, 0.25, 4);
  pan = std::isnan(pan) ? 0 : ClampFloat(pan, -1, 1);

  int& channel = Channels[SfxCursor];
  if (channel != 0 && ChannelPlaying(channel)) StopChannel(channel);
  if (channel == 0) channel = AllocChannel();
  if (channel == 0) return;  // no sound device: stay silent

  CueSound(Sounds[number], channel);
  double master = Settings[SET_MASTER], sound = Settings[SET_SOUND];
  SetChannelVolume(channel, static_cast<float>(master * sound / 100.0 / 100.0 * volume));
  SetChannelPan(channel, static_cast<float>(pan));
  SetChannelRate(channel, static_cast<float>(rate));
  ResumeChannel(channel);
}
