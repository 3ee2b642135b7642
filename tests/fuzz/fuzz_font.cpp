// Feeds arbitrary bytes to the font rasteriser, as a file by name (the way
// the game loads its fonts) and as a memory block: it must answer false or
// give glyphs that lie inside their atlas, never crash, and both ways must
// give the same face.
#include <cstddef>
#include <cstdint>

#include "media/backend.h"

#include "fuzz_support.h"

const char* const kFuzzTarget = "font";

namespace {

bool SameGlyph(const Glyph& a, const Glyph& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h && a.left == b.left && a.top == b.top &&
         a.advance == b.advance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte picks size and style, so those paths are fuzzed too.
  int pixelSize = 6 + (data[0] & 31);
  int style = (data[0] >> 5) & 7;
  FontData font, fromFile;
  const bool ok = RasterFontMemory(data + 1, size - 1, pixelSize, style, font);
  Check(RasterFont(InputFile(data + 1, size - 1), pixelSize, style, fromFile) == ok,
        "the file and the memory block read differently");
  if (!ok) return 0;
  for (const Glyph& g : font.glyphs)
    Check(g.x >= 0 && g.y >= 0 && g.x + g.w <= font.atlasWidth && g.y + g.h <= font.atlasHeight,
          "a glyph outside the atlas");
  Check(font.atlas.size() == static_cast<size_t>(font.atlasWidth) * font.atlasHeight, "atlas size");
  bool same = font.ascent == fromFile.ascent && font.lineHeight == fromFile.lineHeight && font.atlas == fromFile.atlas;
  for (int c = 0; c < 256 && same; ++c) same = SameGlyph(font.glyphs[c], fromFile.glyphs[c]);
  Check(same, "the file and the memory block gave different faces");
  return 0;
}
