// canvas.cpp — the art generator's drawing kit (see canvas.h).
#include "art/canvas.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

Rgba Hex(uint32_t rgb, uint8_t alpha) { return Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha}; }

static uint8_t Lerp8(uint8_t a, uint8_t b, float t) {
  float v = float(a) + (float(b) - float(a)) * t;
  return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

Rgba Mix(Rgba a, Rgba b, float t) {
  return Rgba{Lerp8(a.r, b.r, t), Lerp8(a.g, b.g, t), Lerp8(a.b, b.b, t), Lerp8(a.a, b.a, t)};
}

Rgba Shade(Rgba c, float f) {
  auto s = [f](uint8_t v) { return uint8_t(std::clamp(std::lround(v * f), 0L, 255L)); };
  return Rgba{s(c.r), s(c.g), s(c.b), c.a};
}

void Canvas::Put(int x, int y, Rgba c) {
  if (c.a == 0 || !Inside(x, y)) return;
  Rgba& d = px[size_t(y) * w + x];
  if (c.a == 255 || d.a == 0) {
    d = c;
    return;
  }
  // Straight-alpha "over".
  float sa = c.a / 255.0f, da = d.a / 255.0f;
  float oa = sa + da * (1 - sa);
  auto ch = [&](uint8_t s, uint8_t dv) {
    return uint8_t(std::clamp(std::lround((s * sa + dv * da * (1 - sa)) / oa), 0L, 255L));
  };
  d = Rgba{ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), uint8_t(std::lround(oa * 255))};
}

//------------------------------------------------------------------------------
// Pixel maps
//------------------------------------------------------------------------------
static std::vector<std::string> MapRows(const char* map) {
  std::vector<std::string> rows;
  const char* p = map;
  if (*p == '\n') ++p;
  std::string row;
  for (; *p; ++p) {
    if (*p == '\n') {
      rows.push_back(row);
      row.clear();
    } else {
      row += *p;
    }
  }
  if (!row.empty()) rows.push_back(row);
  return rows;
}

int MapWidth(const char* map) {
  size_t w = 0;
  for (auto& r : MapRows(map)) w = std::max(w, r.size());
  return int(w);
}

int MapHeight(const char* map) { return int(MapRows(map).size()); }

void DrawMap(Canvas& c, int x, int y, const char* map, const Palette& pal, bool flip) {
  auto rows = MapRows(map);
  int w = MapWidth(map);
  for (int j = 0; j < int(rows.size()); ++j) {
    for (int i = 0; i < int(rows[j].size()); ++i) {
      char ch = rows[j][i];
      if (ch == '.' || ch == ' ') continue;
      auto it = pal.find(ch);
      if (it == pal.end()) {
        std::fprintf(stderr, "artgen: palette has no colour for '%c' in map row %d\n", ch, j);
        std::exit(2);
      }
      c.Put(flip ? x + w - 1 - i : x + i, y + j, it->second);
    }
  }
}

//------------------------------------------------------------------------------
// Shapes
//------------------------------------------------------------------------------
void FillRect(Canvas& c, int x, int y, int w, int h, Rgba col) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) c.Put(i, j, col);
}

void FillEllipse(Canvas& c, float cx, float cy, float rx, float ry, Rgba col) {
  if (rx <= 0 || ry <= 0) return;
  int x0 = int(std::floor(cx - rx)), x1 = int(std::ceil(cx + rx));
  int y0 = int(std::floor(cy - ry)), y1 = int(std::ceil(cy + ry));
  for (int j = y0; j <= y1; ++j)
    for (int i = x0; i <= x1; ++i) {
      float dx = (i + 0.5f - cx) / rx, dy = (j + 0.5f - cy) / ry;
      if (dx * dx + dy * dy <= 1.0f) c.Put(i, j, col);
    }
}

void FillPolygon(Canvas& c, const std::vector<float>& xy, Rgba col) {
  size_t n = xy.size() / 2;
  if (n < 3) return;
  float minY = xy[1], maxY = xy[1];
  for (size_t k = 0; k < n; ++k) {
    minY = std::min(minY, xy[2 * k + 1]);
    maxY = std::max(maxY, xy[2 * k + 1]);
  }
  for (int j = int(std::floor(minY)); j <= int(std::ceil(maxY)); ++j) {
    float sy = j + 0.5f;
    std::vector<float> xs;
    for (size_t k = 0; k < n; ++k) {
      float ax = xy[2 * k], ay = xy[2 * k + 1];
      float bx = xy[2 * ((k + 1) % n)], by = xy[2 * ((k + 1) % n) + 1];
      if ((ay <= sy && by > sy) || (by <= sy && ay > sy)) xs.push_back(ax + (sy - ay) / (by - ay) * (bx - ax));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k += 2)
      for (int i = int(std::ceil(xs[k] - 0.5f)); i <= int(std::floor(xs[k + 1] - 0.5f)); ++i) c.Put(i, j, col);
  }
}

void ThickLine(Canvas& c, float x0, float y0, float x1, float y1, float width, Rgba col) {
  float r = width / 2;
  int ix0 = int(std::floor(std::min(x0, x1) - r)), ix1 = int(std::ceil(std::max(x0, x1) + r));
  int iy0 = int(std::floor(std::min(y0, y1) - r)), iy1 = int(std::ceil(std::max(y0, y1) + r));
  float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  for (int j = iy0; j <= iy1; ++j)
    for (int i = ix0; i <= ix1; ++i) {
      float px = i + 0.5f, py = j + 0.5f;
      float t = len2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
      float ex = x0 + t * dx - px, ey = y0 + t * dy - py;
      if (ex * ex + ey * ey <= r * r) c.Put(i, j, col);
    }
}

void Ring(Canvas& c, float cx, float cy, float r0, float r1, Rgba col) {
  for (int j = int(cy - r1) - 1; j <= int(cy + r1) + 1; ++j)
    for (int i = int(cx - r1) - 1; i <= int(cx + r1) + 1; ++i) {
      float dx = i + 0.5f - cx, dy = j + 0.5f - cy, d2 = dx * dx + dy * dy;
      if (d2 >= r0 * r0 && d2 <= r1 * r1) c.Put(i, j, col);
    }
}

//------------------------------------------------------------------------------
// Composition
//------------------------------------------------------------------------------
void Blit(Canvas& dst, const Canvas& src, int dx, int dy) {
  for (int j = 0; j < src.h; ++j)
    for (int i = 0; i < src.w; ++i) dst.Put(dx + i, dy + j, src.px[size_t(j) * src.w + i]);
}

void Outline(Canvas& c, Rgba col, bool diagonals) {
  Canvas out = c;
  for (int j = 0; j < c.h; ++j)
    for (int i = 0; i < c.w; ++i) {
      if (c.Solid(i, j)) continue;
      bool edge = c.Solid(i - 1, j) || c.Solid(i + 1, j) || c.Solid(i, j - 1) || c.Solid(i, j + 1);
      if (!edge && diagonals)
        edge = c.Solid(i - 1, j - 1) || c.Solid(i + 1, j - 1) || c.Solid(i - 1, j + 1) || c.Solid(i + 1, j + 1);
      if (edge) out.Set(i, j, col);
    }
  c = out;
}

Canvas Mirror(const Canvas& c) {
  Canvas m(c.w, c.h);
  for (int j = 0; j < c.h; ++j)
    for (int i = 0; i < c.w; ++i) m.Set(c.w - 1 - i, j, c.Get(i, j));
  return m;
}

Canvas Scale(const Canvas& c, int k) { return ScaleTo(c, c.w * k, c.h * k); }

Canvas ScaleTo(const Canvas& c, int w, int h) {
  Canvas s(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) s.Set(i, j, c.Get(int(int64_t(i) * c.w / w), int(int64_t(j) * c.h / h)));
  return s;
}

Canvas Cell(const Canvas& sheet, int index, int cw, int ch) {
  int cols = sheet.w / cw;
  Canvas out(cw, ch);
  int ox = (index % cols) * cw, oy = (index / cols) * ch;
  for (int j = 0; j < ch; ++j)
    for (int i = 0; i < cw; ++i) out.Set(i, j, sheet.Get(ox + i, oy + j));
  return out;
}

void PutCell(Canvas& sheet, int index, const Canvas& cell) {
  int cols = sheet.w / cell.w;
  int ox = (index % cols) * cell.w, oy = (index / cols) * cell.h;
  for (int j = 0; j < cell.h; ++j)
    for (int i = 0; i < cell.w; ++i) sheet.Set(ox + i, oy + j, cell.Get(i, j));
}

void Recolour(Canvas& c, Rgba from, Rgba to) {
  for (auto& p : c.px)
    if (p.r == from.r && p.g == from.g && p.b == from.b && p.a == from.a) p = to;
}

//------------------------------------------------------------------------------
// Bitmap font
//------------------------------------------------------------------------------
namespace {
struct GlyphRows {
  char ch;
  const char* rows[7];
};
const GlyphRows kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
    {':', {".....", "..#..", ".....", ".....", ".....", "..#..", "....."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};

const GlyphRows* FindGlyph(char ch) {
  for (auto& g : kGlyphs)
    if (g.ch == ch) return &g;
  return nullptr;
}
}  // namespace

void DrawText(Canvas& c, int x, int y, const std::string& s, Rgba col, int k) {
  int pen = x;
  for (char ch : s) {
    const GlyphRows* g = FindGlyph(ch);
    if (g) {
      for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 5; ++i)
          if (g->rows[j][i] == '#') FillRect(c, pen + i * k, y + j * k, k, k, col);
    }
    pen += 6 * k;
  }
}

int TextWidth(const std::string& s, int k) { return s.empty() ? 0 : (int(s.size()) * 6 - 1) * k; }

//------------------------------------------------------------------------------
// PNG
//------------------------------------------------------------------------------
namespace {
// libpng reports errors by longjmp: keep the setjmp in a frame that holds
// plain values only, so nothing with a destructor is skipped or clobbered.
bool WriteRows(FILE* f, int w, int h, png_bytep* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

bool WritePng(const Canvas& c, const std::string& path) {
  std::vector<uint8_t> bytes(size_t(c.w) * c.h * 4);
  for (size_t k = 0; k < c.px.size(); ++k) {
    Rgba p = c.px[k];
    if (p.a == 0) p = kClear;  // one value for "nothing", so files compare cleanly
    bytes[4 * k] = p.r;
    bytes[4 * k + 1] = p.g;
    bytes[4 * k + 2] = p.b;
    bytes[4 * k + 3] = p.a;
  }
  std::vector<png_bytep> rows(size_t(c.h));
  for (int j = 0; j < c.h; ++j) rows[j] = bytes.data() + size_t(j) * c.w * 4;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = WriteRows(f, c.w, c.h, rows.data());
  return std::fclose(f) == 0 && ok;
}
