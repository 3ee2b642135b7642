// canvas.h — the art generator's drawing kit: an RGBA canvas, text pixel maps
// with named palettes, simple shapes, dark outlines, mirroring,
// nearest-neighbour scaling, a tiny bitmap font and PNG output.
// Everything is integer or plain float arithmetic, so runs are repeatable.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
};
constexpr Rgba kClear{0, 0, 0, 0};

Rgba Hex(uint32_t rgb, uint8_t alpha = 255);  // 0xRRGGBB
Rgba Mix(Rgba a, Rgba b, float t);            // t = 0 gives a, 1 gives b (alpha mixed too)
Rgba Shade(Rgba c, float f);                  // scale the colour, keep alpha

struct Canvas {
  int w = 0, h = 0;
  std::vector<Rgba> px;
  Canvas() = default;
  Canvas(int width, int height) : w(width), h(height), px(size_t(width) * size_t(height)) {}
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  Rgba Get(int x, int y) const { return Inside(x, y) ? px[size_t(y) * w + x] : kClear; }
  void Set(int x, int y, Rgba c) {
    if (Inside(x, y)) px[size_t(y) * w + x] = c;
  }
  void Put(int x, int y, Rgba c);  // alpha-over; fully transparent c does nothing
  bool Solid(int x, int y) const { return Get(x, y).a > 0; }
};

// Named palette for pixel maps: '.' and ' ' are always transparent.
using Palette = std::map<char, Rgba>;

// Draw a text pixel map (rows separated by newlines; a leading newline is
// skipped) with its top-left at x, y; flip mirrors it left to right.
// An unknown palette letter stops the generator, so typos never reach a file.
void DrawMap(Canvas& c, int x, int y, const char* map, const Palette& pal, bool flip = false);
int MapWidth(const char* map);
int MapHeight(const char* map);

// Shapes (colours are put with alpha-over).
void FillRect(Canvas& c, int x, int y, int w, int h, Rgba col);
void FillEllipse(Canvas& c, float cx, float cy, float rx, float ry, Rgba col);
void FillPolygon(Canvas& c, const std::vector<float>& xy, Rgba col);  // x0,y0,x1,y1,...
void ThickLine(Canvas& c, float x0, float y0, float x1, float y1, float width, Rgba col);
void Ring(Canvas& c, float cx, float cy, float r0, float r1, Rgba col);

// Composition.
void Blit(Canvas& dst, const Canvas& src, int dx, int dy);  // alpha-over
void Outline(Canvas& c, Rgba col, bool diagonals = true);   // 1 px around solid pixels
Canvas Mirror(const Canvas& c);
Canvas Scale(const Canvas& c, int k);                         // nearest neighbour
Canvas ScaleTo(const Canvas& c, int w, int h);                // nearest neighbour
Canvas Cell(const Canvas& sheet, int index, int cw, int ch);  // copy one cell out
void PutCell(Canvas& sheet, int index, const Canvas& cell);   // cells row by row
void Recolour(Canvas& c, Rgba from, Rgba to);                 // exact colour swap

// Tiny 5x7 bitmap font (A-Z, 0-9, + - ! ? . : and space), k pixels per dot.
void DrawText(Canvas& c, int x, int y, const std::string& s, Rgba col, int k = 1);
int TextWidth(const std::string& s, int k = 1);

// Repeatable pseudo-random numbers for texture speckle.
struct Lcg {
  uint32_t s;
  explicit Lcg(uint32_t seed) : s(seed ? seed : 1) {}
  uint32_t Next() {
    s = s * 1664525u + 1013904223u;
    return s >> 8;
  }
  int Range(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }
  float Unit() { return float(Next() & 0xFFFF) / 65535.0f; }
};

// PNG, 8-bit RGBA, no time stamp: the same canvas always gives the same bytes.
bool WritePng(const Canvas& c, const std::string& path);
