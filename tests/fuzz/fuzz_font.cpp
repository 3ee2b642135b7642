// Feeds arbitrary bytes to the font rasteriser: it must answer false or give
// glyphs that lie inside their atlas, never crash.
#include <cstddef>
#include <cstdint>

#include "media/backend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte picks size and style, so those paths are fuzzed too.
  int pixelSize = 6 + (data[0] & 31);
  int style = (data[0] >> 5) & 7;
  FontData font;
  if (RasterFontMemory(data + 1, size - 1, pixelSize, style, font)) {
    for (const Glyph& g : font.glyphs) {
      if (g.x < 0 || g.y < 0 || g.x + g.w > font.atlasWidth || g.y + g.h > font.atlasHeight) __builtin_trap();
    }
    if (font.atlas.size() != static_cast<size_t>(font.atlasWidth) * font.atlasHeight) __builtin_trap();
  }
  return 0;
}
