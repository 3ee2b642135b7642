// image.cpp — images as frames of CPU pixels: loading and cutting, blank and
// grabbed images, PNG saving, frame placement and the pixel-exact overlap test.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>

#include "media/core.h"
#include "media/files/files.h"
#include "media/host/host.h"

namespace {

std::unique_ptr<ImageData> NewImage(int w, int h, int frames, int flags) {
  auto img = std::make_unique<ImageData>();
  img->width = w;
  img->height = h;
  img->frames = frames;
  img->flags = flags;
  if (g_media.resources.autoMid) {
    img->handleX = w * 0.5f;
    img->handleY = h * 0.5f;
  }
  img->pixels.assign(static_cast<size_t>(frames), std::vector<uint32_t>(static_cast<size_t>(w) * h, 0));
  return img;
}

bool Opaque(uint32_t pixel) { return (pixel >> 24) >= 128; }

// An image file's pixels; a file that is there but cannot be used is reported.
bool DecodeImageFile(const std::string& file, int& w, int& h, std::vector<uint32_t>& rgba) {
  HostBreathe();
  if (DecodePng(file, w, h, rgba)) return true;
  ReportUnusable(file, "a PNG image");
  return false;
}

}  // namespace

void AutoMidHandle(bool on) { g_media.resources.autoMid = on; }

int LoadImage(const std::string& file, int flags) {
  int w = 0, h = 0;
  std::vector<uint32_t> rgba;
  if (!DecodeImageFile(file, w, h, rgba)) return 0;
  auto img = NewImage(w, h, 0, flags);
  img->frames = 1;
  img->pixels.push_back(std::move(rgba));
  return StoreImage(std::move(img));
}

// Cells are numbered left to right, then top to bottom; a sheet with fewer
// cells than asked for gives the frames it has.
int LoadAnimImage(const std::string& file, int cellW, int cellH, int first, int count, int flags) {
  if (cellW <= 0 || cellH <= 0 || first < 0 || count <= 0) return 0;
  int w = 0, h = 0;
  std::vector<uint32_t> rgba;
  if (!DecodeImageFile(file, w, h, rgba)) return 0;
  int cols = w / cellW, rows = h / cellH;
  int64_t cells = static_cast<int64_t>(cols) * rows;
  int frames = static_cast<int>(std::min<int64_t>(count, cells - first));
  if (frames <= 0) return 0;
  auto img = NewImage(cellW, cellH, 0, flags);
  img->frames = frames;
  img->pixels.resize(static_cast<size_t>(frames));
  for (int f = 0; f < frames; ++f) {
    int cell = first + f;
    int x0 = (cell % cols) * cellW, y0 = (cell / cols) * cellH;
    std::vector<uint32_t>& px = img->pixels[static_cast<size_t>(f)];
    px.resize(static_cast<size_t>(cellW) * cellH);
    for (int y = 0; y < cellH; ++y)
      std::copy_n(&rgba[static_cast<size_t>(y0 + y) * w + x0], cellW, &px[static_cast<size_t>(y) * cellW]);
  }
  return StoreImage(std::move(img));
}

int ImageWidth(int image) {
  ImageData* img = ImageFromHandle(image);
  return img ? img->width : 0;
}

int ImageHeight(int image) {
  ImageData* img = ImageFromHandle(image);
  return img ? img->height : 0;
}

int ImageFrames(int image) {
  ImageData* img = ImageFromHandle(image);
  return img ? img->frames : 0;
}

int CreateImage(int w, int h, int frames, int flags) {
  if (w <= 0 || h <= 0 || frames <= 0 || w > 16384 || h > 16384 ||
      static_cast<int64_t>(w) * h * frames > (int64_t(1) << 26))
    return 0;
  return StoreImage(NewImage(w, h, frames, flags | DYNAMICIMAGE));
}

void GrabImage(int image, int x, int y, int frame) {
  ImageData* img = ImageFromHandle(image);
  if (!img || frame < 0 || frame >= img->frames) return;
  // The point is virtual; the pixels come from the display, where the
  // picture may sit between black bars.
  int dw = 0, dh = 0;
  DisplaySize(dw, dh);
  float vw = VirtualResolutionWidth(), vh = VirtualResolutionHeight();
  int px = x, py = y;
  if (dw > 0 && dh > 0 && vw > 0 && vh > 0) {
    const PictureFit fit = FitPicture(dw, dh);
    px = static_cast<int>(std::lround(fit.x + x * fit.w / vw));
    py = static_cast<int>(std::lround(fit.y + y * fit.h / vh));
  }
  Backend().ReadPixels(px, py, img->width, img->height, img->pixels[static_cast<size_t>(frame)].data());
  ++img->version;
}

Pixmap GrabPixmap(int x, int y, int w, int h) {
  Pixmap pm;
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return pm;
  pm.width = w;
  pm.height = h;
  pm.pixels.assign(static_cast<size_t>(w) * h, 0);
  Backend().ReadPixels(x, y, w, h, pm.pixels.data());
  return pm;
}

//------------------------------------------------------------------------------
// PNG writing
//------------------------------------------------------------------------------
namespace {

[[noreturn]] void PngFail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarn(png_structp, png_const_charp) {}

// The part libpng may leave by longjmp; the row table belongs to the caller.
bool WritePng(png_structp png, png_infop info, std::FILE* f, const Pixmap& pm, int level,
              std::vector<png_bytep>& rows) {
  // NOLINTNEXTLINE(cert-err52-cpp): libpng reports its errors by longjmp
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  png_set_compression_level(png, level);
  png_set_IHDR(png, info, static_cast<png_uint_32>(pm.width), static_cast<png_uint_32>(pm.height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

int SavePixmapPNG(const Pixmap& pixmap, const std::string& file, int compression) {
  if (pixmap.width <= 0 || pixmap.height <= 0 ||
      pixmap.pixels.size() != static_cast<size_t>(pixmap.width) * pixmap.height)
    return 0;
  std::FILE* f = BeginSafeSave(file);
  if (!f) return 0;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngWarn);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info) {
    std::vector<png_bytep> rows(static_cast<size_t>(pixmap.height));
    for (int y = 0; y < pixmap.height; ++y)
      rows[static_cast<size_t>(y)] =
          reinterpret_cast<png_bytep>(const_cast<uint32_t*>(&pixmap.pixels[static_cast<size_t>(y) * pixmap.width]));
    ok = WritePng(png, info, f, pixmap, std::clamp(compression, 0, 9), rows);
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  // Never half a picture under the asked-for name.
  ok = EndSafeSave(f, file, ok);
  if (ok) HostPictureSaved(file);
  return ok ? 1 : 0;
}

//------------------------------------------------------------------------------
// Placement and overlap
//------------------------------------------------------------------------------
Quad PlaceFrame(float w, float h, float handleX, float handleY, float x, float y, float scaleX, float scaleY,
                float rotation) {
  double s, c;
  SinCosDeg(rotation, s, c);
  const double lx[4] = {-handleX, w - handleX, w - handleX, -handleX};
  const double ly[4] = {-handleY, -handleY, h - handleY, h - handleY};
  Quad q;
  for (int i = 0; i < 4; ++i) {
    double px = lx[i] * scaleX, py = ly[i] * scaleY;
    q.x[i] = static_cast<float>(x + px * c - py * s);
    q.y[i] = static_cast<float>(y + px * s + py * c);
  }
  return q;
}

Quad PlaceGlyph(const Glyph& g, int pen, float x, float y, const DrawState& s) {
  // Each glyph is a frame whose handle is the text's top-left corner.
  return PlaceFrame(static_cast<float>(g.w), static_cast<float>(g.h), -static_cast<float>(pen + g.left),
                    -static_cast<float>(g.top), x, y, s.scaleX, s.scaleY, s.rotation);
}

bool PlaceLine(float x1, float y1, float x2, float y2, bool lastPixel, const DrawState& s, float kx, float ky,
               Quad& q) {
  // Scale and rotation apply about the first point, as for a rectangle.
  const Quad end = PlaceFrame(0, 0, x1 - x2, y1 - y2, x1, y1, s.scaleX, s.scaleY, s.rotation);
  // Work in display pixels so the line is one pixel wide whatever the
  // virtual resolution, through pixel centres.
  const float ax = x1 * kx + 0.5f, ay = y1 * ky + 0.5f;
  const float bx = end.x[0] * kx + 0.5f, by = end.y[0] * ky + 0.5f;
  float dx = bx - ax, dy = by - ay;
  const float len = std::sqrt(dx * dx + dy * dy);
  if (!(len > 1e-4f)) {
    if (!lastPixel) return false;
    dx = 1;
    dy = 0;
  } else {
    dx /= len;
    dy /= len;
  }
  const float tail = lastPixel ? 0.5f : -0.5f;
  const float sx = ax - dx * 0.5f, sy = ay - dy * 0.5f;
  const float ex = bx + dx * tail, ey = by + dy * tail;
  const float nx = -dy * 0.5f, ny = dx * 0.5f;
  q.x[0] = (sx + nx) / kx;
  q.y[0] = (sy + ny) / ky;
  q.x[1] = (ex + nx) / kx;
  q.y[1] = (ey + ny) / ky;
  q.x[2] = (ex - nx) / kx;
  q.y[2] = (ey - ny) / ky;
  q.x[3] = (sx - nx) / kx;
  q.y[3] = (sy - ny) / ky;
  return true;
}

namespace {

// One placed frame, mapping screen points back into its pixels.
struct Placed {
  const ImageData* img;
  const uint32_t* px;
  double x, y, s, c, sx, sy;

  // Local pixel coordinates of the screen point (X, Y).
  void Local(double X, double Y, double& u, double& v) const {
    double dx = X - x, dy = Y - y;
    u = (dx * c + dy * s) / sx + img->handleX;
    v = (-dx * s + dy * c) / sy + img->handleY;
  }
  bool OpaqueAt(double u, double v) const {
    if (!(u >= 0 && v >= 0 && u < img->width && v < img->height)) return false;
    return Opaque(px[static_cast<size_t>(v) * img->width + static_cast<size_t>(u)]);
  }
};

void Bounds(const Quad& q, float& x0, float& y0, float& x1, float& y1) {
  x0 = std::min({q.x[0], q.x[1], q.x[2], q.x[3]});
  x1 = std::max({q.x[0], q.x[1], q.x[2], q.x[3]});
  y0 = std::min({q.y[0], q.y[1], q.y[2], q.y[3]});
  y1 = std::max({q.y[0], q.y[1], q.y[2], q.y[3]});
}

}  // namespace

// Both frames are sampled at the centres of the unit grid where they cover
// the same area, as the rasteriser samples pixel centres when drawing them.
bool ImagesCollide(int a, float ax, float ay, int frameA, int b, float bx, float by, int frameB) {
  ImageData* ia = ImageFromHandle(a);
  ImageData* ib = ImageFromHandle(b);
  if (!ia || !ib || frameA < 0 || frameA >= ia->frames || frameB < 0 || frameB >= ib->frames) return false;
  DrawState st = CurrentDrawState();
  if (st.scaleX == 0 || st.scaleY == 0) return false;

  Quad qa = PlaceFrame(static_cast<float>(ia->width), static_cast<float>(ia->height), ia->handleX, ia->handleY, ax, ay,
                       st.scaleX, st.scaleY, st.rotation);
  Quad qb = PlaceFrame(static_cast<float>(ib->width), static_cast<float>(ib->height), ib->handleX, ib->handleY, bx, by,
                       st.scaleX, st.scaleY, st.rotation);
  float a0x, a0y, a1x, a1y, b0x, b0y, b1x, b1y;
  Bounds(qa, a0x, a0y, a1x, a1y);
  Bounds(qb, b0x, b0y, b1x, b1y);
  float x0 = std::max(a0x, b0x), x1 = std::min(a1x, b1x);
  float y0 = std::max(a0y, b0y), y1 = std::min(a1y, b1y);
  if (!(x0 < x1 && y0 < y1)) return false;

  double s, c;
  SinCosDeg(st.rotation, s, c);
  Placed pa{ia, ia->pixels[static_cast<size_t>(frameA)].data(), ax, ay, s, c, st.scaleX, st.scaleY};
  Placed pb{ib, ib->pixels[static_cast<size_t>(frameB)].data(), bx, by, s, c, st.scaleX, st.scaleY};
  // Grid cells whose centre lies inside the shared box.
  const long gx0 = std::lround(std::ceil(x0 - 0.5)), gx1 = std::lround(std::floor(x1 - 0.5));
  const long gy0 = std::lround(std::ceil(y0 - 0.5)), gy1 = std::lround(std::floor(y1 - 0.5));
  // One step right moves each image's local point by a fixed amount.
  const double dua = c / pa.sx, dva = -s / pa.sy, dub = c / pb.sx, dvb = -s / pb.sy;
  for (long gy = gy0; gy <= gy1; ++gy) {
    double ua, va, ub, vb;
    pa.Local(gx0 + 0.5, gy + 0.5, ua, va);
    pb.Local(gx0 + 0.5, gy + 0.5, ub, vb);
    for (long gx = gx0; gx <= gx1; ++gx) {
      if (pa.OpaqueAt(ua, va) && pb.OpaqueAt(ub, vb)) return true;
      ua += dua;
      va += dva;
      ub += dub;
      vb += dvb;
    }
  }
  return false;
}
