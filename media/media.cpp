// media.cpp — the device-independent heart of the media layer: the active
// back end, the resource tables, the sticky drawing state, input bookkeeping
// and the audio front. Everything here forwards to Backend() for the device.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

#include "media/core.h"
#include "media/host/host.h"
#include "media/random.h"

MediaCore g_media;

namespace {

// Every texture and font atlas the back end made: before the display goes
// away (its context dies with it) or the back end is replaced.
void ReleaseDeviceImages(MediaBackend& b) {
  for (auto& img : g_media.resources.images.slots)
    if (img) b.ReleaseImage(*img);
  for (auto& f : g_media.resources.fonts.slots)
    if (f) b.ReleaseFont(f->data);
  if (g_media.resources.builtin) b.ReleaseFont(*g_media.resources.builtin);
}

void ReleaseDeviceSounds(MediaBackend& b) {
  for (auto& s : g_media.resources.sounds.slots)
    if (s) b.ReleaseSound(*s);
}

InputState& Pumped() {
  Backend().PumpEvents(g_media.input);
  return g_media.input;
}

bool ValidKey(int code) { return code >= 1 && code <= 255; }
bool ValidButton(int button) { return button >= 1 && button <= 3; }

// Presses of one key or button since the last call, then cleared.
int TakeHits(int* hits, int i, bool valid) { return valid ? std::exchange(hits[i], 0) : 0; }

std::string UpperAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

FontData& CurrentFont() {
  FontData* f = FontFromHandle(g_media.drawing.state.font);
  return f ? *f : BuiltinFontData();
}

}  // namespace

//------------------------------------------------------------------------------
// Back ends and tables
//------------------------------------------------------------------------------
void InstallBackend(std::unique_ptr<MediaBackend> backend, bool headless) {
  if (g_media.backend) {
    ReleaseDeviceImages(*g_media.backend);
    ReleaseDeviceSounds(*g_media.backend);
    if (g_media.backend->IsOpen()) g_media.backend->Close();
  }
  g_media.backend = std::move(backend);
  g_media.headless = headless;
  g_media.display.open = false;
  g_media.display.width = g_media.display.height = 0;
  g_media.input = InputState();
}

MediaBackend& Backend() {
  // No quiet stand-in: the program chooses its back end before anything else.
  if (!g_media.backend) {
    ReportError("media layer used before a back end was chosen");
    std::abort();
  }
  return *g_media.backend;
}

bool BackendInstalled(bool headless) { return g_media.backend && g_media.headless == headless; }

ImageData* ImageFromHandle(int image) { return g_media.resources.images.Get(image); }

FontData* FontFromHandle(int font) {
  FontEntry* e = g_media.resources.fonts.Get(font);
  return e ? &e->data : nullptr;
}

SoundData* SoundFromHandle(int sound) { return g_media.resources.sounds.Get(sound); }

DrawState CurrentDrawState() { return g_media.drawing.state; }

int StoreImage(std::unique_ptr<ImageData> img) { return g_media.resources.images.Add(std::move(img)); }

int StoreFont(std::unique_ptr<FontData> font) {
  auto e = std::make_unique<FontEntry>();
  e->data = std::move(*font);
  return g_media.resources.fonts.Add(std::move(e));
}

int StoreSound(std::unique_ptr<SoundData> snd) { return g_media.resources.sounds.Add(std::move(snd)); }

FontData& BuiltinFontData() {
  if (!g_media.resources.builtin) {
    g_media.resources.builtin = std::make_unique<FontData>();
    BuiltinFont(*g_media.resources.builtin);
  }
  return *g_media.resources.builtin;
}

void DisplaySize(int& w, int& h) {
  w = g_media.display.open ? g_media.display.width : 0;
  h = g_media.display.open ? g_media.display.height : 0;
}

PictureFit FitPicture(int w, int h) {
  PictureFit fit{0, 0, static_cast<float>(w), static_cast<float>(h)};
  const float virtualW = g_media.display.virtualW, virtualH = g_media.display.virtualH;
  if (!g_media.display.keepShape || w <= 0 || h <= 0 || !(virtualW > 0) || !(virtualH > 0)) return fit;
  // Shapes within 1% of each other (1366 x 768 for 16:9) are stretched, as always.
  constexpr float kHair = 0.01f;
  const float shown = static_cast<float>(w) / static_cast<float>(h), drawn = virtualW / virtualH;
  if (std::fabs(shown - drawn) <= kHair * drawn) return fit;
  const float scale = std::min(static_cast<float>(w) / virtualW, static_cast<float>(h) / virtualH);
  fit.w = std::round(virtualW * scale);
  fit.h = std::round(virtualH * scale);
  fit.x = std::floor((static_cast<float>(w) - fit.w) / 2);
  fit.y = std::floor((static_cast<float>(h) - fit.h) / 2);
  return fit;
}

PictureFit DisplayFit() {
  const DisplayCore& d = g_media.display;
  if (!d.open) return PictureFit{0, 0, static_cast<float>(d.width), static_cast<float>(d.height)};
  return FitPicture(d.width, d.height);
}

void ClearInput() { g_media.input = InputState(); }

void ResetMediaState() {
  for (size_t h = 1; h < g_media.resources.images.slots.size(); ++h) FreeImage(static_cast<int>(h));
  for (size_t h = 1; h < g_media.resources.fonts.slots.size(); ++h) FreeFont(static_cast<int>(h));
  for (size_t h = 1; h < g_media.resources.sounds.slots.size(); ++h) FreeSound(static_cast<int>(h));
  g_media.drawing.state = DrawState();
  AutoMidHandle(false);
}

void FreeImage(int image) {
  ImageData* img = g_media.resources.images.Get(image);
  if (!img) return;
  Backend().ReleaseImage(*img);
  g_media.resources.images.Take(image);
}

void FreeFont(int font) {
  FontEntry* e = g_media.resources.fonts.Get(font);
  if (!e) return;
  Backend().ReleaseFont(e->data);
  g_media.resources.fonts.Take(font);
}

void FreeSound(int sound) {
  SoundData* s = g_media.resources.sounds.Get(sound);
  if (!s) return;
  Backend().ReleaseSound(*s);
  g_media.resources.sounds.Take(sound);
}

//------------------------------------------------------------------------------
// Display
//------------------------------------------------------------------------------
int CountGraphicsModes() { return static_cast<int>(Backend().Modes().size()); }

DisplayMode GetGraphicsMode(int index) {
  std::vector<DisplayMode> modes = Backend().Modes();
  if (index < 0 || index >= static_cast<int>(modes.size())) return {};
  return modes[index];
}

bool GraphicsModeExists(int w, int h, int depth, int hertz) {
  for (const DisplayMode& m : Backend().Modes()) {
    if ((w == 0 || m.width == w) && (h == 0 || m.height == h) && (depth == 0 || m.depth == depth) &&
        (hertz == 0 || m.hertz == hertz))
      return true;
  }
  return false;
}

// Every name draws with OpenGL: there is nothing to choose.
void SelectGraphicsDriver(const std::string&) {}

bool OpenDisplay(int w, int h, int depth, int hertz, int flags) {
  if (g_media.display.open) CloseDisplay();
  if (w <= 0 || h <= 0) return false;
  DisplayCore& d = g_media.display;
  // The back end sizes its frame from these while it opens.
  d.width = w;
  d.height = h;
  HostBreathe();
  const bool opened = Backend().Open(w, h, depth, hertz, flags);
  HostBreathe();
  if (!opened) {
    d.width = d.height = 0;
    return false;
  }
  d.open = true;
  if (!d.virtualSet) {
    d.virtualW = static_cast<float>(w);
    d.virtualH = static_cast<float>(h);
  }
  Backend().SetVirtual(d.virtualW, d.virtualH);
  return true;
}

void CloseDisplay() {
  MediaBackend& b = Backend();
  ReleaseDeviceImages(b);
  if (b.IsOpen()) b.Close();
  g_media.display.open = false;
  g_media.display.width = g_media.display.height = 0;
}

void SetAppTitle(const std::string& title) { Backend().SetTitle(title); }

void SetVirtualResolution(float w, float h) {
  if (!(w > 0) || !(h > 0) || std::isinf(w) || std::isinf(h)) return;
  g_media.display.virtualW = w;
  g_media.display.virtualH = h;
  g_media.display.virtualSet = true;
  Backend().SetVirtual(w, h);
}

void KeepPictureShape(bool on) {
  g_media.display.keepShape = on;
  Backend().SetVirtual(g_media.display.virtualW, g_media.display.virtualH);
}

float VirtualResolutionWidth() { return g_media.display.virtualW; }
float VirtualResolutionHeight() { return g_media.display.virtualH; }

void ClearScreen() {
  if (!g_media.drawing.skip) Backend().Clear();
}
void PresentFrame(int sync) { Backend().Present(sync); }

//------------------------------------------------------------------------------
// Drawing
//------------------------------------------------------------------------------
void SkipDrawing(bool skip) { g_media.drawing.skip = skip; }

void ResetMediaSwitches() {
  SeedRnd(0);  // the generator's start state, 4660
  AutoMidHandle(false);
  SkipDrawing(false);
  g_media.display.keepShape = false;  // takes effect at the next opening or drawing area
}
bool DrawingSkipped() { return g_media.drawing.skip; }

void DrawRect(float x, float y, float w, float h) {
  if (!g_media.drawing.skip) Backend().DrawRect(x, y, w, h, g_media.drawing.state);
}

void DrawBands(const std::vector<uint32_t>& colours, float x, float y, float w, float bandHeight) {
  if (!g_media.drawing.skip && !colours.empty())
    Backend().DrawBands(colours, x, y, w, bandHeight, g_media.drawing.state);
}

void MediaBackend::DrawBands(const std::vector<uint32_t>& colours, float x, float y, float w, float bandHeight,
                             const DrawState& s) {
  DrawState band = s;
  for (size_t i = 0; i < colours.size(); ++i) {
    band.r = static_cast<int>(colours[i] & 0xFF);
    band.g = static_cast<int>(colours[i] >> 8 & 0xFF);
    band.b = static_cast<int>(colours[i] >> 16 & 0xFF);
    DrawRect(x, y + static_cast<float>(i) * bandHeight, w, bandHeight, band);
  }
}

void DrawLine(float x1, float y1, float x2, float y2, bool lastPixel) {
  if (!g_media.drawing.skip) Backend().DrawLine(x1, y1, x2, y2, lastPixel, g_media.drawing.state);
}

void DrawText(const std::string& text, float x, float y) {
  if (text.empty() || g_media.drawing.skip) return;
  Backend().DrawText(&CurrentFont(), text, x, y, g_media.drawing.state);
}

int TextWidth(const std::string& text) {
  const FontData& f = CurrentFont();
  int w = 0;
  for (unsigned char c : text) w += f.glyphs[c].advance;
  return w;
}

int TextHeight(const std::string&) { return CurrentFont().lineHeight; }

void DrawImage(int image, float x, float y, int frame) {
  ImageData* img = g_media.resources.images.Get(image);
  if (!img || frame < 0 || frame >= img->frames || g_media.drawing.skip) return;
  Backend().DrawImage(*img, frame, x, y, g_media.drawing.state);
}

void SetColor(int r, int g, int b) {
  g_media.drawing.state.r = std::clamp(r, 0, 255);
  g_media.drawing.state.g = std::clamp(g, 0, 255);
  g_media.drawing.state.b = std::clamp(b, 0, 255);
}

void GetColor(int& r, int& g, int& b) {
  r = g_media.drawing.state.r;
  g = g_media.drawing.state.g;
  b = g_media.drawing.state.b;
}

void SetAlpha(float alpha) { g_media.drawing.state.alpha = ClampF(alpha, 0, 1); }
float GetAlpha() { return g_media.drawing.state.alpha; }

void SetBlend(int blend) {
  if (blend >= MASKBLEND && blend <= SHADEBLEND) g_media.drawing.state.blend = blend;
}
int GetBlend() { return g_media.drawing.state.blend; }

void SetRotation(float degrees) {
  if (std::isfinite(degrees)) g_media.drawing.state.rotation = degrees;
}
float GetRotation() { return g_media.drawing.state.rotation; }

void SetScale(float sx, float sy) {
  if (std::isfinite(sx) && std::isfinite(sy)) {
    g_media.drawing.state.scaleX = sx;
    g_media.drawing.state.scaleY = sy;
  }
}

void GetScale(float& sx, float& sy) {
  sx = g_media.drawing.state.scaleX;
  sy = g_media.drawing.state.scaleY;
}

void SetFont(int font) { g_media.drawing.state.font = font; }
int GetFont() { return g_media.drawing.state.font; }

int LoadFont(const std::string& file, int size, int style) {
  auto f = std::make_unique<FontData>();
  if (!RasterFont(file, size, style, *f)) {
    ReportUnusable(file, "a TrueType font");
    return 0;
  }
  return StoreFont(std::move(f));
}

//------------------------------------------------------------------------------
// Input
//------------------------------------------------------------------------------
bool KeyDown(int code) {
  const InputState& in = Pumped();
  return ValidKey(code) && in.keyDown[code];
}

int KeyHit(int code) { return TakeHits(Pumped().keyHits, code, ValidKey(code)); }

int GetChar() {
  InputState& in = Pumped();
  if (in.typed.empty()) return 0;
  int c = in.typed.front();
  in.typed.pop_front();
  return c;
}

void FlushKeys() {
  InputState& in = Pumped();
  std::fill(std::begin(in.keyDown), std::end(in.keyDown), false);
  std::fill(std::begin(in.keyHits), std::end(in.keyHits), 0);
  in.typed.clear();
}

namespace {
// Display pixels to virtual units along one axis, from where the picture
// starts and how large it is shown (unscaled while no display is open).
float ToVirtual(float pixels, float start, float shown, float virtualSize) {
  if (!g_media.display.open || shown <= 0 || virtualSize <= 0) return pixels;
  return (pixels - start) * virtualSize / shown;
}
}  // namespace

float VirtualMouseX() {
  const float x = Pumped().mouseX;
  const PictureFit fit = DisplayFit();
  return ToVirtual(x, fit.x, fit.w, g_media.display.virtualW);
}

float VirtualMouseY() {
  const float y = Pumped().mouseY;
  const PictureFit fit = DisplayFit();
  return ToVirtual(y, fit.y, fit.h, g_media.display.virtualH);
}

bool MouseDown(int button) {
  const InputState& in = Pumped();
  return ValidButton(button) && in.mouseDown[button];
}

int MouseHit(int button) { return TakeHits(Pumped().mouseHits, button, ValidButton(button)); }

void MoveMouse(int x, int y) { Backend().MoveMouse(x, y, g_media.input); }
void ShowPointer() { Backend().ShowPointer(true); }
void HidePointer() { Backend().ShowPointer(false); }

bool CloseRequested() {
  InputState& in = Pumped();
  bool asked = in.closeRequested;
  in.closeRequested = false;
  return asked;
}

std::string TakeDroppedFile() {
  InputState& in = Pumped();
  if (in.dropped.empty()) return "";
  std::string file = std::move(in.dropped.front());
  in.dropped.pop_front();
  return file;
}

void DoneWithDroppedFile(const std::string& file) { HostDroppedFileDone(file); }

namespace {
bool JoyPresent(int port) {
  Pumped();
  return port >= 0 && port < Backend().JoyCount();
}
float AxisOf(int port, int axis) {
  if (!JoyPresent(port)) return 0;
  return ClampF(Backend().JoyAxisValue(port, axis), -1, 1);
}
}  // namespace

int CountJoysticks() {
  Pumped();
  return Backend().JoyCount();
}

std::string JoyName(int port) { return JoyPresent(port) ? Backend().JoyName(port) : std::string(); }
float JoyX(int port) { return AxisOf(port, JOY_X); }
float JoyY(int port) { return AxisOf(port, JOY_Y); }
float JoyZ(int port) { return AxisOf(port, JOY_Z); }
float JoyR(int port) { return AxisOf(port, JOY_R); }
float JoyU(int port) { return AxisOf(port, JOY_U); }
float JoyV(int port) { return AxisOf(port, JOY_V); }
float JoyHat(int port) { return JoyPresent(port) ? Backend().JoyHat(port) : -1.0f; }

bool JoyDown(int button, int port) {
  return button >= 0 && button < 32 && JoyPresent(port) && Backend().JoyButton(port, button);
}

int JoyButtonMask(int port) { return JoyPresent(port) ? Backend().JoyButtonMask(port) : 0; }

bool PadDown(int port, int control) { return JoyPresent(port) && Backend().PadDown(port, control); }

int KeyboardPresses() { return Pumped().presses; }

// A stick counts as pushed past half way: further than a binding's dead
// zone, since nothing calibrates the default layout.
bool MediaBackend::PadDown(int port, int control) {
  constexpr float kPushed = 0.5f;
  constexpr int kRight = 1, kLeft = 2, kTop = 3, kLeftShoulder = 4, kRightShoulder = 5, kBack = 8, kStart = 9;
  constexpr int kDpadUp = 12, kDpadDown = 13, kDpadLeft = 14, kDpadRight = 15;
  const float h = JoyHat(port);
  const bool hat = h >= 0;
  switch (control) {
    case PAD_UP:
      return JoyAxisValue(port, JOY_Y) < -kPushed || (hat && (h > 0.8f || h < 0.2f)) || JoyButton(port, kDpadUp);
    case PAD_DOWN:
      return JoyAxisValue(port, JOY_Y) > kPushed || (hat && h > 0.3f && h < 0.7f) || JoyButton(port, kDpadDown);
    case PAD_LEFT:
      return JoyAxisValue(port, JOY_X) < -kPushed || (hat && h > 0.6f && h < 0.9f) || JoyButton(port, kDpadLeft);
    case PAD_RIGHT:
      return JoyAxisValue(port, JOY_X) > kPushed || (hat && h > 0.1f && h < 0.4f) || JoyButton(port, kDpadRight);
    case PAD_BOTTOM: return JoyButton(port, 0);
    case PAD_START: return JoyButton(port, kStart);
    case PAD_RIGHT_FACE: return JoyButton(port, kRight);
    case PAD_LEFT_FACE: return JoyButton(port, kLeft);
    case PAD_TOP_FACE: return JoyButton(port, kTop);
    case PAD_BACK: return JoyButton(port, kBack);
    case PAD_LEFT_SHOULDER: return JoyButton(port, kLeftShoulder);
    case PAD_RIGHT_SHOULDER: return JoyButton(port, kRightShoulder);
    default: return false;
  }
}

bool TouchControlsShown() { return Backend().TouchShown(); }

bool TouchDown(int control) {
  Pumped();
  return Backend().TouchHeld(control);
}

int TouchHit(int control) {
  Pumped();
  return Backend().TouchHits(control);
}

void OfferTouchControl(int control, bool offered) { Backend().OfferTouch(control, offered); }

void TextEntry(bool on, const std::string& text) { Backend().TextEntry(on, text); }

//------------------------------------------------------------------------------
// Audio
//------------------------------------------------------------------------------
std::vector<std::string> AudioDriverList() { return Backend().AudioDrivers(); }

namespace {
// The listed spelling of a name given in any case, or "" when not listed.
std::string ListedDriver(const std::string& name) {
  std::string want = UpperAscii(name);
  for (const std::string& d : AudioDriverList())
    if (UpperAscii(d) == want) return d;
  return {};
}
}  // namespace

bool AudioDriverExists(const std::string& name) { return !ListedDriver(name).empty(); }

bool SetAudioDriver(const std::string& name) {
  std::string listed = ListedDriver(name);
  return !listed.empty() && Backend().SelectAudioDriver(listed);
}

bool EnableOpenALAudio() {
  HostBreathe();
  const bool enabled = Backend().EnableOpenAL();
  HostBreathe();
  return enabled;
}

int LoadSound(const std::string& file, int flags) {
  HostBreathe();
  auto snd = std::make_unique<SoundData>();
  if (!DecodeWav(file, *snd)) {
    ReportUnusable(file, "a WAV sound");
    return 0;
  }
  snd->loop = (flags & 1) != 0;
  return StoreSound(std::move(snd));
}

int AllocChannel() { return Backend().AllocChannel(); }

int CueSound(int sound, int channel) {
  SoundData* snd = g_media.resources.sounds.Get(sound);
  if (!snd || channel < 0) return 0;
  if (channel == 0) channel = Backend().AllocChannel();
  if (channel <= 0) return 0;
  return Backend().Cue(channel, *snd) ? channel : 0;
}

void ResumeChannel(int channel) {
  if (channel > 0) Backend().Resume(channel);
}

void StopChannel(int channel) {
  if (channel > 0) Backend().Stop(channel);
}

bool ChannelPlaying(int channel) { return channel > 0 && Backend().Playing(channel); }

void SetChannelVolume(int channel, float volume) {
  if (channel > 0) Backend().SetVolume(channel, ClampF(volume, 0, 1));
}

void SetChannelPan(int channel, float pan) {
  if (channel > 0) Backend().SetPan(channel, std::isnan(pan) ? 0 : ClampF(pan, -1, 1));
}

// A rate of zero or below has no meaning to a sound device; keep it playable.
void SetChannelRate(int channel, float rate) {
  if (channel <= 0) return;
  if (std::isnan(rate)) rate = 1;
  Backend().SetRate(channel, ClampF(rate, 1.0f / 64, 64));
}
