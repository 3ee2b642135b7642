// Textures of images and font atlases for the sprite batch. A record per
// resource holds its texture and layout; ImageData::gpu and FontData::gpu
// hold the record's number + 1. Textures die with their context, so every
// record is emptied when the renderer shuts down and made again on its next
// draw, from the pixels the resource keeps on the CPU.
#include <algorithm>
#include <vector>

#include "media/gl/renderer.h"

namespace {

struct Record {
  GlSheet sheet;
  uint32_t version = 0;  // ImageData::version uploaded
  bool used = false;
};

std::vector<Record> g_records;

// Band textures by their colours, the least lately used replaced first: a
// screen draws one or two skies a frame.
struct Bands {
  unsigned tex = 0;
  std::vector<uint32_t> colours;
  uint64_t used = 0;  // g_bandClock when last asked for
};
constexpr int kBandSlots = 4;
Bands g_bands[kBandSlots];
uint64_t g_bandClock = 0;

// Frames sit in a grid with a one-pixel border copied from each frame's
// edge, so smooth filtering never bleeds a neighbour frame in.
std::vector<uint32_t> FrameSheet(const ImageData& img, int cols, int texW, int texH) {
  std::vector<uint32_t> sheet(static_cast<size_t>(texW) * texH, 0);
  const int w = img.width, h = img.height;
  for (int f = 0; f < img.frames && f < static_cast<int>(img.pixels.size()); ++f) {
    const std::vector<uint32_t>& px = img.pixels[f];
    if (px.size() != static_cast<size_t>(w) * h) continue;
    const int ox = (f % cols) * (w + 2), oy = (f / cols) * (h + 2);
    // Row by row (a grabbed screen is remade at once when the pause menu opens).
    for (int y = -1; y <= h; ++y) {
      const uint32_t* src = &px[static_cast<size_t>(std::clamp(y, 0, h - 1)) * w];
      uint32_t* row = &sheet[static_cast<size_t>(oy + y + 1) * texW + ox];
      row[0] = src[0];
      std::copy(src, src + w, row + 1);
      row[w + 1] = src[w - 1];
    }
  }
  return sheet;
}

Record& RecordFor(uintptr_t& gpu) {
  if (gpu == 0 || gpu > g_records.size() || !g_records[gpu - 1].used) {
    size_t i = 0;
    while (i < g_records.size() && g_records[i].used) ++i;
    if (i == g_records.size()) g_records.emplace_back();
    g_records[i] = Record{};
    g_records[i].used = true;
    gpu = i + 1;
  }
  return g_records[gpu - 1];
}

}  // namespace

const GlSheet* GlImageSheet(ImageData& img) {
  if (img.width <= 0 || img.height <= 0 || img.frames <= 0) return nullptr;
  Record& r = RecordFor(img.gpu);
  GlSheet& s = r.sheet;
  if (s.tex && r.version == img.version) return &s;
  if (!s.tex) {
    const int maxTex = GlMaxTextureSize();
    const int cellW = img.width + 2, cellH = img.height + 2;
    if (cellW > maxTex || cellH > maxTex) return nullptr;
    s.cols = std::max(1, std::min(img.frames, maxTex / cellW));
    const int rows = (img.frames + s.cols - 1) / s.cols;
    if (rows > maxTex / cellH) return nullptr;  // too big for this GL
    s.width = s.cols * cellW;
    s.height = rows * cellH;
    const std::vector<uint32_t> pixels = FrameSheet(img, s.cols, s.width, s.height);
    s.tex = GlCreateTexture(s.width, s.height, pixels.data(), (img.flags & FILTEREDIMAGE) != 0);
  } else {
    // The pixels changed (a grab): same layout, new contents.
    const std::vector<uint32_t> pixels = FrameSheet(img, s.cols, s.width, s.height);
    GlUpdateTexture(s.tex, s.width, s.height, pixels.data());
  }
  r.version = img.version;
  return s.tex ? &s : nullptr;
}

const GlSheet* GlFontSheet(FontData& font) {
  if (font.atlasWidth <= 0 || font.atlasHeight <= 0 ||
      font.atlas.size() < static_cast<size_t>(font.atlasWidth) * font.atlasHeight)
    return nullptr;
  GlSheet& s = RecordFor(font.gpu).sheet;
  if (s.tex) return &s;
  // White texels whose alpha is the glyph coverage, so colour and blend
  // apply to text exactly as to images.
  std::vector<uint32_t> rgba(static_cast<size_t>(font.atlasWidth) * font.atlasHeight);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = 0x00FFFFFFu | static_cast<uint32_t>(font.atlas[i]) << 24;
  s.width = font.atlasWidth;
  s.height = font.atlasHeight;
  s.tex = GlCreateTexture(s.width, s.height, rgba.data(), (font.style & SMOOTHFONT) != 0);
  return s.tex ? &s : nullptr;
}

void GlReleaseSheet(uintptr_t& gpu) {
  if (gpu > 0 && gpu <= g_records.size()) {
    Record& r = g_records[gpu - 1];
    GlDeleteTexture(r.sheet.tex);
    r = Record{};
  }
  gpu = 0;
}

void GlForgetSheets() {
  for (Record& r : g_records) r.sheet.tex = 0;
  for (Bands& b : g_bands) b = Bands{};
}

unsigned GlBandTexture(const std::vector<uint32_t>& colours) {
  const int n = static_cast<int>(colours.size());
  if (n <= 0 || n > GlMaxTextureSize()) return 0;
  ++g_bandClock;
  Bands* slot = &g_bands[0];
  for (Bands& b : g_bands) {
    if (b.tex && b.colours == colours) {
      b.used = g_bandClock;
      return b.tex;
    }
    if (b.used < slot->used) slot = &b;
  }
  std::vector<uint32_t> texels(colours);
  for (uint32_t& t : texels) t |= 0xFF000000u;
  if (slot->tex) GlDeleteTexture(slot->tex);
  *slot = Bands{GlCreateTexture(1, n, texels.data(), false), colours, g_bandClock};
  return slot->tex;
}
