// decode.cpp — the decode/ room: turning outside files into records. PNG
// images (libpng), TrueType fonts (FreeType), WAV sounds (checked here, then
// read by SDL's loader and converter, lent by sdl/services.h), and the small
// bitmap face drawn when no font is set. Bad input answers false. image.cpp
// keeps images as frames of CPU pixels (cutting, grabbing, PNG saving, the
// overlap test). Sees libpng and FreeType only.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include <png.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "media/backend.h"
#include "media/host/host.h"
#include "media/sdl/services.h"

//------------------------------------------------------------------------------
// PNG
//------------------------------------------------------------------------------
namespace {

// Images larger than this are refused rather than exhausting memory.
constexpr png_uint_32 kMaxSide = 16384;
constexpr size_t kMaxPixels = size_t(1) << 25;

struct MemoryInput {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void PngReadMemory(png_structp png, png_bytep out, png_size_t n) {
  auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (n > in->size - in->pos) png_error(png, "truncated");
  std::memcpy(out, in->data + in->pos, n);
  in->pos += n;
}

[[noreturn]] void PngFail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarn(png_structp, png_const_charp) {}

// The part that libpng may leave by longjmp. It creates no objects of its
// own; everything that outlives a jump belongs to the caller.
bool ReadPngImage(png_structp png, png_infop info, int& w, int& h, std::vector<uint32_t>& rgba,
                  std::vector<png_bytep>& rows) {
  // NOLINTNEXTLINE(cert-err52-cpp): libpng reports its errors by longjmp
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxSide, kMaxSide);
  // libpng allocates an ancillary chunk's declared length before reading it
  // (a size over its limit only warns), so a few damaged bytes could ask for
  // gigabytes. None of them changes our pixels: every chunk but the image's
  // own (IHDR, PLTE, tRNS, IDAT, IEND) is skipped unread.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(png, info);
  png_uint_32 pw = 0, ph = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &pw, &ph, &depth, &colour, &interlace, nullptr, nullptr);
  if (pw == 0 || ph == 0 || static_cast<size_t>(pw) * ph > kMaxPixels) return false;

  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_scale_16(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (!(colour & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(pw) * 4) return false;

  rgba.assign(static_cast<size_t>(pw) * ph, 0);
  rows.resize(ph);
  for (png_uint_32 y = 0; y < ph; ++y) rows[y] = reinterpret_cast<png_bytep>(&rgba[static_cast<size_t>(y) * pw]);
  png_read_image(png, rows.data());
  // The trailing chunks are not needed; a damaged tail still gives the picture.
  w = static_cast<int>(pw);
  h = static_cast<int>(ph);
  return true;
}

// Either a file or a memory block feeds the reader.
bool DecodePngFrom(std::FILE* file, MemoryInput* memory, int& w, int& h, std::vector<uint32_t>& rgba) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngWarn);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (file) png_init_io(png, file);
  else png_set_read_fn(png, memory, PngReadMemory);
  std::vector<png_bytep> rows;
  std::vector<uint32_t> pixels;
  int pw = 0, ph = 0;
  bool ok = false;
  try {
    ok = ReadPngImage(png, info, pw, ph, pixels, rows);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return false;
  w = pw;
  h = ph;
  rgba = std::move(pixels);
  return true;
}

}  // namespace

bool DecodePng(const std::string& file, int& w, int& h, std::vector<uint32_t>& rgba) {
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return false;
  bool ok = DecodePngFrom(f, nullptr, w, h, rgba);
  std::fclose(f);
  return ok;
}

bool DecodePngMemory(const uint8_t* data, size_t size, int& w, int& h, std::vector<uint32_t>& rgba) {
  MemoryInput in{data, size, 0};
  return DecodePngFrom(nullptr, &in, w, h, rgba);
}

//------------------------------------------------------------------------------
// Fonts
//------------------------------------------------------------------------------
namespace {

FT_Library FreeTypeLibrary() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

// Byte codes without a printable character (C0 and C1 controls).
bool ControlCode(int code) { return code < 32 || (code >= 127 && code < 160); }

struct GlyphBitmap {
  int w = 0, h = 0;
  std::vector<uint8_t> coverage;
};

// Shelf-pack the glyph bitmaps into one alpha atlas, one pixel apart.
void PackAtlas(FontData& out, GlyphBitmap (&bitmaps)[256]) {
  int widest = 0;
  for (const GlyphBitmap& b : bitmaps) widest = std::max(widest, b.w);
  int width = std::max(out.size >= 40 ? 1024 : 512, widest + 2);
  int x = 1, y = 1, rowH = 0;
  for (int c = 0; c < 256; ++c) {
    const GlyphBitmap& b = bitmaps[c];
    if (b.w == 0 || b.h == 0) continue;
    if (x + b.w + 1 > width) {
      x = 1;
      y += rowH + 1;
      rowH = 0;
    }
    out.glyphs[c].x = x;
    out.glyphs[c].y = y;
    x += b.w + 1;
    rowH = std::max(rowH, b.h);
  }
  out.atlasWidth = width;
  out.atlasHeight = y + rowH + 1;
  out.atlas.assign(static_cast<size_t>(out.atlasWidth) * out.atlasHeight, 0);
  for (int c = 0; c < 256; ++c) {
    const GlyphBitmap& b = bitmaps[c];
    const Glyph& g = out.glyphs[c];
    for (int row = 0; row < b.h; ++row)
      std::memcpy(&out.atlas[static_cast<size_t>(g.y + row) * out.atlasWidth + g.x],
                  &b.coverage[static_cast<size_t>(row) * b.w], static_cast<size_t>(b.w));
  }
}

bool RasterFace(FT_Face face, int size, int style, FontData& out) {
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 && face->num_charmaps > 0)
    FT_Set_Charmap(face, face->charmaps[0]);
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) return false;
  if (style & ITALICFONT) {
    FT_Matrix shear = {0x10000, 0x3333, 0, 0x10000};  // lean right by a fifth
    FT_Set_Transform(face, &shear, nullptr);
  }
  const bool smooth = (style & SMOOTHFONT) != 0;
  out = FontData();
  out.size = size;
  out.style = style;
  const FT_Size_Metrics& m = face->size->metrics;
  out.ascent = static_cast<int>((m.ascender + 63) >> 6);
  out.lineHeight = static_cast<int>((m.height + 63) >> 6);
  if (out.lineHeight <= 0) out.lineHeight = static_cast<int>((m.ascender - m.descender + 63) >> 6);
  if (out.lineHeight <= 0 || out.lineHeight > 8 * size) out.lineHeight = size;
  if (out.ascent <= 0 || out.ascent > out.lineHeight) out.ascent = out.lineHeight * 4 / 5;

  // A broken font may claim enormous glyphs; those are left blank.
  const int maxSide = 4 * size + 64;
  GlyphBitmap bitmaps[256];
  for (int c = 0; c < 256; ++c) {
    if (ControlCode(c)) continue;
    HostBreathe();
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
    FT_Int32 load = FT_LOAD_DEFAULT | (smooth ? 0 : FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(face, index, load) != 0) continue;
    FT_GlyphSlot slot = face->glyph;
    if (style & BOLDFONT) FT_GlyphSlot_Embolden(slot);
    // Rendering allocates the outline's whole box, so a huge one is left
    // blank before it can ask for hundreds of megabytes.
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_BBox box;
      FT_Outline_Get_CBox(&slot->outline, &box);
      if ((box.xMax - box.xMin) / 64 > maxSide || (box.yMax - box.yMin) / 64 > maxSide) continue;
    }
    if (FT_Render_Glyph(slot, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) continue;
    Glyph& g = out.glyphs[c];
    long advance = (slot->advance.x + 32) >> 6;
    g.advance = static_cast<int>(std::clamp(advance, 0L, static_cast<long>(maxSide)));
    const FT_Bitmap& bm = slot->bitmap;
    int bw = static_cast<int>(bm.width), bh = static_cast<int>(bm.rows);
    if (bw <= 0 || bh <= 0 || bw > maxSide || bh > maxSide || !bm.buffer) continue;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) continue;
    g.w = bw;
    g.h = bh;
    g.left = std::clamp(slot->bitmap_left, -maxSide, maxSide);
    g.top = out.ascent - std::clamp(slot->bitmap_top, -maxSide, maxSide);
    GlyphBitmap& b = bitmaps[c];
    b.w = bw;
    b.h = bh;
    b.coverage.assign(static_cast<size_t>(bw) * bh, 0);
    for (int y = 0; y < bh; ++y) {
      const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
      for (int x = 0; x < bw; ++x) {
        uint8_t v;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        else
          v = bm.num_grays > 1 && bm.num_grays != 256 ? static_cast<uint8_t>(row[x] * 255 / (bm.num_grays - 1))
                                                      : row[x];
        b.coverage[static_cast<size_t>(y) * bw + x] = v;
      }
    }
  }
  PackAtlas(out, bitmaps);
  return true;
}

bool RasterFontFrom(const std::string* file, const uint8_t* data, size_t bytes, int size, int style, FontData& out) {
  // Sizes beyond what a screen shows would only build huge atlases.
  if (size < 1 || size > 512) return false;
  FT_Library lib = FreeTypeLibrary();
  if (!lib) return false;
  FT_Face face = nullptr;
  FT_Error err = file ? FT_New_Face(lib, file->c_str(), 0, &face)
                      : FT_New_Memory_Face(lib, data, static_cast<FT_Long>(bytes), 0, &face);
  if (err != 0 || !face) return false;
  FontData font;
  bool ok = FT_IS_SCALABLE(face) && RasterFace(face, size, style, font);
  FT_Done_Face(face);
  if (ok) out = std::move(font);
  return ok;
}

}  // namespace

bool RasterFont(const std::string& file, int size, int style, FontData& out) {
  return RasterFontFrom(&file, nullptr, 0, size, style, out);
}

bool RasterFontMemory(const uint8_t* data, size_t size, int pixelSize, int style, FontData& out) {
  if (!data || size == 0 || size > static_cast<size_t>(LONG_MAX)) return false;
  return RasterFontFrom(nullptr, data, size, pixelSize, style, out);
}

//------------------------------------------------------------------------------
// The built-in face: 5x7 glyphs of our own, drawn at twice their size.
//------------------------------------------------------------------------------
namespace {

// Printable ASCII 32..126, seven rows each, bit 4 the leftmost column.
const uint8_t kFace5x7[95][7] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04},  //   !
    {0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A},  // " #
    {0x04, 0x0F, 0x14, 0x0E, 0x05, 0x1E, 0x04}, {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03},  // $ %
    {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}, {0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00},  // & '
    {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}, {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08},  // ( )
    {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00}, {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00},  // * +
    {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}, {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00},  // , -
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}, {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00},  // . /
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 0 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 2 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 4 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 6 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 8 9
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}, {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x04, 0x08},  // : ;
    {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}, {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00},  // < =
    {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}, {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04},  // > ?
    {0x0E, 0x11, 0x01, 0x0D, 0x15, 0x15, 0x0E}, {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11},  // @ A
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}, {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},  // B C
    {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // D E
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}, {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F},  // F G
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E},  // H I
    {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}, {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11},  // J K
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}, {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11},  // L M
    {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}, {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // N O
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}, {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D},  // P Q
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}, {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},  // R S
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // T U
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}, {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A},  // V W
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}, {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04},  // X Y
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}, {0x0E, 0x08, 0x08, 0x08, 0x08, 0x08, 0x0E},  // Z [
    {0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00}, {0x0E, 0x02, 0x02, 0x02, 0x02, 0x02, 0x0E},  // \ ]
    {0x04, 0x0A, 0x11, 0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F},  // ^ _
    {0x08, 0x04, 0x02, 0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F},  // ` a
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}, {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E},  // b c
    {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}, {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E},  // d e
    {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}, {0x00, 0x0F, 0x11, 0x11, 0x0F, 0x01, 0x0E},  // f g
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}, {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E},  // h i
    {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C}, {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12},  // j k
    {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11},  // l m
    {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}, {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E},  // n o
    {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}, {0x00, 0x00, 0x0D, 0x13, 0x0F, 0x01, 0x01},  // p q
    {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}, {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E},  // r s
    {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}, {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D},  // t u
    {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}, {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A},  // v w
    {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}, {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E},  // x y
    {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}, {0x02, 0x04, 0x04, 0x08, 0x04, 0x04, 0x02},  // z {
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}, {0x08, 0x04, 0x04, 0x02, 0x04, 0x04, 0x08},  // | }
    {0x00, 0x00, 0x08, 0x15, 0x02, 0x00, 0x00},                                              // ~
};

// Latin-1 letters 192..255 shown as their plain letter.
const char kLatin1Base[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPsaaaaaaaceeeeiiiidnooooo/ouuuuypy";

constexpr int kDot = 2;  // screen pixels per face pixel
constexpr int kCellW = 6 * kDot, kCellH = 8 * kDot;

// The face row pattern for a byte code, or nullptr when it shows nothing.
const uint8_t* FacePattern(int code) {
  if (code >= 32 && code <= 126) return kFace5x7[code - 32];
  if (code >= 192) return kFace5x7[kLatin1Base[code - 192] - 32];
  return nullptr;
}

}  // namespace

void BuiltinFont(FontData& out) {
  out = FontData();
  out.size = kCellH;
  out.ascent = 7 * kDot;
  out.lineHeight = kCellH;
  out.atlasWidth = 16 * kCellW;
  out.atlasHeight = 16 * kCellH;
  out.atlas.assign(static_cast<size_t>(out.atlasWidth) * out.atlasHeight, 0);
  for (int c = 0; c < 256; ++c) {
    Glyph& g = out.glyphs[c];
    if (ControlCode(c)) continue;
    g.advance = kCellW;
    const uint8_t* rows = FacePattern(c);
    if (!rows) continue;  // blank but spaced, like a space
    g.x = (c % 16) * kCellW;
    g.y = (c / 16) * kCellH;
    g.w = 5 * kDot;
    g.h = 7 * kDot;
    g.left = 0;
    g.top = 0;
    for (int y = 0; y < g.h; ++y)
      for (int x = 0; x < g.w; ++x)
        if (rows[y / kDot] & (0x10 >> (x / kDot)))
          out.atlas[static_cast<size_t>(g.y + y) * out.atlasWidth + g.x + x] = 255;
  }
}

//------------------------------------------------------------------------------
// WAV
//------------------------------------------------------------------------------
namespace {

// SDL counts a plain sample format's frames by the block alignment the file
// states but reads each frame at its real size, so a block alignment smaller
// than a frame makes it read past the samples into memory it never filled
// (a different sound every load). A frame is never smaller than its samples.
void FitBlockAlign(uint8_t* fmt) {
  const unsigned tag = fmt[0] | fmt[1] << 8;
  const bool plain = tag == 1 || tag == 3 || tag == 6 || tag == 7 || tag == 0xFFFE;  // PCM, float, A/u-law
  const unsigned channels = fmt[2] | fmt[3] << 8;
  const unsigned align = fmt[12] | fmt[13] << 8;
  const unsigned frame = channels * ((static_cast<unsigned>(fmt[14] | fmt[15] << 8) + 7) / 8);
  if (plain && align < frame && frame <= 0xFFFF) {
    fmt[12] = static_cast<uint8_t>(frame);
    fmt[13] = static_cast<uint8_t>(frame >> 8);
  }
}

// SDL allocates a chunk's declared length before reading it, so a tiny file
// claiming gigabytes would exhaust memory. Lengths are cut to the bytes the
// file really has, which also lets a truncated file play what it holds.
// Anything but a RIFF WAVE file is refused here (SDL would take a bare
// "WAVE" header too, without this check).
bool FitRiffLengths(std::vector<uint8_t>& bytes) {
  auto get32 = [&](size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
  };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(&bytes[8], "WAVE", 4) != 0)
    return false;
  put32(4, static_cast<uint32_t>(bytes.size() - 8));
  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    size_t avail = bytes.size() - pos - 8;
    uint32_t len = get32(pos + 4);
    if (len > avail) {
      put32(pos + 4, static_cast<uint32_t>(avail));
      len = static_cast<uint32_t>(avail);
    }
    if (std::memcmp(&bytes[pos], "fmt ", 4) == 0 && len >= 16) FitBlockAlign(&bytes[pos + 8]);
    if (len == avail) break;
    pos += 8 + len + (len & 1);
  }
  return true;
}

bool DecodeWavBytes(std::vector<uint8_t>& bytes, SoundData& out) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
  if (!FitRiffLengths(bytes)) return false;
  SoundData snd;
  if (!SdlDecodeWav(bytes.data(), bytes.size(), snd)) return false;
  out = std::move(snd);
  return true;
}

}  // namespace

bool DecodeWav(const std::string& file, SoundData& out) {
  // Sound effects are small; anything past this size is not one of ours.
  constexpr long kMaxBytes = 256L << 20;
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> bytes;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  if (size > 0 && size <= kMaxBytes && std::fseek(f, 0, SEEK_SET) == 0) {
    bytes.resize(static_cast<size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
  }
  std::fclose(f);
  return DecodeWavBytes(bytes, out);
}

bool DecodeWavMemory(const uint8_t* data, size_t size, SoundData& out) {
  if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  std::vector<uint8_t> bytes(data, data + size);
  return DecodeWavBytes(bytes, out);
}
