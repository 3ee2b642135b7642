// settings.cpp — the settings panel that slides down over any screen on Tab:
// graphics options and Apply, each player's bindings, the audio back end,
// the three volumes and the joysticks. FinishFrame calls it once per frame,
// after the screen has drawn, so it never stops the screen behind it.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "shell/shell.h"
#include "tools/tools.h"

namespace {

using Labels = std::array<std::string, 6>;

// Rows of the panel, their y relative to it.
constexpr int kFullscreenY = 30, kResolutionY = 70, kFrameskipY = 146, kEngineY = 184, kApplyY = 258;
constexpr int kAudioY = 20, kJoysticksY = 230, kJoystickStep = 15;
constexpr int kVolumeY[3] = {70, 120, 170};  // master, sounds, music
constexpr int kVolumeSlot[3] = {SET_MASTER, SET_SOUND, SET_MUSIC};
constexpr int kRowWidth = 200;       // an option row's reach for the pad's highlight
constexpr int kVolumeStep = 5;       // left or right on a volume
constexpr int kCaptureFrames = 300;  // a binding cell waits this long for the pad's next input

int AudioColumnX() { return VirtualWidth - 280; }

// Where a player's binding cell for an action stands (absolute).
void BindingCellAt(int player, int action, int& x, int& y) {
  x = 250 + 400 * (player - 1) + (player > 2 ? 400 : 0);
  y = SettingsSlide + 10;
  switch (action) {
    case ACT_UP: x += 50; break;
    case ACT_RIGHT:
      x += 100;
      y += 50;
      break;
    case ACT_DOWN:
      x += 50;
      y += 50;
      break;
    case ACT_BUTTON1:
      x += 190;
      y += 50;
      break;
    default: y += 50; break;  // left
  }
}

// The cells a pad moves over, each with what a press of the bottom button does there.
enum CellKind { CELL_OPTION, CELL_RESOLUTION, CELL_APPLY, CELL_BINDING, CELL_VOLUME, CELL_JOYSTICK };
struct PanelCell {
  int kind = CELL_OPTION;
  int index = 0;                   // settings slot, Keys slot or joystick slot
  int x = 0, y = 0, w = 0, h = 0;  // absolute
};

std::vector<PanelCell> PanelCells() {
  const int off = SettingsSlide;
  std::vector<PanelCell> cells = {
      {CELL_OPTION, SET_FULLSCREEN, 20, off + kFullscreenY, kRowWidth, 32},
      {CELL_RESOLUTION, SET_RESOLUTION, 20, off + kResolutionY, kRowWidth, 60},
      {CELL_OPTION, SET_SLOWSYSTEM, 20, off + kFrameskipY, kRowWidth, 32},
      {CELL_OPTION, SET_GFXENGINE, 20, off + kEngineY, kRowWidth, 32},
      {CELL_APPLY, 0, 18, off + kApplyY, TextWidth("Apply") + 4, TextHeight("Apply") + 4},
      {CELL_OPTION, SET_AUDIODRIVER, AudioColumnX(), off + kAudioY, kRowWidth + 60, 32},
  };
  for (int v = 0; v < 3; ++v)
    cells.push_back({CELL_VOLUME, kVolumeSlot[v], AudioColumnX() - 4, off + kVolumeY[v] - 4, 104, 46});
  for (int j = 1; j <= std::min(JoyCount, 4); ++j)
    cells.push_back({CELL_JOYSTICK, j, AudioColumnX(), off + kJoysticksY + (j - 1) * kJoystickStep,
                     std::max(TextWidth(JoySlot[j].name), 60), kJoystickStep});
  for (int p = 1; p <= std::min(ControlPlayers, 5); ++p) {
    for (int action : {ACT_UP, ACT_LEFT, ACT_DOWN, ACT_RIGHT, ACT_BUTTON1}) {
      PanelCell c{CELL_BINDING, KeySlot(p, action), 0, 0, 48, 48};
      BindingCellAt(p, action, c.x, c.y);
      cells.push_back(c);
    }
  }
  return cells;
}

// The nearest cell wholly beyond cell `from` in a direction, by their
// centres: along the direction counts once, across it twice. `from` itself
// when there is none.
int NextCell(const std::vector<PanelCell>& cells, int from, int dx, int dy) {
  const PanelCell& a = cells[static_cast<size_t>(from)];
  const int ax = a.x + a.w / 2, ay = a.y + a.h / 2;
  int best = from, bestScore = 0;
  for (size_t i = 0; i < cells.size(); ++i) {
    const PanelCell& b = cells[i];
    const bool beyond = dx > 0   ? b.x >= a.x + a.w
                        : dx < 0 ? b.x + b.w <= a.x
                        : dy > 0 ? b.y >= a.y + a.h
                                 : b.y + b.h <= a.y;
    if (!beyond) continue;
    const int bx = b.x + b.w / 2, by = b.y + b.h / 2;
    const int along = dx != 0 ? (bx - ax) * dx : (by - ay) * dy;
    const int across = dx != 0 ? std::abs(by - ay) : std::abs(bx - ax);
    const int score = along + 2 * across;
    if (best == from || score < bestScore) {
      best = static_cast<int>(i);
      bestScore = score;
    }
  }
  return best;
}

// An icon with a light-blended, enlarged copy of itself over it. Each pass
// counts against its own kind of the sprite budget.
void GlowIcon(int image, int x, int y, int frame, int glowImage, double glowScale, double glowAlpha) {
  if (!FrameShown()) return;
  float sx = 1, sy = 1;
  GetScale(sx, sy);
  const float alpha = GetAlpha();
  const int blend = GetBlend();
  const int mode = BlendMode;
  // Handles are at the frame centre: this puts the icon's top-left at (x, y).
  const float cx = static_cast<float>(x) + static_cast<float>(ImageWidth(image)) * sx / 2;
  const float cy = static_cast<float>(y) + static_cast<float>(ImageHeight(image)) * sy / 2;
  DrawCounted(image, cx, cy, frame, SPRITE_IMAGE);
  SetScale(static_cast<float>(sx * glowScale), static_cast<float>(sy * glowScale));
  SetAlpha(static_cast<float>(alpha * glowAlpha));
  SetBlendMode(BLENDMODE_LIGHT);
  DrawCounted(glowImage != 0 ? glowImage : image, cx, cy, frame, SPRITE_GLOW);
  SetScale(sx, sy);
  SetAlpha(alpha);
  BlendMode = mode;
  SetBlend(blend);
}

// One row of choices: an icon (icon base + the slot's value) and its label.
// A click on the row steps the slot to its next choice, except on the
// Resolution row, which handles the click itself. Answers 1 while the
// pointer is over the row. y is relative to the panel.
int OptionRow(int slot, int x, int y, int iconBase, Labels labels, bool resolutionRow = false, bool padClick = false) {
  if (labels[0] == "AUDIO") {
    const size_t names = std::min<size_t>(AudioDriverNames.size(), labels.size());
    for (size_t k = 0; k < names; ++k) labels[k] = "Audio Driver|" + AudioDriverNames[k];
  }
  const int value = Settings[slot];
  int options = 1;
  for (int k = 1; k <= 5; ++k)
    if (!labels[k].empty()) options = 1 + k;
  const std::string& shown = (value >= 1 && value <= 5 && !labels[static_cast<size_t>(value)].empty())
                                 ? labels[static_cast<size_t>(value)]
                                 : labels[0];
  const int top = SettingsSlide + y;

  SetDrawScale(1);
  SetFont(Fonts[FONT_PANEL]);
  std::string firstLine = shown;
  if (Instr(shown, "|") > 0) {
    firstLine = FieldOf(shown, "|", 1);
    DrawTextAligned(x + 38, top + 8, firstLine, 0, 1);
    DrawTextAligned(x + 38, top + 24, FieldOf(shown, "|", 2), 0, 1);
  } else {
    DrawTextAligned(x + 38, top + 16, shown, 0, 1);
  }

  SetDrawScale(2);  // icons at 32 x 32
  const int frame = iconBase + value;
  const int width = TextWidth(firstLine);
  // A pad's press on the row steps it as a click does.
  if (padClick && !resolutionRow) Settings[slot] = ((value + 1) % options + options) % options;
  if (MouseInRect(x, top, width, 32) == 0) DrawSprite(SharpIconsImage, x, top, frame, SPRITE_IMAGE);
  if (MouseInRect(x, top, width + 38, 32) == 0) return 0;
  GlowIcon(SharpIconsImage, x, top, frame, IconsImage, 1.1, 0.8);
  // The click stays counted: the Resolution row acts on it after this.
  if (MouseClick1 != 0 && !resolutionRow) Settings[slot] = ((value + 1) % options + options) % options;
  return 1;
}

// The Resolution row walks the mode list: Right, Up or a left click to the
// next mode, Left, Down or a right click to the previous one, wrapping.
void ResolutionRow(bool padClick) {
  const int over = OptionRow(SET_WIDESCREEN, 20, kResolutionY, ICON_RESOLUTION, {"Resolution"}, true);
  // The arrows are read on every drawn frame, so presses made while playing
  // are not saved up until the pointer happens to reach this row.
  const bool forward = KeyHit(KEY_RIGHT) > 0;
  const bool up = KeyHit(KEY_UP) > 0;
  const bool back = KeyHit(KEY_LEFT) > 0;
  const bool down = KeyHit(KEY_DOWN) > 0;
  if (over == 0 && MouseInRect(20, SettingsSlide + kResolutionY, 200, 70) == 0 && !padClick) return;
  if (ResolutionCount <= 0) return;
  int pos = Settings[SET_RESOLUTION];
  if (forward || up || MouseClick1 != 0 || padClick) {
    ++pos;
    if (pos > ResolutionCount || pos < 1) pos = 1;
  } else if (back || down || MouseClick2 != 0) {
    --pos;
    if (pos < 1 || pos > ResolutionCount) pos = ResolutionCount;
  } else {
    return;
  }
  Settings[SET_RESOLUTION] = pos;
  Settings[SET_WIDTH] = ResolutionWidths[pos];
  Settings[SET_HEIGHT] = ResolutionHeights[pos];
}

// A bar with a knob at the value; dragging with the left button held sets
// the value from the pointer. x and y are absolute.
int VolumeSlider(int v, int x, int y, const std::string& label) {
  SetColorAlpha(80, 255, 80);
  SetDrawScale(3.1, 1.5);
  DrawSprite(SharpIconsImage, x - 2, y, ICON_BAR_LEFT, SPRITE_IMAGE);
  DrawSprite(SharpIconsImage, x + 48, y, ICON_BAR_RIGHT, SPRITE_IMAGE);
  SetColorAlpha(255, 80, 80);
  SetDrawScale(1, 1.5);
  // A value far out of range from the settings file only moves the knob off the bar.
  DrawSprite(SharpIconsImage, x + std::clamp(v, -10000, 10000) - 9, y, ICON_KNOB, SPRITE_IMAGE);
  SetColorAlpha(80, 180, 255);
  if (MouseInRect(x - 2, y - 4, 100, 24) == 1 && MouseDown(1)) v = MouseX - (x - 2);
  SetDrawScale(1);
  DrawTextAligned(x, y + 20, label + " : " + Str(v));
  return v;
}

int SnapVolume(int v) {
  if (v < 6) return 0;
  if (v > 94) return 100;
  return v;
}

// The cell of one binding. Whatever is held while the pointer rests on the
// cell (with the panel at rest) becomes the binding; Backspace unbinds. A
// cell a pad pressed glows while it waits for the next input.
void BindingCell(int slot, int x, int y) {
  const int shown = Keys[slot];  // a binding captured now is shown from the next frame
  double active = PanelPad.capturing == slot ? 1 : 0;
  if (MouseInRect(x, y, 48, 48) == 1 && SettingsSlide >= 0) {
    active = 1;
    const int captured = DetectInput();
    if (captured > KEY_BACKSPACE) Keys[slot] = captured;
    else if (captured == KEY_BACKSPACE) Keys[slot] = 0;
  }
  if (CodeDown(Keys[slot]) == 1) active = 1;  // lights up while its input is held

  int frame = -1;
  bool centred = true;
  if (shown == 0 || (shown >= 9 && shown <= 254)) {
    frame = ICON_KEY;
  } else if (shown >= 300 && shown <= 499) {
    const int part = shown % 50;
    if (part < 12) {
      frame = ICON_AXIS;  // axes and the hat name themselves from the corner
      centred = false;
    } else if (part >= 20 && part <= 29) {
      frame = ICON_HAT;
      centred = false;
    } else if (part >= 30) {
      frame = ICON_BUTTON;
    }
  }
  if (frame < 0) return;
  SetDrawScale(3);
  GlowIcon(SharpIconsImage, x, y, frame, IconsImage, 1.1, active);
  SetDrawScale(1);
  const std::string name = shown == 0 ? "?!" : KeyName(Keys[slot]);
  if (centred) DrawTextAligned(x + 24, y + 24, name, 1, 1);
  else DrawTextAligned(x, y, name, 0, 0);
}

void DrawPanel() {
  const int off = SettingsSlide;
  SetFont(Fonts[FONT_PANEL]);
  ResetDrawState();
  SetBlendMode(BLENDMODE_SHADE);
  SetColorAlpha(40, 40, 40, 0.8);
  DrawRect(0, 0, static_cast<float>(VirtualWidth), static_cast<float>(off + 300));
  SetBlendMode(BLENDMODE_ALPHA);
  SetColorAlpha(80, 80, 80, 0.4);
  DrawRect(0, 0, static_cast<float>(VirtualWidth), static_cast<float>(off + 298));
  SetColorAlpha(180, 255, 180, 1);
  DrawRect(0, static_cast<float>(off + 298), static_cast<float>(VirtualWidth), 2);
  // The screen behind may have used up the budget; the panel is always whole.
  SpriteCount[SPRITE_IMAGE] = 0;
  SpriteCount[SPRITE_GLOW] = 0;
}

// The cell a pad's bottom button pressed this frame is this one.
bool PadClicked(const PanelCell* click, int kind, int index) {
  return click != nullptr && click->kind == kind && click->index == index;
}

void GraphicsColumn(const PanelCell* click) {
  SetColorAlpha(80, 255, 80, 1);
  DrawTextAligned(20, SettingsSlide + 4, "Graphics");
  OptionRow(SET_FULLSCREEN, 20, kFullscreenY, ICON_WINDOW, {"Windowed", "Fullscreen"}, false,
            PadClicked(click, CELL_OPTION, SET_FULLSCREEN));
  ResolutionRow(PadClicked(click, CELL_RESOLUTION, SET_RESOLUTION));
  DrawTextAligned(20, SettingsSlide + 108, Str(Settings[SET_WIDTH]) + "x" + Str(Settings[SET_HEIGHT]));
  OptionRow(SET_SLOWSYSTEM, 20, kFrameskipY, ICON_OPTION, {"Draw all Frames|Decent System", "Frameskip|Slow System"},
            false, PadClicked(click, CELL_OPTION, SET_SLOWSYSTEM));
  OptionRow(SET_GFXENGINE, 20, kEngineY, ICON_OPTION, {"OpenGL|Optimum", "DirectX 9|Alternative", "DirectX 7|Backup"},
            false, PadClicked(click, CELL_OPTION, SET_GFXENGINE));
}

void ApplyButton(const PanelCell* click) {
  SetDrawScale(1);
  SetColorAlpha(0, 120, 0, 0.5);
  const int w = TextWidth("Apply") + 4, h = TextHeight("Apply") + 4;
  const bool padClick = PadClicked(click, CELL_APPLY, 0);
  if (MouseInRect(18, SettingsSlide + kApplyY, w, h) == 1 || padClick) {
    DrawRect(18, static_cast<float>(SettingsSlide + kApplyY), static_cast<float>(w), static_cast<float>(h));
    if (MouseClick1 != 0 || padClick) {
      MouseClick1 = 0;
      SettingsOpen = false;
      // Apply reopens the display, whose engine test runs frames that each draw
      // this panel again: a second Apply must not start inside the first.
      if (!SettingsApplying) {
        SettingsApplying = true;
        WriteSetup();
        ApplyGraphics();  // reopens the display, reloads the assets, reruns the engine test
        SettingsApplying = false;
      }
    }
  }
  SetColorAlpha(80, 255, 80, 1);
  DrawTextAligned(20, SettingsSlide + kApplyY + 2, "Apply");
}

// Up above left, down and right; the first button off to the right.
void ControlColumns() {
  const int players = std::min(ControlPlayers, 5);  // Keys holds five players' blocks
  for (int p = 1; p <= players; ++p) {
    int x = 0, y = 0;
    BindingCellAt(p, ACT_LEFT, x, y);
    SetColorAlpha(255, 255, 255);
    DrawTextAligned(x + 100, y - 70, "Player " + Str(p));
    SetColorAlpha(80, 255, 80);
    for (int action : {ACT_UP, ACT_LEFT, ACT_RIGHT, ACT_DOWN, ACT_BUTTON1}) {
      if (action == ACT_BUTTON1) SetColorAlpha(255, 255, 80);
      BindingCellAt(p, action, x, y);
      BindingCell(KeySlot(p, action), x, y);
    }
  }
}

void AudioColumn(const PanelCell* click) {
  const int x = AudioColumnX();
  OptionRow(SET_AUDIODRIVER, x, kAudioY, ICON_AUDIO, {"AUDIO"}, false, PadClicked(click, CELL_OPTION, SET_AUDIODRIVER));
  SetDrawScale(1);
  SetColorAlpha(255, 180, 180, 1);
  DrawTextAligned(x, SettingsSlide + 50, "Changes require a Restart");

  const char* const labels[3] = {"Master Volume", "Sounds", "Music"};
  for (int v = 0; v < 3; ++v) {
    int& volume = Settings[kVolumeSlot[v]];
    volume = SnapVolume(VolumeSlider(volume, x, SettingsSlide + kVolumeY[v], labels[v]));
  }

  // Joysticks: yellow while button 0 is held, dimmed while not used; a click
  // on a name switches that joystick off or on.
  int y = SettingsSlide + kJoysticksY;
  for (int j = 1; j <= std::min(JoyCount, 4); ++j) {
    JoyRecord& joy = JoySlot[j];
    if (JoyDown(0, j - 1)) SetColorAlpha(255, 255, 80, 1);
    else SetColorAlpha(80, 255, 80, 1);
    if (joy.enabled == 0) SetAlpha(0.2f);
    if ((MouseInRect(x, y, TextWidth(joy.name), 14) == 1 && MouseClick1 != 0) || PadClicked(click, CELL_JOYSTICK, j)) {
      MouseClick1 = 0;
      joy.enabled = 1 - joy.enabled;
    }
    DrawTextAligned(x, y, joy.name);
    y += kJoystickStep;
  }
}

// A volume a step up or down, past the snap at either end.
int StepVolume(int v, int direction) {
  const int once = SnapVolume(std::clamp(v + direction * kVolumeStep, 0, 100));
  return once != v ? once : SnapVolume(std::clamp(v + 2 * direction * kVolumeStep, 0, 100));
}

void EndCapture() {
  PanelPad.capturing = -1;
  PanelPad.latched = true;  // what was captured must not also move the highlight
}

// A binding cell a pad pressed takes the next input once everything held
// then has been let go, as the pointer's cell does; Backspace unbinds. It
// gives up after a while.
void CaptureByPad() {
  const int slot = PanelPad.capturing;
  if (slot < 0) return;
  const int got = DetectInput();
  if (!PanelPad.armed) {
    PanelPad.armed = got == 0;
  } else if (got >= KEY_BACKSPACE) {
    Keys[slot] = got == KEY_BACKSPACE ? 0 : got;
    return EndCapture();
  }
  if (++PanelPad.waited >= kCaptureFrames) EndCapture();
}

// One frame of the pad over the panel at rest: the d-pad or the stick moves
// the highlight (left and right change a highlighted volume instead); the
// bottom button answers the cell it pressed, or sets a binding cell waiting.
const PanelCell* PanelPadFrame(const std::vector<PanelCell>& cells) {
  PanelPad.cell = std::clamp(PanelPad.cell, 0, static_cast<int>(cells.size()) - 1);
  if (!SettingsOpen || SettingsSlide < 0 || PanelPad.capturing >= 0) return nullptr;
  if (PanelPad.latched) {
    PanelPad.latched = DetectInput() != 0;  // live, as the capture read it
    return nullptr;
  }
  const PanelCell& at = cells[static_cast<size_t>(PanelPad.cell)];
  const int dx = (PadRepeatDue(PAD_RIGHT) ? 1 : 0) - (PadRepeatDue(PAD_LEFT) ? 1 : 0);
  const int dy = (PadRepeatDue(PAD_DOWN) ? 1 : 0) - (PadRepeatDue(PAD_UP) ? 1 : 0);
  if (dx != 0 && at.kind == CELL_VOLUME) Settings[at.index] = StepVolume(Settings[at.index], dx);
  else if (dy != 0) PanelPad.cell = NextCell(cells, PanelPad.cell, 0, dy);
  else if (dx != 0) PanelPad.cell = NextCell(cells, PanelPad.cell, dx, 0);
  if (!Pads.pressed[PAD_BOTTOM]) return nullptr;
  if (at.kind != CELL_BINDING) return &at;
  PanelPad.capturing = at.index;
  PanelPad.waited = 0;
  PanelPad.armed = false;
  return nullptr;
}

// A frame around the highlighted cell, while the player holds a pad.
void DrawHighlight(const PanelCell& c) {
  if (InputHand() != HAND_PAD) return;
  constexpr float kEdge = 3, kOut = 4;
  const float x = static_cast<float>(c.x) - kOut, y = static_cast<float>(c.y) - kOut;
  const float w = static_cast<float>(c.w) + 2 * kOut, h = static_cast<float>(c.h) + 2 * kOut;
  SetDrawScale(1);
  SetColorAlpha(255, 255, 0, 1);
  DrawRect(x, y, w, kEdge);
  DrawRect(x, y + h - kEdge, w, kEdge);
  DrawRect(x, y, kEdge, h);
  DrawRect(x + w - kEdge, y, kEdge, h);
}

}  // namespace

bool SettingsApplying = false;
PanelPadState PanelPad;

void SettingsMenu() {
  // The hits are consumed here whether or not the panel shows.
  MouseClick1 = MouseHit(1);
  MouseClick2 = MouseHit(2);
  // A pad's Back opens and closes the panel as Tab does; a binding cell
  // waiting for a pad's input stops waiting instead.
  if (std::exchange(Pads.pressed[PAD_BACK], false)) {
    if (PanelPad.capturing >= 0) {
      EndCapture();
    } else {
      SettingsOpen = !SettingsOpen;
      WriteSetup();
    }
  }
  if (!SettingsOpen) PanelPad.capturing = -1;

  if (SettingsOpen && SettingsSlide < 0) SettingsSlide += 32;
  if (!SettingsOpen && SettingsSlide > -300) SettingsSlide -= 32;
  if (SettingsSlide <= -300) return;

  DrawPanel();
  const std::vector<PanelCell> cells = PanelCells();
  CaptureByPad();
  const PanelCell* click = PanelPadFrame(cells);
  GraphicsColumn(click);
  ApplyButton(click);
  ControlColumns();
  AudioColumn(click);
  DrawHighlight(cells[static_cast<size_t>(PanelPad.cell)]);
}
