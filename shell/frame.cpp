// frame.cpp — the frame service every screen calls once per frame: channel
// volumes, score popups, the hot keys, the settings panel, the debug overlay,
// the pointer, messages, presenting, 60 fps pacing, the mouse sample, the
// smoothed frame rate, the pause menu and the window-close path.
#include <cstdint>

#include "shell/shell.h"
#include "tools/tools.h"

namespace {

constexpr double kFramePeriodMs = 1000.0 / 60;

void KeepChannelVolumes() {
  double v = double(Settings[SET_MUSIC]) * Settings[SET_MASTER] / 100.0;  // volumes are not capped on reading
  for (int k = 0; k <= 256; ++k) {
    if (k == 20) v = double(Settings[SET_SOUND]) * Settings[SET_MASTER] / 100.0;
    if (Channels[k] != 0 && !ChannelPlaying(Channels[k])) Channels[k] = 0;
    if (Channels[k] != 0) SetChannelVolume(Channels[k], static_cast<float>(v / 100));
  }
}

void DrawOverlay() {
  SetColorAlpha(255, 255, 255, 1);
  SetFont(Fonts[FONT_MAIN]);
  DrawTextAligned(2, 2, Str(FrameRate), 0, 0);
  SetFont(Fonts[FONT_PANEL]);
  DrawTextAligned(2, 40, "Collection : " + Str(ReleasedMemory), 0, 0);
  DrawTextAligned(2, 60, "Used Memory : " + Str(MemoryInUse()), 0, 0);
  const auto budget = [](int kind) { return Str(SpriteCount[kind]) + "/" + Str(SpriteLimit[kind]); };
  DrawTextAligned(2, 80, "Drawn Images : " + budget(SPRITE_IMAGE), 0, 0);
  DrawTextAligned(2, 100, "Drawn Glow : " + budget(SPRITE_GLOW), 0, 0);
  DrawTextAligned(2, 120, "Drawn Particles : " + budget(SPRITE_PARTICLE), 0, 0);
  SetDrawScale(1.5, 1.5);
}

void DrawMessages() {
  int y = VirtualHeight - 16;
  SetDrawScale(1);
  SetFont(Fonts[FONT_SMALL]);
  for (auto it = Messages.begin(); it != Messages.end();) {
    ment& m = *it;
    ++m.tick;
    const bool fresh = m.tick < 60;  // highlighted at first
    if (fresh) SetColorAlpha(255, 255, 0, 0.7);
    else SetColorAlpha(0, 0, 0, 0.7);
    DrawRect(0, static_cast<float>(y), static_cast<float>(TextWidth(m.txt)), static_cast<float>(TextHeight(m.txt)));
    if (fresh) SetColorAlpha(0, 0, 0, 1);
    else SetColorAlpha(255, 255, 255, 1);
    DrawTextAligned(0, y, m.txt, 0, 0);
    y -= 14;
    if (m.tick >= 180) it = Messages.erase(it);
    else ++it;
  }
}

// Runs the pause menu over a round; the round's clock skips the pause.
int PauseRound() {
  GameState = STATE_PAUSED;
  const int32_t pausedAt = Millisecs();
  const int result = PauseMenu();
  GameState = STATE_ROUND;
  GameStartTime += ClockSince(pausedAt, Millisecs());
  return result;
}

}  // namespace

int FinishFrame(int showPointer) {
  int pauseResult = PAUSE_NONE;
  const bool slow = Settings[SET_SLOWSYSTEM] != 0;

  KeepChannelVolumes();
  if (Game.AgePopups) Game.AgePopups();

  // Both taken every frame, so neither is left over for the next.
  const bool tabHit = KeyHit(KEY_TAB) > 0, settingsTapped = TouchHit(TOUCH_SETTINGS) > 0;
  const bool toggled = tabHit || settingsTapped;
  if (toggled) SettingsOpen = !SettingsOpen;
  FindNewJoysticks();
  OfferTouchControl(TOUCH_PAUSE, GameState == STATE_ROUND);
  if (FrameParity == 1) ReleasedMemory = ReleaseMemory();

  // On a slow system these keys wait for a presented frame; hits are kept until read.
  const bool hotKeys = FrameParity == 0 || !slow;
  if (hotKeys && KeyHit(KEY_F11) > 0) TakeScreenshot();

  SettingsMenu();

  ResetDrawState();
  SetDrawScale(1.5, 1.5);
  SetFont(Fonts[FONT_MAIN]);
  if (KeyHit(KEY_F12) > 0) DebugOverlay = !DebugOverlay;
  if (DebugOverlay) DrawOverlay();

  if (showPointer == 1 || SettingsOpen) DrawImage(IconsImage, VirtualMouseX() + 12, VirtualMouseY() + 12, ICON_POINTER);

  MouseClick1 = MouseHit(1);
  MouseClick2 = MouseHit(2);
  // A file dropped on the window is watched as a replay once the title screen
  // is back; one dropped later takes the place of one not yet watched.
  for (std::string dropped = TakeDroppedFile(); !dropped.empty(); dropped = TakeDroppedFile()) {
    DoneWithDroppedFile(ReplayRequest);
    ReplayRequest = dropped;
  }

  // Shown as soon as it is drawn: the wait for the next frame comes after,
  // so the input the next frame reads is as fresh as it can be.
  DrawMessages();
  if (!slow || FrameParity == 0) PresentFrame(0);
  SkipDrawing(false);  // whatever comes next draws, until a frame begins that will not be shown
  // Every toggle saves the settings, once the panel's first move is on
  // screen: a flush to the disk may take longer than a frame.
  if (toggled) WriteSetup();

  // Pace to 60 fps: by the host's own frames where it has them (a page), else
  // in 1 ms sleeps. A clock that went backwards ends the wait.
  if (!WaitForFrame(kFramePeriodMs)) {
    for (;;) {
      Delay(1);
      const int32_t since = ClockSince(LastFrameTime, Millisecs());
      if (since < 0 || since >= kFramePeriodMs - 2) break;
    }
  }

  // The pointer as it is when the next frame begins.
  LastMouseX = MouseX;
  LastMouseY = MouseY;
  MouseX = TruncInt(VirtualMouseX());
  MouseY = TruncInt(VirtualMouseY());

  const int32_t now = Millisecs();
  int32_t duration = ClockSince(LastFrameTime, now);
  if (duration <= 0) duration = 1;
  FrameRate = (1000 / duration + 2 * FrameRate) / 3;
  LastFrameTime = now;

  // Escape pauses a round as soon as it is read, over the picture just shown,
  // before another frame of the round is drawn.
  if (hotKeys && GameState == STATE_ROUND && PauseHeld()) pauseResult = PauseRound();

  FrameParity = 1 - FrameParity;
  SamplePads();  // after the wait, so the next frame acts on the freshest presses

  if ((KeyDown(KEY_F4) && (KeyDown(KEY_LALT) || KeyDown(KEY_RALT))) || CloseRequested()) CloseDown();
  return pauseResult;
}

void ShowMessage(const std::string& text, int colour) {
  ment m;
  m.tick = 0;
  m.txt = text;
  m.c = colour;
  Messages.push_back(m);
}
