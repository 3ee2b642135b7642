// settings.cpp — the settings panel that slides down over any screen on Tab:
// graphics options and Apply, each player's bindings, the audio back end,
// the three volumes and the joysticks. FinishFrame calls it once per frame,
// after the screen has drawn, so it never stops the screen behind it.
#include <algorithm>
#include <array>
#include <string>

#include "shell/shell.h"
#include "tools/tools.h"

namespace {

using Labels = std::array<std::string, 6>;

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
int OptionRow(int slot, int x, int y, int iconBase, Labels labels, bool resolutionRow = false) {
  if (labels[0] == "AUDIO") {
    const size_t names = std::min<size_t>(AudioDriverNames.size(), labels.size());
    for (size_t k = 0; k < names; ++k) labels[k] = "Audio Driver|" + AudioDriverNames[k];
  }
  const int value = Settings[slot];
  int options = 1;
  for (int k = 1; k <= 5; ++k)
    if (!labels[k].empty()) options = 1 + k;
  const std::string& shown =
      (value >= 1 && value <= 5 && !labels[static_cast<size_t>(value)].empty()) ? labels[static_cast<size_t>(value)]
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
  if (MouseInRect(x, top, width, 32) == 0) DrawSprite(SharpIconsImage, x, top, frame, SPRITE_IMAGE);
  if (MouseInRect(x, top, width + 38, 32) == 0) return 0;
  GlowIcon(SharpIconsImage, x, top, frame, IconsImage, 1.1, 0.8);
  // The click stays counted: the Resolution row acts on it after this.
  if (MouseClick1 != 0 && !resolutionRow) Settings[slot] = ((value + 1) % options + options) % options;
  return 1;
}

// The Resolution row walks the mode list: Right, Up or a left click to the
// next mode, Left, Down or a right click to the previous one, wrapping.
void ResolutionRow() {
  const int over = OptionRow(SET_WIDESCREEN, 20, 70, ICON_RESOLUTION, {"Resolution"}, true);
  // The arrows are read on every drawn frame, so presses made while playing
  // are not saved up until the pointer happens to reach this row.
  const bool forward = KeyHit(KEY_RIGHT) > 0;
  const bool up = KeyHit(KEY_UP) > 0;
  const bool back = KeyHit(KEY_LEFT) > 0;
  const bool down = KeyHit(KEY_DOWN) > 0;
  if (over == 0 && MouseInRect(20, SettingsSlide + 70, 200, 70) == 0) return;
  if (ResolutionCount <= 0) return;
  int pos = Settings[SET_RESOLUTION];
  if (forward || up || MouseClick1 != 0) {
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
// cell (with the panel at rest) becomes the binding; Backspace unbinds.
void BindingCell(int slot, int x, int y) {
  const int shown = Keys[slot];  // a binding captured now is shown from the next frame
  double active = 0;
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

void GraphicsColumn() {
  SetColorAlpha(80, 255, 80, 1);
  DrawTextAligned(20, SettingsSlide + 4, "Graphics");
  OptionRow(SET_FULLSCREEN, 20, 30, ICON_WINDOW, {"Windowed", "Fullscreen"});
  ResolutionRow();
  DrawTextAligned(20, SettingsSlide + 108, Str(Settings[SET_WIDTH]) + "x" + Str(Settings[SET_HEIGHT]));
  OptionRow(SET_SLOWSYSTEM, 20, 146, ICON_OPTION, {"Draw all Frames|Decent System", "Frameskip|Slow System"});
  OptionRow(SET_GFXENGINE, 20, 184, ICON_OPTION, {"OpenGL|Optimum", "DirectX 9|Alternative", "DirectX 7|Backup"});
}

void ApplyButton() {
  SetDrawScale(1);
  SetColorAlpha(0, 120, 0, 0.5);
  const int w = TextWidth("Apply") + 4, h = TextHeight("Apply") + 4;
  if (MouseInRect(18, SettingsSlide + 258, w, h) == 1) {
    DrawRect(18, static_cast<float>(SettingsSlide + 258), static_cast<float>(w), static_cast<float>(h));
    if (MouseClick1 != 0) {
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
  DrawTextAligned(20, SettingsSlide + 260, "Apply");
}

// Up above left, down and right; the first button off to the right.
void ControlColumns() {
  int x = 250, y = SettingsSlide + 10;
  const int players = std::min(ControlPlayers, 5);  // Keys holds five players' blocks
  for (int p = 1; p <= players; ++p) {
    SetColorAlpha(255, 255, 255);
    DrawTextAligned(x + 100, y - 20, "Player " + Str(p));
    SetColorAlpha(80, 255, 80);
    BindingCell(KeySlot(p, ACT_UP), x + 50, y);
    BindingCell(KeySlot(p, ACT_LEFT), x, y + 50);
    BindingCell(KeySlot(p, ACT_RIGHT), x + 100, y + 50);
    BindingCell(KeySlot(p, ACT_DOWN), x + 50, y + 50);
    SetColorAlpha(255, 255, 80);
    BindingCell(KeySlot(p, ACT_BUTTON1), x + 190, y + 50);
    x += 400;
    if (p == 2) {
      y = SettingsSlide + 10;
      x += 400;
    }
  }
}

void AudioColumn() {
  const int x = VirtualWidth - 280;
  OptionRow(SET_AUDIODRIVER, x, 20, ICON_AUDIO, {"AUDIO"});
  SetDrawScale(1);
  SetColorAlpha(255, 180, 180, 1);
  DrawTextAligned(x, SettingsSlide + 50, "Changes require a Restart");

  Settings[SET_MASTER] = SnapVolume(VolumeSlider(Settings[SET_MASTER], x, SettingsSlide + 70, "Master Volume"));
  Settings[SET_SOUND] = SnapVolume(VolumeSlider(Settings[SET_SOUND], x, SettingsSlide + 120, "Sounds"));
  Settings[SET_MUSIC] = SnapVolume(VolumeSlider(Settings[SET_MUSIC], x, SettingsSlide + 170, "Music"));

  // Joysticks: yellow while button 0 is held, dimmed while not used; a click
  // on a name switches that joystick off or on.
  int y = SettingsSlide + 230;
  for (int j = 1; j <= std::min(JoyCount, 4); ++j) {
    JoyRecord& joy = JoySlot[j];
    if (JoyDown(0, j - 1)) SetColorAlpha(255, 255, 80, 1);
    else SetColorAlpha(80, 255, 80, 1);
    if (joy.enabled == 0) SetAlpha(0.2f);
    if (MouseInRect(x, y, TextWidth(joy.name), 14) == 1 && MouseClick1 != 0) {
      MouseClick1 = 0;
      joy.enabled = 1 - joy.enabled;
    }
    DrawTextAligned(x, y, joy.name);
    y += 15;
  }
}

}  // namespace

bool SettingsApplying = false;

void SettingsMenu() {
  // The hits are consumed here whether or not the panel shows.
  MouseClick1 = MouseHit(1);
  MouseClick2 = MouseHit(2);

  if (SettingsOpen && SettingsSlide < 0) SettingsSlide += 32;
  if (!SettingsOpen && SettingsSlide > -300) SettingsSlide -= 32;
  if (SettingsSlide <= -300) return;

  DrawPanel();
  GraphicsColumn();
  ApplyButton();
  ControlColumns();
  AudioColumn();
}
