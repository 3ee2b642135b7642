// renderer.h — the gl/ room: the OpenGL sprite batch of the SDL back end.
//
// Owns the GL objects of the window's context: the shader programs, the
// vertex array, the offscreen frame, and the textures of images and font
// atlases (textures.cpp). Sees SDL (the entry points come through it) and
// OpenGL; the back end in sdl/ is its only caller.
//
// Every draw is a textured quad whose corners are already placed on the CPU
// (in virtual units). Quads are appended to one vertex array and sent to GL
// in one upload and one draw call per batch; a batch ends only when the
// texture or the blend changes, the array is full, or the frame is cleared,
// presented or read back; each array's worth of quads is handed to the
// rasteriser at once rather than at the end of the frame.
// The frame is drawn into an offscreen colour buffer
// the size of the display (or of the host's canvas, GlSetFrameSize), so
// read-back is exact and a presented picture can be drawn over again; or,
// where a window is seen to keep its picture, straight into the window
// (GlDrawToWindow).
#pragma once

#include <cstdint>
#include <vector>

#include "media/backend.h"

// One vertex as the shader sees it.
struct GlVertex {
  float x, y;      // virtual units
  float u, v;      // texture coordinates 0..1
  uint32_t color;  // RGBA bytes, R lowest
};

// Sets up shaders, buffers and the offscreen frame for a freshly current
// context of the given display size. core: a 3.3 core context (else 2.1).
bool GlInit(int displayW, int displayH, bool core);
void GlShutdown();             // before the context is destroyed
const char* GlRendererName();  // GL_RENDERER of the context

void GlSetVirtual(float virtualW, float virtualH);  // units spanning the display
// Draws later frames at w x h pixels instead of the display's size, the
// picture so far carried over scaled. Read-back still answers display
// pixels (scaled down from the frame).
void GlSetFrameSize(int w, int h);

// Textures from RGBA pixels (R lowest byte, rows top-down). 0 on failure.
unsigned GlCreateTexture(int w, int h, const uint32_t* rgba, bool filtered);
void GlUpdateTexture(unsigned tex, int w, int h, const uint32_t* rgba);
void GlDeleteTexture(unsigned tex);
unsigned GlWhiteTexture();  // one opaque white texel
int GlMaxTextureSize();

// An image's frames (in a grid, each with a one-pixel border) or a font's
// atlas as one texture.
struct GlSheet {
  unsigned tex = 0;
  int cols = 1;               // frames per row
  int width = 0, height = 0;  // texture size
};
// The texture of an image or font, made or refreshed (after a grab) as
// needed; nullptr when it cannot be made. Records live in ImageData::gpu and
// FontData::gpu until released; a shut-down renderer forgets every texture.
const GlSheet* GlImageSheet(ImageData& img);
const GlSheet* GlFontSheet(FontData& font);
void GlReleaseSheet(uintptr_t& gpu);
void GlForgetSheets();
// A texture one texel wide holding the colours top to bottom (opaque,
// unfiltered), for DrawBands; the same colours give the same texture from a
// small cache, so a screen's unchanging sky is made once. 0 when it cannot be.
unsigned GlBandTexture(const std::vector<uint32_t>& colours);

// Reserves one quad (4 vertices: top-left, top-right, bottom-right,
// bottom-left) in the batch for this texture and blend; the caller fills it.
GlVertex* GlQuad(unsigned tex, int blend);

void GlFlush();  // draw what is batched
void GlClear();  // frame to opaque black
// Shows the frame in the window (scaled to its drawable size when that
// differs) ready for the swap; the offscreen frame keeps its picture.
void GlShowFrame(int drawableW, int drawableH);
// The program is about to sleep: hand GL everything drawn so far, shown in
// the window, so the rasteriser works through the sleep instead of after
// it. The frame loop draws, sleeps to pace itself, then presents.
void GlIdle(int drawableW, int drawableH);
// Draws later frames straight into the window's back buffer, sparing the
// full-screen copy of the offscreen frame each frame (for a software
// rasteriser, a third of what a frame costs). Only for Mesa's software
// rasterisers, on a window of the frame's size whose back buffer is seen to
// keep its picture across two swaps (it shows two near-black frames to
// find out). True when frames now go to the window.
bool GlDrawToWindow(int drawableW, int drawableH, void (*swap)(void*), void* context);
bool GlDrawsToWindow();
// A frame begins (before it is cleared). A window resized since it was
// drawn into (the window manager's doing) no longer fits the frame: this and
// later frames go to the offscreen frame, shown scaled.
void GlFrameBegins(int drawableW, int drawableH);
void GlSwapped();  // the window was swapped: its back buffer is undefined unless drawn to directly
// Display pixels of the current frame, RGBA top-down, opaque. Pixels outside
// the display read as black.
void GlReadPixels(int x, int y, int w, int h, uint32_t* out);

// Packs a colour and alpha (0..255, 0..1) into a vertex colour.
uint32_t GlColor(int r, int g, int b, float alpha);
