// The OpenGL sprite batch. GL entry points are fetched through SDL so the
// same code runs on GLX and EGL contexts (X11 and the offscreen driver).
#include "media/gl/renderer.h"
#include "media/backend.h"
#include "media/host/host.h"

#include <SDL.h>
// Prototypes only to name the pointer types; every call goes through the table.
#define GL_GLEXT_PROTOTYPES 1
#include <SDL_opengl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "media/media.h"

namespace {

// The entry points we use. Even GL 1.1 calls go through the table: libGL's
// own exports may belong to another driver than the context's (EGL).
// clang-format off
#define GL_FUNCS(X)                                                                                     \
  X(GetString) X(GetIntegerv) X(GetError) X(Viewport) X(ClearColor) X(Clear) X(Enable)                  \
  X(Disable) X(BlendFunc) X(GenTextures) X(DeleteTextures) X(BindTexture) X(TexParameteri)              \
  X(TexImage2D) X(TexSubImage2D) X(PixelStorei) X(ReadPixels) X(DrawElements) X(ActiveTexture) X(Flush) \
  X(CreateShader) X(ShaderSource) X(CompileShader) X(GetShaderiv) X(GetShaderInfoLog)                   \
  X(DeleteShader) X(CreateProgram) X(AttachShader) X(BindAttribLocation) X(LinkProgram)                 \
  X(GetProgramiv) X(GetProgramInfoLog) X(UseProgram) X(DeleteProgram) X(GetUniformLocation)             \
  X(Uniform4f) X(Uniform1i) X(GenBuffers) X(DeleteBuffers) X(BindBuffer)                                \
  X(BufferData) X(VertexAttribPointer) X(EnableVertexAttribArray) X(GenVertexArrays)                    \
  X(BindVertexArray) X(DeleteVertexArrays) X(GenFramebuffers) X(DeleteFramebuffers)                     \
  X(BindFramebuffer) X(FramebufferTexture2D) X(CheckFramebufferStatus) X(BlitFramebuffer)
// clang-format on

struct GlApi {
// NOLINTNEXTLINE(bugprone-macro-parentheses): name is pasted into names, never an expression
#define DECLARE(name) decltype(&gl##name) name = nullptr;
  GL_FUNCS(DECLARE)
#undef DECLARE
};

GlApi gl;

// Optional entry points: 2.1 contexts may lack vertex arrays or framebuffer
// objects; the renderer works without them (drawing straight to the window).
bool Optional(const char* name) { return std::strstr(name, "VertexArray") || std::strstr(name, "Framebuffer"); }

bool Missing(const char* name) {
  ReportError(std::string("OpenGL: the driver lacks ") + name);
  return false;
}

bool LoadApi() {
  gl = GlApi{};
  bool ok = true;
#define LOAD(name)                                                                    \
  gl.name = reinterpret_cast<decltype(&gl##name)>(SDL_GL_GetProcAddress("gl" #name)); \
  if (!gl.name && !Optional("gl" #name)) ok = Missing("gl" #name);
  GL_FUNCS(LOAD)
#undef LOAD
  return ok;
}

// Quads per batch. Whenever this many have gone to GL since the last time,
// the driver is told to start on them (glFlush): a software rasteriser then
// draws them on its own threads while we place the next ones, instead of
// waiting for the whole frame.
constexpr int kBatchQuads = 1024;

struct Program {
  unsigned id = 0;
  int viewLoc = -1;
  bool viewStale = true;  // the virtual resolution changed since it was set
};

struct Renderer {
  bool ready = false;
  bool core = false;
  int width = 0, height = 0;       // the frame's pixels
  int displayW = 0, displayH = 0;  // the display's: read-back answers these
  float virtualW = 1, virtualH = 1;
  Program programs[4];  // StartProgram's variants
  unsigned vao = 0, vbo = 0, ibo = 0;
  unsigned white = 0;
  unsigned fbo = 0, fboTex = 0;
  bool direct = false;  // frames drawn straight into the window's back buffer (GlDrawToWindow)
  int maxTexture = 2048;
  // The batch (vertices in g_verts).
  int quads = 0;
  int unflushed = 0;  // quads handed to GL since the last glFlush
  unsigned batchTex = 0;
  int batchBlend = 0;
  // What GL currently has, to skip redundant state changes.
  unsigned boundTex = ~0u;
  int appliedBlend = -1;
  const Program* current = nullptr;
  // Drawn since the frame was last shown in the window; the window's back
  // buffer holds the frame (it does not after a swap).
  bool frameChanged = false;
  bool windowCurrent = false;
};

// Plain data only, so nothing here is destroyed at exit before a back end
// that still closes its display from a static destructor.
Renderer R;
GlVertex g_verts[kBatchQuads * 4];

// One shader pair for every draw, in four variants. Colour is flat (one per
// quad) and texture coordinates skip perspective correction: both save the
// software rasteriser work per pixel. Rectangles and lines (the white texel)
// skip the texture altogether. The mask variants add the discard below half
// alpha; the others leave it out, since a shader that may discard is slower
// to run.
#ifdef __EMSCRIPTEN__
// WebGL 2 is OpenGL ES 3.0: its own version line, precision stated (full, as
// on the desktop) and no noperspective.
const char* kHeader330 =
    "#version 300 es\nprecision highp float;\nprecision highp sampler2D;\n"
    "#define VERT_IN in\n#define VARY_OUT out\n#define VARY_IN in\n"
    "#define FLAT flat\n#define NOPERSP\n#define TEX texture\n"
    "out vec4 fragColor;\n#define FRAG_OUT fragColor\n";
#else
const char* kHeader330 =
    "#version 330 core\n"
    "#define VERT_IN in\n#define VARY_OUT out\n#define VARY_IN in\n"
    "#define FLAT flat\n#define NOPERSP noperspective\n#define TEX texture\n"
    "out vec4 fragColor;\n#define FRAG_OUT fragColor\n";
#endif
const char* kHeader120 =
    "#version 120\n"
    "#define VERT_IN attribute\n#define VARY_OUT varying\n#define VARY_IN varying\n"
    "#define FLAT\n#define NOPERSP\n#define TEX texture2D\n#define FRAG_OUT gl_FragColor\n";
const char* kVertexBody =
    "uniform vec4 uView;\n"
    "VERT_IN vec2 aPos; VERT_IN vec2 aUV; VERT_IN vec4 aColor;\n"
    "FLAT VARY_OUT vec4 vColor;\n"
    "#ifdef TEXTURED\n"
    "NOPERSP VARY_OUT vec2 vUV;\n"
    "#endif\n"
    "void main() { vColor = aColor;\n"
    "#ifdef TEXTURED\n"
    "  vUV = aUV;\n"
    "#endif\n"
    "  gl_Position = vec4(aPos * uView.xy + uView.zw, 0.0, 1.0); }\n";
const char* kFragmentBody =
    "FLAT VARY_IN vec4 vColor;\n"
    "#ifdef TEXTURED\n"
    "uniform sampler2D uTex;\n"
    "NOPERSP VARY_IN vec2 vUV;\n"
    "#endif\n"
    "void main() {\n"
    "#ifdef TEXTURED\n"
    "  vec4 c = TEX(uTex, vUV) * vColor;\n"
    "#else\n"
    "  vec4 c = vColor;\n"
    "#endif\n"
    "#ifdef MASK\n"
    "  if (c.a < 0.5) discard;\n"
    "#endif\n"
    "  FRAG_OUT = c; }\n";

unsigned Compile(GLenum kind, const char* extra, const char* body) {
  const char* parts[3] = {R.core ? kHeader330 : kHeader120, extra, body};
  unsigned s = gl.CreateShader(kind);
  gl.ShaderSource(s, 3, parts, nullptr);
  gl.CompileShader(s);
  return s;
}

// Variant k: bit 0 mask, bit 1 untextured. Compiled and linked without
// asking how it went: FinishProgram asks once every variant is under way, so
// a driver that compiles on its own thread (a browser's) is waited for once,
// not at each step.
void StartProgram(Program& p, int k, unsigned& vs, unsigned& fs) {
  static const char* const kDefines[4] = {"#define TEXTURED 1\n", "#define TEXTURED 1\n#define MASK 1\n", "",
                                          "#define MASK 1\n"};
  vs = Compile(GL_VERTEX_SHADER, kDefines[k], kVertexBody);
  fs = Compile(GL_FRAGMENT_SHADER, kDefines[k], kFragmentBody);
  p.id = gl.CreateProgram();
  gl.AttachShader(p.id, vs);
  gl.AttachShader(p.id, fs);
  gl.BindAttribLocation(p.id, 0, "aPos");
  gl.BindAttribLocation(p.id, 1, "aUV");
  gl.BindAttribLocation(p.id, 2, "aColor");
  gl.LinkProgram(p.id);
}

// Reports a shader that did not compile, else the link that failed.
bool FinishProgram(Program& p, unsigned vs, unsigned fs) {
  GLint ok = 0;
  gl.GetProgramiv(p.id, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[512] = {};
    bool compiled = true;  // else the first shader's log is the one told
    for (unsigned shader : {vs, fs}) {
      GLint shaderOk = 0;
      gl.GetShaderiv(shader, GL_COMPILE_STATUS, &shaderOk);
      if (!shaderOk && compiled) {
        gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        compiled = false;
      }
    }
    if (compiled) gl.GetProgramInfoLog(p.id, sizeof log, nullptr, log);
    ReportError(std::string("OpenGL: a shader did not ") + (compiled ? "link: " : "compile: ") + log);
    gl.DeleteProgram(p.id);
    p.id = 0;
  }
  gl.DeleteShader(vs);
  gl.DeleteShader(fs);
  if (!ok) return false;
  gl.UseProgram(p.id);
  p.viewLoc = gl.GetUniformLocation(p.id, "uView");
  const int texLoc = gl.GetUniformLocation(p.id, "uTex");
  if (texLoc >= 0) gl.Uniform1i(texLoc, 0);
  p.viewStale = true;
  return true;
}

void BuildBuffers() {
  if (R.core && gl.GenVertexArrays) {
    gl.GenVertexArrays(1, &R.vao);
    gl.BindVertexArray(R.vao);
  }
  gl.GenBuffers(1, &R.vbo);
  gl.GenBuffers(1, &R.ibo);
  std::vector<uint16_t> idx(size_t{kBatchQuads} * 6);
  for (int q = 0; q < kBatchQuads; ++q) {
    const uint16_t b = static_cast<uint16_t>(q * 4);
    uint16_t* i = &idx[static_cast<size_t>(q) * 6];
    i[0] = b;
    i[1] = b + 1;
    i[2] = b + 2;
    i[3] = b + 2;
    i[4] = b + 3;
    i[5] = b;
  }
  gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, R.ibo);
  gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(idx.size() * sizeof(uint16_t)), idx.data(),
                GL_STATIC_DRAW);
  gl.BindBuffer(GL_ARRAY_BUFFER, R.vbo);
  const GLsizei stride = sizeof(GlVertex);
  // GL takes offsets into the bound buffer as pointers.
  // NOLINTBEGIN(performance-no-int-to-ptr)
  gl.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(GlVertex, x)));
  gl.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(GlVertex, u)));
  gl.VertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(GlVertex, color)));
  // NOLINTEND(performance-no-int-to-ptr)
  gl.EnableVertexAttribArray(0);
  gl.EnableVertexAttribArray(1);
  gl.EnableVertexAttribArray(2);
}

bool HasFramebuffers() {
  return gl.GenFramebuffers && gl.BindFramebuffer && gl.FramebufferTexture2D && gl.CheckFramebufferStatus &&
         gl.BlitFramebuffer;
}

// An offscreen colour buffer of w x h, bound for drawing; false (nothing
// made, the window bound) when GL refuses it.
bool MakeTarget(int w, int h, unsigned& fbo, unsigned& tex) {
  gl.GenTextures(1, &tex);
  gl.BindTexture(GL_TEXTURE_2D, tex);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  R.boundTex = tex;
  gl.GenFramebuffers(1, &fbo);
  gl.BindFramebuffer(GL_FRAMEBUFFER, fbo);
  gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
  if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
  gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  gl.DeleteFramebuffers(1, &fbo);
  gl.DeleteTextures(1, &tex);
  fbo = tex = 0;
  return false;
}

// The offscreen frame. Without framebuffer objects we draw to the window.
void BuildFrame() {
  if (HasFramebuffers()) MakeTarget(R.width, R.height, R.fbo, R.fboTex);
}

void SetBlendState(int blend) {
  switch (blend) {
    case ALPHABLEND:
      gl.Enable(GL_BLEND);
      gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case LIGHTBLEND:
      gl.Enable(GL_BLEND);
      gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    case SHADEBLEND:
      gl.Enable(GL_BLEND);
      gl.BlendFunc(GL_DST_COLOR, GL_ZERO);
      break;
    default:  // mask and solid: no blending
      gl.Disable(GL_BLEND);
      break;
  }
}

// Blend and program for a batch, and the view when it changed.
void ApplyBlend(int blend, bool textured) {
  if (blend != R.appliedBlend) {
    R.appliedBlend = blend;
    SetBlendState(blend);
  }
  Program& p = R.programs[(blend == MASKBLEND ? 1 : 0) + (textured ? 0 : 2)];
  if (R.current != &p) {
    gl.UseProgram(p.id);
    R.current = &p;
  }
  if (p.viewStale) {
    gl.Uniform4f(p.viewLoc, 2.0f / R.virtualW, -2.0f / R.virtualH, -1.0f, 1.0f);
    p.viewStale = false;
  }
}

// The drawing area where it lands in the frame: all of it, or centred
// between black bars when the frame's shape differs from the area's.
void SetPictureViewport() {
  const PictureFit fit = FitPicture(R.width, R.height);
  gl.Viewport(static_cast<GLint>(fit.x), static_cast<GLint>(R.height - fit.y - fit.h), static_cast<GLsizei>(fit.w),
              static_cast<GLsizei>(fit.h));
}

// Where frames are drawn: the offscreen frame, or the window itself.
unsigned DrawTarget() { return R.direct ? 0 : R.fbo; }

// Mesa's software rasterisers, whose windows keep their back buffer in the
// program's own memory.
bool SoftwareRasteriser() {
  const std::string name = GlRendererName();
  return name.find("llvmpipe") != std::string::npos || name.find("softpipe") != std::string::npos;
}

// Clears the window's back buffer to a colour, shows it, and says whether
// the back buffer still holds exactly that colour at two corners.
bool ShowsAndKeeps(int w, int h, const uint8_t (&rgb)[3], void (*swap)(void*), void* context) {
  gl.ClearColor(rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f, 1);
  gl.Clear(GL_COLOR_BUFFER_BIT);
  swap(context);
  for (const int x : {0, w - 1}) {
    uint8_t px[4] = {};
    gl.ReadPixels(x, x == 0 ? 0 : h - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    if (px[0] != rgb[0] || px[1] != rgb[1] || px[2] != rgb[2]) return false;
  }
  return true;
}

void BindTexture(unsigned tex) {
  if (tex == R.boundTex) return;
  gl.BindTexture(GL_TEXTURE_2D, tex);
  R.boundTex = tex;
}

}  // namespace

bool GlInit(int displayW, int displayH, bool core) {
  GlShutdown();
  if (!LoadApi()) return false;
  R = Renderer{};
  R.core = core;
  R.width = R.displayW = std::max(1, displayW);
  R.height = R.displayH = std::max(1, displayH);
  unsigned shaders[4][2] = {};
  // A browser checks each shader as it is given (a few milliseconds each) and
  // its driver compiles them while the page breathes.
  for (int k = 0; k < 4; ++k) {
    StartProgram(R.programs[k], k, shaders[k][0], shaders[k][1]);
    HostBreathe();
  }
  bool built = true;
  for (int k = 0; k < 4; ++k) built = FinishProgram(R.programs[k], shaders[k][0], shaders[k][1]) && built;
  if (!built) return false;
  GLint maxTex = 0;
  gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTex);
  if (maxTex > 0) R.maxTexture = maxTex;
  gl.ActiveTexture(GL_TEXTURE0);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
  BuildBuffers();
  BuildFrame();
  SetPictureViewport();
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_CULL_FACE);
  R.ready = true;
  const uint32_t white = 0xFFFFFFFFu;
  R.white = GlCreateTexture(1, 1, &white, false);
  GlClear();
  return true;
}

void GlShutdown() {
  GlForgetSheets();  // they go with the context
  if (!R.ready) {
    R = Renderer{};
    return;
  }
  if (R.fbo) gl.DeleteFramebuffers(1, &R.fbo);
  if (R.fboTex) gl.DeleteTextures(1, &R.fboTex);
  if (R.white) gl.DeleteTextures(1, &R.white);
  gl.DeleteBuffers(1, &R.vbo);
  gl.DeleteBuffers(1, &R.ibo);
  if (R.vao) gl.DeleteVertexArrays(1, &R.vao);
  for (Program& p : R.programs) gl.DeleteProgram(p.id);
  R = Renderer{};
}

const char* GlRendererName() {
  if (!R.ready) return "";
  const GLubyte* s = gl.GetString(GL_RENDERER);
  return s ? reinterpret_cast<const char*>(s) : "";
}

void GlSetVirtual(float virtualW, float virtualH) {
  if (virtualW <= 0 || virtualH <= 0) return;
  if (R.ready) GlFlush();
  if (R.ready) SetPictureViewport();  // the area may keep its shape now, or no longer
  if (virtualW == R.virtualW && virtualH == R.virtualH) return;
  R.virtualW = virtualW;
  R.virtualH = virtualH;
  for (Program& p : R.programs) p.viewStale = true;
}

void GlSetFrameSize(int w, int h) {
  if (!R.ready || !R.fbo || R.direct || w <= 0 || h <= 0 || w > R.maxTexture || h > R.maxTexture) return;
  if (w == R.width && h == R.height) return;
  GlFlush();
  unsigned fbo = 0, tex = 0;
  if (!MakeTarget(w, h, fbo, tex)) {
    gl.BindFramebuffer(GL_FRAMEBUFFER, R.fbo);
    return;
  }
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, R.fbo);
  gl.BlitFramebuffer(0, 0, R.width, R.height, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  gl.DeleteFramebuffers(1, &R.fbo);
  gl.DeleteTextures(1, &R.fboTex);
  gl.BindFramebuffer(GL_FRAMEBUFFER, fbo);
  R.fbo = fbo;
  R.fboTex = tex;
  R.width = w;
  R.height = h;
  SetPictureViewport();
  R.windowCurrent = false;
}

unsigned GlCreateTexture(int w, int h, const uint32_t* rgba, bool filtered) {
  if (!R.ready) return 0;
  if (w <= 0 || h <= 0 || w > R.maxTexture || h > R.maxTexture) return 0;
  unsigned tex = 0;
  gl.GenTextures(1, &tex);
  if (!tex) return 0;
  BindTexture(tex);
  const GLint filter = filtered ? GL_LINEAR : GL_NEAREST;
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return tex;
}

void GlUpdateTexture(unsigned tex, int w, int h, const uint32_t* rgba) {
  if (!R.ready || !tex) return;
  if (tex == R.batchTex) GlFlush();
  BindTexture(tex);
  gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void GlDeleteTexture(unsigned tex) {
  if (!R.ready || !tex) return;
  if (tex == R.batchTex) GlFlush();
  if (tex == R.boundTex) R.boundTex = ~0u;
  gl.DeleteTextures(1, &tex);
}

unsigned GlWhiteTexture() { return R.white; }
int GlMaxTextureSize() { return R.maxTexture; }

GlVertex* GlQuad(unsigned tex, int blend) {
  if (R.quads > 0 && (tex != R.batchTex || blend != R.batchBlend || R.quads == kBatchQuads)) GlFlush();
  R.batchTex = tex;
  R.batchBlend = blend;
  return &g_verts[static_cast<size_t>(R.quads++) * 4];
}

void GlFlush() {
  if (!R.ready || R.quads == 0) return;
  const bool textured = R.batchTex != R.white;
  ApplyBlend(R.batchBlend, textured);
  if (textured) BindTexture(R.batchTex);
  // Orphan and fill in one call: the driver hands us fresh storage while the
  // previous batch may still be drawing.
  gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(static_cast<size_t>(R.quads) * 4 * sizeof(GlVertex)), g_verts,
                GL_STREAM_DRAW);
  gl.DrawElements(GL_TRIANGLES, R.quads * 6, GL_UNSIGNED_SHORT, nullptr);
  R.unflushed += R.quads;
  if (R.unflushed >= kBatchQuads) {
    gl.Flush();
    R.unflushed = 0;
  }
  R.quads = 0;
  R.frameChanged = true;
  R.windowCurrent = false;
}

void GlClear() {
  if (!R.ready) return;
  GlFlush();
  gl.ClearColor(0, 0, 0, 1);
  gl.Clear(GL_COLOR_BUFFER_BIT);
  R.frameChanged = true;
  R.windowCurrent = false;
}

bool GlDrawToWindow(int drawableW, int drawableH, void (*swap)(void*), void* context) {
  if (!R.ready || !R.fbo || R.direct) return R.direct;
  if (drawableW != R.width || drawableH != R.height || !SoftwareRasteriser()) return false;
  GlFlush();
  gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  // Two near-black colours no 16-bit window holds exactly; a window that
  // swaps between two buffers answers the first after the second swap.
  static const uint8_t kFirst[3] = {1, 2, 3}, kSecond[3] = {3, 1, 2};
  R.direct = ShowsAndKeeps(R.width, R.height, kFirst, swap, context) &&
             ShowsAndKeeps(R.width, R.height, kSecond, swap, context);
  if (!R.direct) gl.BindFramebuffer(GL_FRAMEBUFFER, R.fbo);
  R.windowCurrent = false;
  GlClear();
  return R.direct;
}

bool GlDrawsToWindow() { return R.direct; }

void GlFrameBegins(int drawableW, int drawableH) {
  if (!R.ready || !R.direct || (drawableW == R.width && drawableH == R.height)) return;
  GlFlush();
  gl.BindFramebuffer(GL_FRAMEBUFFER, R.fbo);
  R.direct = false;
  R.windowCurrent = false;
}

void GlShowFrame(int drawableW, int drawableH) {
  if (!R.ready) return;
  GlFlush();
  R.frameChanged = false;
  if (!R.fbo || R.direct || R.windowCurrent) return;
  gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  const bool scaled = drawableW != R.width || drawableH != R.height;
  gl.BlitFramebuffer(0, 0, R.width, R.height, 0, 0, drawableW, drawableH, GL_COLOR_BUFFER_BIT,
                     scaled ? GL_LINEAR : GL_NEAREST);
  gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, R.fbo);
  R.windowCurrent = true;
}

void GlIdle(int drawableW, int drawableH) {
  if (!R.ready || (R.quads == 0 && !R.frameChanged)) return;
  GlShowFrame(drawableW, drawableH);
  gl.Flush();
  R.unflushed = 0;
}

void GlSwapped() { R.windowCurrent = false; }

void GlReadPixels(int x, int y, int w, int h, uint32_t* out) {
  if (w <= 0 || h <= 0) return;
  std::fill(out, out + static_cast<size_t>(w) * h, 0xFF000000u);
  if (!R.ready) return;
  GlFlush();
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, R.displayW), y1 = std::min(y + h, R.displayH);
  if (x0 >= x1 || y0 >= y1) return;
  const int cw = x1 - x0, ch = y1 - y0;
  std::vector<uint32_t> rows(static_cast<size_t>(cw) * ch);
  // A frame larger than the display is read at the display's size.
  unsigned fbo = 0, tex = 0;
  const bool scaled = R.fbo && !R.direct && (R.width != R.displayW || R.height != R.displayH);
  if (scaled && MakeTarget(R.displayW, R.displayH, fbo, tex)) {
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, R.fbo);
    gl.BlitFramebuffer(0, 0, R.width, R.height, 0, 0, R.displayW, R.displayH, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    gl.BindFramebuffer(GL_FRAMEBUFFER, fbo);
  }
  // GL rows run bottom-up.
  gl.ReadPixels(x0, R.displayH - y1, cw, ch, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  if (fbo) {
    gl.BindFramebuffer(GL_FRAMEBUFFER, DrawTarget());
    gl.DeleteFramebuffers(1, &fbo);
    gl.DeleteTextures(1, &tex);
    R.boundTex = ~0u;
  }
  for (int r = 0; r < ch; ++r) {
    const uint32_t* src = &rows[static_cast<size_t>(ch - 1 - r) * cw];
    uint32_t* dst = out + static_cast<size_t>(y0 - y + r) * w + (x0 - x);
    for (int c = 0; c < cw; ++c) dst[c] = src[c] | 0xFF000000u;  // the screen is opaque
  }
}

uint32_t GlColor(int r, int g, int b, float alpha) {
  const auto byte = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
  const float a = alpha >= 0.0f ? std::min(alpha, 1.0f) : 0.0f;  // NaN reads as 0
  // NOLINTNEXTLINE(bugprone-incorrect-roundings): a is never negative, so the half rounds
  const uint32_t ab = static_cast<uint32_t>(a * 255.0f + 0.5f);
  return byte(r) | byte(g) << 8 | byte(b) << 16 | ab << 24;
}
