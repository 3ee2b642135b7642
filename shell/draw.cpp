// draw.cpp — the drawing helpers every screen uses: aligned text, clamped
// colour, scale and rotation, the framework blend modes, the counted sprite
// draw with its per-frame budget, and the pointer-in-rectangle test.
#include <algorithm>

#include "shell/shell.h"

void BeginFrame(int clear) {
  // A frame a slow system will not present is not drawn at all (FinishFrame
  // draws again once it is past presenting): it saves the work, and the
  // picture the player last saw stays, for a round's result drawn over it.
  SkipDrawing(!FrameShown());
  if (clear == 1) ClearScreen();
  for (int kind = 1; kind <= 10; ++kind) SpriteCount[kind] = 0;
}

bool FrameShown() { return Settings[SET_SLOWSYSTEM] == 0 || FrameParity == 0; }

void DrawTextAligned(int x, int y, const std::string& text, int h, int v) {
  // Measured at scale 1 on purpose: scaled text is aligned by its plain size.
  const int width = TextWidth(text);
  const int height = TextHeight(text);
  if (h == 1) x -= width / 2;
  else if (h == 2) x -= width;
  if (v == 1) y -= height / 2;
  else if (v == 2) y -= height;
  DrawText(text, static_cast<float>(x), static_cast<float>(y));
}

void SetColorAlpha(double r, double g, double b) {
  SetColor(TruncInt(ClampFloat(r, 0, 255)), TruncInt(ClampFloat(g, 0, 255)), TruncInt(ClampFloat(b, 0, 255)));
}

uint32_t BandColour(double r, double g, double b) {
  const auto byte = [](double v) { return static_cast<uint32_t>(TruncInt(ClampFloat(v, 0, 255))); };
  return byte(r) | byte(g) << 8 | byte(b) << 16;
}

void SetColorAlpha(double r, double g, double b, double alpha) {
  SetColorAlpha(r, g, b);
  SetAlpha(static_cast<float>(ClampFloat(alpha, 0, 1)));
}

void SetDrawScale(double sx) { SetDrawScale(sx, sx); }

void SetDrawScale(double sx, double sy) { SetScale(static_cast<float>(sx), static_cast<float>(sy)); }

void SetDrawRotation(double degrees) { SetRotation(static_cast<float>(degrees)); }

void ResetDrawState() {
  SetRotation(0);
  SetScale(1, 1);
  SetColor(255, 255, 255);
  SetAlpha(1);
  SetBlendMode(BLENDMODE_ALPHA);
}

void SetBlendMode(int mode) {
  BlendMode = mode;
  switch (mode) {
    case BLENDMODE_SOLID: SetBlend(SOLIDBLEND); break;
    case BLENDMODE_ALPHA: SetBlend(ALPHABLEND); break;
    case BLENDMODE_SHADE: SetBlend(SHADEBLEND); break;
    case BLENDMODE_LIGHT: SetBlend(LIGHTBLEND); break;
    default: break;  // only remembered
  }
}

void DrawSprite(int image, int x, int y, int frame, int kind) {
  // A slow system never presents odd frames, so it does not draw them either.
  if (!FrameShown()) return;
  float sx = 1, sy = 1;
  GetScale(sx, sy);
  DrawCounted(image, static_cast<float>(x) + static_cast<float>(ImageWidth(image)) * sx / 2,
              static_cast<float>(y) + static_cast<float>(ImageHeight(image)) * sy / 2, frame, kind);
}

void DrawCounted(int image, float cx, float cy, int frame, int kind) {
  if (kind < 0 || kind >= 20) return;
  if (SpriteCount[kind] >= SpriteLimit[kind]) return;  // over budget: dropped quietly
  ++SpriteCount[kind];
  DrawImage(image, cx, cy, frame);
}

int MouseInRect(int x, int y, int w, int h) {
  const long long right = static_cast<long long>(x) + w, bottom = static_cast<long long>(y) + h;
  return (MouseX > x && MouseY > y && MouseX < right && MouseY < bottom) ? 1 : 0;
}

void DrawStripes(double red) {
  SetDrawRotation(-45);
  double shade = 50;
  for (int y = 0; y <= VirtualHeight; y += 10) {
    shade += 0.5;
    SetColorAlpha(red - shade, 0, shade);  // alpha kept; below 0 red is none
    DrawRect(-100, static_cast<float>(3 * y), static_cast<float>(VirtualWidth + 1800), 30);
  }
  ResetDrawState();
}
