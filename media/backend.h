// backend.h — inside the media layer: the resource records it keeps and the
// one interface every back end implements.
//
// media.cpp owns the layer's state (media/core.h: the resource tables, the
// sticky drawing state, the input state, the display and virtual sizes) and,
// with its neighbours, everything that does not depend on a device
// (decoding, text and UTF-8, files, frame and line geometry, the overlap test). A back end only turns
// draw calls into pixels (or records), pumps device events into InputState,
// keeps time and plays sound. Nothing outside media/ includes this header
// except the media layer's own tests.
#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "media/media.h"

// One image: equally sized frames, each kept as RGBA pixels on the CPU (the
// overlap test and grabbed images need them) and uploaded by the back end.
struct ImageData {
  int width = 0, height = 0;  // one frame
  int frames = 0;
  float handleX = 0, handleY = 0;
  int flags = 0;
  std::vector<std::vector<uint32_t>> pixels;  // per frame, RGBA (R lowest byte), rows top-down
  uint32_t version = 1;                       // bumped when pixels change (grab); back ends re-upload
  uintptr_t gpu = 0;                          // back end's own handle (texture), 0 when none yet
  int handle = 0;                             // its handle in the image table (recorded draws name it)
};

// One glyph of a rasterised font, placed in the font's atlas.
struct Glyph {
  int x = 0, y = 0, w = 0, h = 0;  // rectangle in the atlas
  int left = 0, top = 0;           // offset from the pen position (top of the line) to the bitmap
  int advance = 0;                 // pen advance in pixels
};

// One TrueType font at one pixel size, glyphs for byte codes 0..255 in an
// alpha-only atlas. Text width = sum of advances; height = line height.
struct FontData {
  int size = 0, style = 0;
  int ascent = 0, lineHeight = 0;
  Glyph glyphs[256];
  int atlasWidth = 0, atlasHeight = 0;
  std::vector<uint8_t> atlas;  // coverage 0..255
  uintptr_t gpu = 0;
};

// One decoded sound: interleaved signed 16-bit samples.
struct SoundData {
  std::vector<int16_t> samples;
  int channels = 1;  // 1 or 2
  int rate = 44100;  // samples per second
  bool loop = false;
  uintptr_t device = 0;  // back end's own handle (buffer), 0 when none yet
  int handle = 0;        // its handle in the sound table (recorded cues name it)
};

// The drawing state current at a draw call.
struct DrawState {
  int r = 255, g = 255, b = 255;
  float alpha = 1;
  int blend = MASKBLEND;
  float rotation = 0;  // degrees, clockwise on screen
  float scaleX = 1, scaleY = 1;
  int font = 0;
};

// Keyboard, mouse and window events gathered by the back end.
struct InputState {
  bool keyDown[256] = {};
  int keyHits[256] = {};
  std::deque<int> typed;         // typed characters, repeats included
  float mouseX = 0, mouseY = 0;  // display pixels
  bool mouseDown[4] = {};
  int mouseHits[4] = {};
  bool closeRequested = false;
  std::deque<std::string> dropped;  // files dropped on the window, oldest first
  int presses = 0;                  // key and mouse-button presses so far, repeats not counted
};

enum JoyAxis { JOY_X = 0, JOY_Y, JOY_Z, JOY_R, JOY_U, JOY_V };

class MediaBackend {
 public:
  virtual ~MediaBackend() = default;

  // Display.
  virtual std::vector<DisplayMode> Modes() = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual bool Open(int w, int h, int depth, int hertz, int flags) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() = 0;
  virtual void Clear() = 0;
  virtual void Present(int sync) = 0;

  // Drawing, in virtual units with the state current at the call; the back
  // end maps virtual units to the display (virtualW x virtualH spans it).
  virtual void SetVirtual(float virtualW, float virtualH) = 0;
  virtual void DrawRect(float x, float y, float w, float h, const DrawState& s) = 0;
  // DrawBands (media.h); by default one DrawRect a band.
  virtual void DrawBands(const std::vector<uint32_t>& colours, float x, float y, float w, float bandHeight,
                         const DrawState& s);
  virtual void DrawLine(float x1, float y1, float x2, float y2, bool lastPixel, const DrawState& s) = 0;
  virtual void DrawImage(ImageData& img, int frame, float x, float y, const DrawState& s) = 0;
  // font is never null from the media layer: the built-in face comes as BuiltinFontData().
  virtual void DrawText(FontData* font, const std::string& text, float x, float y, const DrawState& s) = 0;
  virtual void ReadPixels(int x, int y, int w, int h, uint32_t* out) = 0;  // display pixels, RGBA, top-down
  virtual void ReleaseImage(ImageData& img) = 0;                           // forget its texture (set gpu to 0)
  virtual void ReleaseFont(FontData& font) = 0;                            // the media layer calls both before Close

  // Input.
  virtual void PumpEvents(InputState& in) = 0;
  virtual void MoveMouse(int x, int y, InputState& in) = 0;
  virtual void ShowPointer(bool show) = 0;
  virtual int JoyCount() = 0;
  virtual std::string JoyName(int port) = 0;
  virtual float JoyAxisValue(int port, int axis) = 0;  // JoyAxis
  virtual float JoyHat(int port) = 0;
  virtual bool JoyButton(int port, int button) = 0;
  virtual int JoyButtonMask(int port) = 0;
  // The standard layout over the raw readings above (axes 0 and 1, the hat,
  // buttons 0, 9 and 12 to 15); a back end that knows a pad's own mapping
  // reads that instead.
  virtual bool PadDown(int port, int control);
  // On-screen controls and the host's text field (media.h); none by default.
  virtual bool TouchShown() { return false; }
  virtual bool TouchHeld(int /*control*/) { return false; }
  virtual int TouchHits(int /*control*/) { return 0; }
  virtual void OfferTouch(int /*control*/, bool /*offered*/) {}
  virtual void TextEntry(bool /*on*/, const std::string& /*text*/) {}

  // Clock.
  virtual uint32_t Millisecs() = 0;
  virtual void Delay(int ms) = 0;
  virtual std::time_t Now() { return std::time(nullptr); }  // the calendar clock dates are read from
  // Waits until the host's next frame due periodMs after the last; false
  // where the host has no frames of its own and the caller paces.
  virtual bool WaitForFrame(double /*periodMs*/) { return false; }

  // Audio. Channels are small positive integers, 0 meaning none.
  virtual std::vector<std::string> AudioDrivers() = 0;
  virtual bool SelectAudioDriver(const std::string& name) = 0;
  virtual bool EnableOpenAL() = 0;
  virtual void ReleaseSound(SoundData& snd) = 0;
  virtual int AllocChannel() = 0;
  virtual bool Cue(int channel, SoundData& snd) = 0;
  virtual void Resume(int channel) = 0;
  virtual void Stop(int channel) = 0;
  virtual bool Playing(int channel) = 0;
  virtual void SetVolume(int channel, float v) = 0;
  virtual void SetPan(int channel, float p) = 0;
  virtual void SetRate(int channel, float r) = 0;

  // Process end: the SDL back end exits, the headless one throws HeadlessExit.
  [[noreturn]] virtual void End(int status) = 0;
};

// Where the drawing area lands on a frame of w x h pixels (top-left corner
// and size in those pixels): the whole frame, unless the program asked the
// area to keep its shape (KeepPictureShape) and the shapes differ by more
// than a hair (a 16:10 screen showing the 4:3 area); then as large as fits,
// centred, the rest left black.
struct PictureFit {
  float x = 0, y = 0, w = 0, h = 0;
};
PictureFit FitPicture(int w, int h);
PictureFit DisplayFit();  // on the open display (the whole of it while none is open)

// ClampFloat for the device's float levels (NaN gives low).
inline float ClampF(float v, float lo, float hi) { return static_cast<float>(ClampFloat(v, lo, hi)); }

// The active back end and the shared tables (media.cpp).
MediaBackend& Backend();
ImageData* ImageFromHandle(int image);  // nullptr for null or freed handles
FontData* FontFromHandle(int font);     // nullptr for the built-in font
SoundData* SoundFromHandle(int sound);
DrawState CurrentDrawState();

// Make a back end the active one (UseSdlBackend / UseHeadlessBackend). The
// old one first forgets every texture and sound buffer it made. With no back
// end installed, Backend() says so and aborts: there is no silent stand-in.
void InstallBackend(std::unique_ptr<MediaBackend> backend, bool headless);
bool BackendInstalled(bool headless);  // a back end is active, and it is (or is not) the headless one

// New table entries; the handle is stored in the record too. Never 0.
int StoreImage(std::unique_ptr<ImageData> img);
int StoreFont(std::unique_ptr<FontData> font);
int StoreSound(std::unique_ptr<SoundData> snd);
FontData& BuiltinFontData();       // the built-in face, rasterised once
void DisplaySize(int& w, int& h);  // the open display in pixels (0, 0 when closed)
void ClearInput();                 // forget key, mouse and close state (tests)
void ResetMediaState();            // no image, font or sound; drawing state and mid-handles as at start (tests)

// A resource file that is there but could not be read or decoded, said on
// standard error with the reason (a missing one is simply the null resource).
void ReportUnusable(const std::string& file, const char* kind);  // media/files/files.cpp

// Decoders shared by both back ends (media/decode/decode.cpp).
bool DecodePng(const std::string& file, int& w, int& h, std::vector<uint32_t>& rgba);
bool RasterFont(const std::string& file, int size, int style, FontData& out);
void BuiltinFont(FontData& out);  // small bitmap face used when no font is set
bool DecodeWav(const std::string& file, SoundData& out);
// The same from bytes in memory (fuzz targets and tests).
bool DecodePngMemory(const uint8_t* data, size_t size, int& w, int& h, std::vector<uint32_t>& rgba);
bool RasterFontMemory(const uint8_t* data, size_t size, int pixelSize, int style, FontData& out);
bool DecodeWavMemory(const uint8_t* data, size_t size, SoundData& out);

// Where a frame's four corners land on screen, in virtual units: the handle at
// (x, y), scaled and rotated about it. Used by the renderer and by the overlap
// test so both agree exactly. Corners: top-left, top-right, bottom-right, bottom-left.
struct Quad {
  float x[4], y[4];
};
Quad PlaceFrame(float w, float h, float handleX, float handleY, float x, float y, float scaleX, float scaleY,
                float rotation);
// One glyph of a text drawn at (x, y), the pen that far along the line.
Quad PlaceGlyph(const Glyph& g, int pen, float x, float y, const DrawState& s);
// A line one display pixel wide from (x1, y1) to (x2, y2) through pixel
// centres, kx and ky display pixels per virtual unit; the last pixel drawn
// or not. False when there is nothing to draw (a point without its last pixel).
bool PlaceLine(float x1, float y1, float x2, float y2, bool lastPixel, const DrawState& s, float kx, float ky, Quad& q);
// Typed UTF-8 text into the typed characters, those up to 255 only (media/text.cpp).
void TypeUtf8(const char* utf8, InputState& in);
