// backend.cpp — the sdl/ room's heart: the real back end, an SDL2 window with
// an OpenGL context drawn through the sprite batch (gl/renderer.cpp),
// keyboard, mouse and joysticks from SDL events, SDL's clock, and sound
// through the chosen AudioOutput (audio/).
//
// The room owns the window, the context, the joysticks and the sound output
// while the display is open; keys.cpp maps SDL's keys to the layer's codes;
// services.cpp lends SDL to the rooms that may not see it (paths, sleep,
// error box, the WAV loader, the mixer's sound device). Sees SDL only.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "media/audio/output.h"
#include "media/core.h"
#include "media/gl/renderer.h"
#include "media/host/host.h"
#include "media/sdl/keys.h"

namespace {

bool SameName(const std::string& a, const char* b) { return SDL_strcasecmp(a.c_str(), b) == 0; }

// Says on standard error which step failed and SDL's reason; answers false.
bool Refused(const std::string& step) {
  ReportError(step + ": " + SDL_GetError());
  return false;
}

std::string Size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

// Pixel depth as the program counts it: 24-bit colour in 32-bit pixels is a
// 32-bit mode.
int ModeDepth(Uint32 format) {
  return SDL_BYTESPERPIXEL(format) == 4 ? 32 : static_cast<int>(SDL_BITSPERPIXEL(format));
}

class SdlBackend final : public MediaBackend {
 public:
  SdlBackend() {
    // Tests and background windows still see joystick values.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // In a page SDL would yield to the browser on a timer at every swap; the
    // host's wait for the browser's next frame is the only one there is.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS);
    videoOk_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!videoOk_) videoError_ = SDL_GetError();  // said when a display is asked for
    // Pads through SDL's mappings where it knows them; plain joysticks else.
    joyOk_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0 || SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  }

  ~SdlBackend() override {
    DropAudio();
    if (window_) Close();
    CloseJoysticks();
  }

  //--------------------------------------------------------------------------
  // Display
  //--------------------------------------------------------------------------
  std::vector<DisplayMode> Modes() override {
    std::vector<DisplayMode> out;
    if (!videoOk_ || HostDisplayModes(out)) return out;
    const int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
      SDL_DisplayMode m{};
      // The offscreen driver lists one empty mode.
      if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w > 0 && m.h > 0)
        out.push_back({m.w, m.h, ModeDepth(m.format), m.refresh_rate});
    }
    return out;
  }

  void SetTitle(const std::string& title) override {
    title_ = title;
    if (window_) SDL_SetWindowTitle(window_, title_.c_str());
  }

  bool Open(int w, int h, int depth, int hertz, int /*flags*/) override {
    if (window_) Close();
    if (!videoOk_) {
      ReportError("no video: " + videoError_);
      return false;
    }
    if (w <= 0 || h <= 0) {
      ReportError("no display of size " + Size(w, h));
      return false;
    }
    SDL_DisplayMode mode{};
    const bool fullScreen = depth != 0;
    std::vector<DisplayMode> hostModes;
    // A page goes full screen by the browser's scaling of the canvas, not by
    // a mode of the screen.
    const bool hostFullScreen = fullScreen && HostDisplayModes(hostModes);
    if (fullScreen && !hostFullScreen && !FindMode(w, h, depth, hertz, mode)) {
      ReportError("no full-screen mode " + Size(w, h) + " at " + std::to_string(depth) + " bits");
      return false;
    }

    // 3.3 core first; 2.1 with the compatibility profile when refused; a
    // browser offers only OpenGL ES 3.0 (WebGL 2), drawn like 3.3 core.
    struct Profile {
      int major, minor, mask;
      const char* name;
    };
    static constexpr Profile kProfiles[] = {{3, 3, SDL_GL_CONTEXT_PROFILE_CORE, "OpenGL 3.3 core"},
                                            {2, 1, 0, "OpenGL 2.1"},
                                            {3, 0, SDL_GL_CONTEXT_PROFILE_ES, "OpenGL ES 3.0"}};
    const char* glName = "";
    for (const Profile& p : kProfiles) {
      if (context_) break;
      if (HostGlesOnly() && p.mask != SDL_GL_CONTEXT_PROFILE_ES) continue;  // no refusals to report
      core_ = p.major == 3;
      glName = p.name;
      SDL_GL_ResetAttributes();
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, p.major);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, p.minor);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, p.mask);
      SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
      SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
      SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
      SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
      SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
      SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
      window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                 SDL_WINDOW_OPENGL | (fullScreen ? SDL_WINDOW_HIDDEN : 0));
      if (!window_) return Refused("window " + Size(w, h));
      HostBreathe();
      context_ = SDL_GL_CreateContext(window_);
      HostBreathe();
      if (!context_) {
        Refused(std::string(glName) + " context");
        SDL_DestroyWindow(window_);
        window_ = nullptr;
      }
    }
    if (!context_) return false;
    if (hostFullScreen) {
      // The browser grants it at the next key press or click.
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
    } else if (fullScreen) {
      if (SDL_SetWindowDisplayMode(window_, &mode) != 0 ||
          SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) {
        Refused("full screen " + Size(w, h));
        Close();
        return false;
      }
      SDL_ShowWindow(window_);
    }
    if (SDL_GL_MakeCurrent(window_, context_) != 0 || !GlInit(w, h, core_)) {
      Refused(std::string(glName) + " drawing could not be set up");
      Close();
      return false;
    }
    HostBreathe();
    swapInterval_ = -2;
    GlSetVirtual(VirtualW(), VirtualH());
    HostDisplayOpened(w, h);
    HostBreathe();
    UpdateWindowSize();
    FollowHostFrame();
    // A window a page shows whenever it sleeps must only ever hold whole frames.
    if (!HostSleepShowsWindow()) {
      GlDrawToWindow(
          drawableW_, drawableH_, [](void* window) { SDL_GL_SwapWindow(static_cast<SDL_Window*>(window)); }, window_);
    }
    SDL_DisplayMode current{};
    refresh_ = 60;
    if (SDL_GetWindowDisplayMode(window_, &current) == 0 && current.refresh_rate > 0) refresh_ = current.refresh_rate;
    SDL_ShowCursor(pointerShown_ ? SDL_ENABLE : SDL_DISABLE);
    SDL_StartTextInput();
    lastPresent_ = SDL_GetPerformanceCounter();
    return true;
  }

  void Close() override {
    // The context takes every texture with it.
    if (context_) {
      GlShutdown();
      SDL_GL_DeleteContext(context_);
      context_ = nullptr;
    }
    if (window_) {
      SDL_DestroyWindow(window_);
      window_ = nullptr;
    }
  }

  bool IsOpen() override { return window_ != nullptr; }

  void Clear() override {
    if (!window_) return;
    GlFrameBegins(drawableW_, drawableH_);
    GlClear();
  }

  void Present(int sync) override {
    if (!window_) return;
    const int interval = sync == 1 ? 1 : 0;
    if (interval != swapInterval_) {
      // Refused under Xvfb: then frames go out at once and the caller paces.
      if (SDL_GL_SetSwapInterval(interval) != 0) SDL_GL_SetSwapInterval(0);
      swapInterval_ = interval;
    }
    if (sync == -1) {
      GlIdle(drawableW_, drawableH_);  // GL draws the frame while we wait
      presentedSinceSleep_ = true;
      PaceToRefresh();
    }
    GlShowFrame(drawableW_, drawableH_);
    SDL_GL_SwapWindow(window_);
    GlSwapped();
    presentedSinceSleep_ = true;
    lastPresent_ = SDL_GetPerformanceCounter();
    FollowHostFrame();
  }

  //--------------------------------------------------------------------------
  // Drawing
  //--------------------------------------------------------------------------
  void SetVirtual(float virtualW, float virtualH) override {
    if (window_) GlSetVirtual(virtualW, virtualH);
  }

  void DrawRect(float x, float y, float w, float h, const DrawState& s) override {
    if (!window_) return;
    const Quad q = PlaceFrame(w, h, 0, 0, x, y, s.scaleX, s.scaleY, s.rotation);
    Emit(GlWhiteTexture(), s.blend, q, 0.5f, 0.5f, 0.5f, 0.5f, Color(s));
  }

  // One quad of a texture a texel a band, unfiltered, is the stack of
  // rectangles itself when nothing turns or scales them apart.
  void DrawBands(const std::vector<uint32_t>& colours, float x, float y, float w, float bandHeight,
                 const DrawState& s) override {
    if (!window_) return;
    const unsigned tex = s.rotation == 0 && s.scaleX == 1 && s.scaleY == 1 ? GlBandTexture(colours) : 0;
    if (!tex) {
      MediaBackend::DrawBands(colours, x, y, w, bandHeight, s);
      return;
    }
    const float h = bandHeight * static_cast<float>(colours.size());
    DrawState white = s;
    white.r = white.g = white.b = 255;
    const uint32_t color = Color(white);
    // Opaque texels at full alpha: the alpha blend would write the solid one's pixels.
    const int blend = s.blend == ALPHABLEND && color >> 24 == 255 ? SOLIDBLEND : s.blend;
    Emit(tex, blend, PlaceFrame(w, h, 0, 0, x, y, 1, 1, 0), 0, 0, 1, 1, color);
  }

  void DrawLine(float x1, float y1, float x2, float y2, bool lastPixel, const DrawState& s) override {
    if (!window_) return;
    Quad q;
    const PictureFit fit = DisplayFit();
    const float kx = fit.w / VirtualW();
    const float ky = fit.h / VirtualH();
    if (!PlaceLine(x1, y1, x2, y2, lastPixel, s, kx, ky, q)) return;
    Emit(GlWhiteTexture(), s.blend, q, 0.5f, 0.5f, 0.5f, 0.5f, Color(s));
  }

  void DrawImage(ImageData& img, int frame, float x, float y, const DrawState& s) override {
    if (!window_ || frame < 0 || frame >= img.frames) return;
    const GlSheet* t = GlImageSheet(img);
    if (!t) return;
    const int px = (frame % t->cols) * (img.width + 2) + 1, py = (frame / t->cols) * (img.height + 2) + 1;
    const float iw = 1.0f / static_cast<float>(t->width), ih = 1.0f / static_cast<float>(t->height);
    const Quad q = PlaceFrame(static_cast<float>(img.width), static_cast<float>(img.height), img.handleX, img.handleY,
                              x, y, s.scaleX, s.scaleY, s.rotation);
    Emit(t->tex, s.blend, q, static_cast<float>(px) * iw, static_cast<float>(py) * ih,
         static_cast<float>(px + img.width) * iw, static_cast<float>(py + img.height) * ih, Color(s));
  }

  void DrawText(FontData* font, const std::string& text, float x, float y, const DrawState& s) override {
    if (!window_ || text.empty()) return;
    FontData& f = font ? *font : BuiltinFontData();
    const GlSheet* t = GlFontSheet(f);
    if (!t) return;
    const float iw = 1.0f / static_cast<float>(t->width), ih = 1.0f / static_cast<float>(t->height);
    const uint32_t color = Color(s);
    int pen = 0;
    for (unsigned char c : text) {
      const Glyph& g = f.glyphs[c];
      if (g.w > 0 && g.h > 0) {
        const Quad q = PlaceGlyph(g, pen, x, y, s);
        Emit(t->tex, s.blend, q, static_cast<float>(g.x) * iw, static_cast<float>(g.y) * ih,
             static_cast<float>(g.x + g.w) * iw, static_cast<float>(g.y + g.h) * ih, color);
      }
      pen += g.advance;
    }
  }

  void ReadPixels(int x, int y, int w, int h, uint32_t* out) override {
    if (w <= 0 || h <= 0) return;
    if (!window_) {
      std::fill(out, out + static_cast<size_t>(w) * h, 0xFF000000u);
      return;
    }
    GlReadPixels(x, y, w, h, out);
  }

  void ReleaseImage(ImageData& img) override { GlReleaseSheet(img.gpu); }
  void ReleaseFont(FontData& font) override { GlReleaseSheet(font.gpu); }

  //--------------------------------------------------------------------------
  // Input
  //--------------------------------------------------------------------------
  void PumpEvents(InputState& in) override {
    // Every input query lands here, often many times a frame. Reading the
    // devices costs tens of microseconds, so they are read at most once a
    // millisecond; events already queued are always taken.
    const Uint64 now = SDL_GetPerformanceCounter();
    if (!soundAwaited_.empty() && HostSoundAllowed()) SelectAudioDriver(std::string(soundAwaited_));
    if (now - lastPump_ >= SDL_GetPerformanceFrequency() / 1000) {
      SDL_PumpEvents();
      lastPump_ = now;
    }
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
      switch (e.type) {
        case SDL_QUIT: in.closeRequested = true; break;
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) in.closeRequested = true;
          if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) UpdateWindowSize();
          break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: KeyEvent(e.key, in); break;
        case SDL_TEXTINPUT: TypeUtf8(e.text.text, in); break;
        case SDL_MOUSEMOTION:
          in.mouseX = static_cast<float>(e.motion.x) * MouseScaleX();
          in.mouseY = static_cast<float>(e.motion.y) * MouseScaleY();
          break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
          const int b = e.button.button == SDL_BUTTON_LEFT     ? 1
                        : e.button.button == SDL_BUTTON_RIGHT  ? 2
                        : e.button.button == SDL_BUTTON_MIDDLE ? 3
                                                               : 0;
          if (!b) break;
          const bool down = e.type == SDL_MOUSEBUTTONDOWN;
          if (down) ++in.presses;
          if (down && !in.mouseDown[b]) ++in.mouseHits[b];
          in.mouseDown[b] = down;
          in.mouseX = static_cast<float>(e.button.x) * MouseScaleX();
          in.mouseY = static_cast<float>(e.button.y) * MouseScaleY();
          break;
        }
        case SDL_DROPFILE:
          if (e.drop.file) {
            in.dropped.emplace_back(e.drop.file);
            SDL_free(e.drop.file);
          }
          break;
        case SDL_JOYDEVICEADDED:
        case SDL_JOYDEVICEREMOVED:
          // Device indices shift: reopen lazily by index.
          CloseJoysticks();
          break;
        default: break;
      }
    }
    // What the host's own text field took, one code at a time as the program
    // takes them: a frame reads one character and one Backspace at most.
    if (in.typed.empty() && in.keyHits[KEY_BACKSPACE] == 0 && in.keyHits[KEY_ENTER] == 0) {
      const int c = HostNextTyped();
      if (c == KEY_BACKSPACE || c == KEY_ENTER) ++in.keyHits[c];
      if (c > 0 && c <= 255) in.typed.push_back(c);
    }
  }

  void MoveMouse(int x, int y, InputState& in) override {
    in.mouseX = static_cast<float>(x);
    in.mouseY = static_cast<float>(y);
    if (window_)
      SDL_WarpMouseInWindow(window_, static_cast<int>(std::lround(x / MouseScaleX())),
                            static_cast<int>(std::lround(y / MouseScaleY())));
  }

  void ShowPointer(bool show) override {
    pointerShown_ = show;
    if (videoOk_) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
  }

  int JoyCount() override { return joyOk_ ? std::max(0, SDL_NumJoysticks()) : 0; }

  std::string JoyName(int port) override {
    if (!Joystick(port)) return std::string();
    const char* name = SDL_JoystickNameForIndex(port);
    return name ? name : "";
  }

  float JoyAxisValue(int port, int axis) override {
    SDL_Joystick* j = Joystick(port);
    if (!j || axis < 0 || axis >= SDL_JoystickNumAxes(j)) return 0;
    const Sint16 v = SDL_JoystickGetAxis(j, axis);
    return v < 0 ? static_cast<float>(v) / 32768.0f : static_cast<float>(v) / 32767.0f;
  }

  float JoyHat(int port) override {
    SDL_Joystick* j = Joystick(port);
    if (!j || SDL_JoystickNumHats(j) < 1) return -1;
    switch (SDL_JoystickGetHat(j, 0)) {
      case SDL_HAT_UP: return 0;
      case SDL_HAT_RIGHTUP: return 0.125f;
      case SDL_HAT_RIGHT: return 0.25f;
      case SDL_HAT_RIGHTDOWN: return 0.375f;
      case SDL_HAT_DOWN: return 0.5f;
      case SDL_HAT_LEFTDOWN: return 0.625f;
      case SDL_HAT_LEFT: return 0.75f;
      case SDL_HAT_LEFTUP: return 0.875f;
      default: return -1;
    }
  }

  bool JoyButton(int port, int button) override {
    SDL_Joystick* j = Joystick(port);
    return j && button >= 0 && button < SDL_JoystickNumButtons(j) && SDL_JoystickGetButton(j, button);
  }

  int JoyButtonMask(int port) override {
    SDL_Joystick* j = Joystick(port);
    if (!j) return 0;
    const int n = std::max(0, SDL_JoystickNumButtons(j));
    return n >= 32 ? -1 : static_cast<int>((1u << n) - 1u);
  }

  bool PadDown(int port, int control) override {
    SDL_GameController* c = Controller(port);
    if (!c) return MediaBackend::PadDown(port, control);
    constexpr Sint16 kPushed = 16384;  // half way
    const auto button = [c](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(c, b) != 0; };
    const auto axis = [c](SDL_GameControllerAxis a) { return SDL_GameControllerGetAxis(c, a); };
    switch (control) {
      case PAD_UP: return button(SDL_CONTROLLER_BUTTON_DPAD_UP) || axis(SDL_CONTROLLER_AXIS_LEFTY) < -kPushed;
      case PAD_DOWN: return button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || axis(SDL_CONTROLLER_AXIS_LEFTY) > kPushed;
      case PAD_LEFT: return button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) || axis(SDL_CONTROLLER_AXIS_LEFTX) < -kPushed;
      case PAD_RIGHT: return button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || axis(SDL_CONTROLLER_AXIS_LEFTX) > kPushed;
      case PAD_BOTTOM: return button(SDL_CONTROLLER_BUTTON_A);
      case PAD_START: return button(SDL_CONTROLLER_BUTTON_START);
      case PAD_RIGHT_FACE: return button(SDL_CONTROLLER_BUTTON_B);
      case PAD_LEFT_FACE: return button(SDL_CONTROLLER_BUTTON_X);
      case PAD_TOP_FACE: return button(SDL_CONTROLLER_BUTTON_Y);
      case PAD_BACK: return button(SDL_CONTROLLER_BUTTON_BACK);
      case PAD_LEFT_SHOULDER: return button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
      case PAD_RIGHT_SHOULDER: return button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
      default: return false;
    }
  }

  bool TouchShown() override { return HostTouchShown(); }
  bool TouchHeld(int control) override { return HostTouchHeld(control); }
  int TouchHits(int control) override { return HostTouchHits(control); }
  void OfferTouch(int control, bool offered) override {
    if (control < 0 || control >= kTouchControls || offered == touchOffered_[control]) return;
    touchOffered_[control] = offered;
    HostOfferTouch(control, offered);
  }
  void TextEntry(bool on, const std::string& text) override {
    if (on == textEntry_ && text == textShown_) return;
    textEntry_ = on;
    textShown_ = text;
    HostTextEntry(on, text);
  }

  //--------------------------------------------------------------------------
  // Clock
  //--------------------------------------------------------------------------
  uint32_t Millisecs() override { return SDL_GetTicks(); }
  void Delay(int ms) override {
    if (ms <= 0) return;
    // Let GL draw while we sleep, unless that would show a frame the program
    // may yet drop.
    if (window_ && !HostSleepShowsWindow()) GlIdle(drawableW_, drawableH_);
    HostSleep(ms, std::exchange(presentedSinceSleep_, false));
  }
  bool WaitForFrame(double periodMs) override {
    return window_ && HostWaitForFrame(periodMs, std::exchange(presentedSinceSleep_, false));
  }

  //--------------------------------------------------------------------------
  // Audio: forwarded to the chosen output; none means silence.
  //--------------------------------------------------------------------------
  std::vector<std::string> AudioDrivers() override {
    if (!OpenALLinked()) return {"FreeAudio"};
    return {"OpenAL", "FreeAudio"};
  }

  bool SelectAudioDriver(const std::string& name) override {
    if (!HostSoundAllowed() && (SameName(name, "OpenAL") || SameName(name, "FreeAudio"))) {
      // Opened at the first frame the host allows sound (PumpEvents); silent
      // until then, as sound could not be heard before it anyway.
      DropAudio();
      audioChosen_ = true;
      soundAwaited_ = name;
      return true;
    }
    soundAwaited_.clear();
    std::unique_ptr<AudioOutput> out;
    if (SameName(name, "OpenAL")) {
      out = openALReady_ ? std::move(openALReady_) : OpenOpenALOutput();
    } else if (SameName(name, "FreeAudio")) {
      out = OpenFreeAudioOutput();
    } else {
      return false;
    }
    audioChosen_ = true;  // an explicit choice, even one that could not open
    if (!out) return false;
    DropAudio();
    audio_ = std::move(out);
    return true;
  }

  bool EnableOpenAL() override {
    if (openALReady_) return true;
    if (!HostSoundAllowed()) return OpenALLinked();  // tried when sound is allowed
    openALReady_ = OpenOpenALOutput();
    return openALReady_ != nullptr;
  }

  void ReleaseSound(SoundData& snd) override {
    if (audio_) audio_->Release(snd);
    snd.device = 0;
    cued_.erase(&snd);
  }

  int AllocChannel() override {
    AudioOutput* a = Audio();
    return a ? a->Alloc() : 0;
  }
  bool Cue(int channel, SoundData& snd) override {
    AudioOutput* a = Audio();
    if (!a) return false;
    cued_.insert(&snd);
    return a->Cue(channel, snd);
  }
  void Resume(int channel) override {
    if (audio_) audio_->Resume(channel);
  }
  void Stop(int channel) override {
    if (audio_) audio_->Stop(channel);
  }
  bool Playing(int channel) override { return audio_ && audio_->Playing(channel); }
  void SetVolume(int channel, float v) override {
    if (audio_) audio_->SetVolume(channel, v);
  }
  void SetPan(int channel, float p) override {
    if (audio_) audio_->SetPan(channel, p);
  }
  void SetRate(int channel, float r) override {
    if (audio_) audio_->SetRate(channel, r);
  }

  [[noreturn]] void End(int status) override {
    HostEnded();
    DropAudio();
    Close();
    CloseJoysticks();
    SDL_Quit();
    std::exit(status);
  }

 private:
  // The drawing area as the media layer keeps it; the display's size until one is set.
  static float VirtualW() {
    const DisplayCore& d = g_media.display;
    return d.virtualW > 0 ? d.virtualW : static_cast<float>(d.width);
  }
  static float VirtualH() {
    const DisplayCore& d = g_media.display;
    return d.virtualH > 0 ? d.virtualH : static_cast<float>(d.height);
  }

  // A full-screen mode of this size: the exact depth and refresh when
  // offered, else any refresh (Xvfb reports 0).
  bool FindMode(int w, int h, int depth, int hertz, SDL_DisplayMode& out) {
    bool found = false;
    const int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
      SDL_DisplayMode m{};
      if (SDL_GetDisplayMode(0, i, &m) != 0 || m.w != w || m.h != h) continue;
      if (ModeDepth(m.format) != depth && depth != 0) continue;
      if (!found || m.refresh_rate == hertz) out = m;
      found = true;
    }
    return found;
  }

  void UpdateWindowSize() {
    if (!window_) return;
    SDL_GetWindowSize(window_, &windowW_, &windowH_);
    SDL_GL_GetDrawableSize(window_, &drawableW_, &drawableH_);
    int w = 0, h = 0;
    if (HostFrameSize(w, h)) {  // SDL answers its window's size, not the canvas's
      drawableW_ = w;
      drawableH_ = h;
    }
    if (drawableW_ <= 0 || drawableH_ <= 0) {
      drawableW_ = g_media.display.width;
      drawableH_ = g_media.display.height;
    }
  }

  // Window points to display pixels (they differ when the window manager or
  // a full-screen switch gave us another size than asked).
  float MouseScaleX() const {
    return window_ && windowW_ > 0 ? static_cast<float>(g_media.display.width) / windowW_ : 1.0f;
  }
  float MouseScaleY() const {
    return window_ && windowH_ > 0 ? static_cast<float>(g_media.display.height) / windowH_ : 1.0f;
  }

  // Software pacing to the display's refresh, a millisecond sleep at a time.
  void PaceToRefresh() {
    const Uint64 freq = SDL_GetPerformanceFrequency();
    const Uint64 period = freq / static_cast<Uint64>(refresh_ > 0 ? refresh_ : 60);
    const Uint64 due = lastPresent_ + period;
    for (Uint64 now = SDL_GetPerformanceCounter(); now < due; now = SDL_GetPerformanceCounter()) {
      const Uint64 leftMs = (due - now) * 1000 / freq;
      HostSleep(leftMs > 1 ? static_cast<int>(leftMs - 1) : 1, std::exchange(presentedSinceSleep_, false));
    }
  }

  // Alpha belongs to the alpha and light blends; in the mask blend it must not
  // move the half-alpha threshold, which is the image's own.
  static uint32_t Color(const DrawState& s) { return GlColor(s.r, s.g, s.b, s.blend == MASKBLEND ? 1.0f : s.alpha); }

  static void Emit(unsigned tex, int blend, const Quad& q, float u0, float v0, float u1, float v1, uint32_t color) {
    if (!tex) return;
    // Fully transparent in the alpha or the light blend, a draw leaves every
    // pixel as it was (a sky or the ground faded all the way out).
    if ((blend == ALPHABLEND || blend == LIGHTBLEND) && color >> 24 == 0) return;
    // Untextured and opaque, the alpha blend writes exactly the solid blend's
    // pixels (source times 1 plus destination times 0); without the blend
    // the rasteriser need not read the frame back.
    if (tex == GlWhiteTexture() && blend == ALPHABLEND && color >> 24 == 255) blend = SOLIDBLEND;
    GlVertex* v = GlQuad(tex, blend);
    v[0] = {q.x[0], q.y[0], u0, v0, color};
    v[1] = {q.x[1], q.y[1], u1, v0, color};
    v[2] = {q.x[2], q.y[2], u1, v1, color};
    v[3] = {q.x[3], q.y[3], u0, v1, color};
  }

  void KeyEvent(const SDL_KeyboardEvent& k, InputState& in) {
    const int code = VirtualKeyFromSdl(k.keysym.sym, k.keysym.scancode);
    if (code <= 0 || code > 255) return;
    if (k.type == SDL_KEYUP) {
      in.keyDown[code] = false;
      return;
    }
    if (!k.repeat) {
      ++in.keyHits[code];
      ++in.presses;
    }
    in.keyDown[code] = true;
    // Editing keys type a code of their own, repeats included.
    if (code == KEY_BACKSPACE || code == KEY_ENTER || code == KEY_ESCAPE) in.typed.push_back(code);
  }

  SDL_Joystick* Joystick(int port) {
    if (!joyOk_ || port < 0 || port >= SDL_NumJoysticks()) return nullptr;
    if (port >= static_cast<int>(joysticks_.size())) joysticks_.resize(static_cast<size_t>(port) + 1, nullptr);
    if (!joysticks_[port]) joysticks_[port] = SDL_JoystickOpen(port);
    return joysticks_[port];
  }

  // The same device as a pad with a known mapping; nullptr without one.
  // Looked up once per device (the mapping search is not cheap).
  SDL_GameController* Controller(int port) {
    if (!Joystick(port)) return nullptr;
    if (port >= static_cast<int>(controllers_.size())) controllers_.resize(static_cast<size_t>(port) + 1);
    PadPort& p = controllers_[port];
    if (!p.looked) {
      p.looked = true;
      if (SDL_IsGameController(port)) p.pad = SDL_GameControllerOpen(port);
    }
    return p.pad;
  }

  void CloseJoysticks() {
    for (PadPort& p : controllers_)
      if (p.pad) SDL_GameControllerClose(p.pad);
    controllers_.clear();
    for (SDL_Joystick* j : joysticks_)
      if (j) SDL_JoystickClose(j);
    joysticks_.clear();
  }

  // A host that sizes the picture itself (a page matching its canvas to the
  // device's pixels): the next frame is drawn at that size.
  void FollowHostFrame() {
    int w = 0, h = 0;
    if (!HostFrameSize(w, h)) return;
    drawableW_ = w;
    drawableH_ = h;
    GlSetFrameSize(w, h);
  }

  // The output in use; with no choice made, FreeAudio, else OpenAL, else
  // none. Opened on first use so a program that never plays stays silent.
  AudioOutput* Audio() {
    if (!audio_ && !audioChosen_ && HostSoundAllowed()) {
      audioChosen_ = true;
      audio_ = OpenFreeAudioOutput();
      if (!audio_) audio_ = openALReady_ ? std::move(openALReady_) : OpenOpenALOutput();
    }
    return audio_.get();
  }

  // Sounds made for the old output are forgotten so the next one uploads
  // its own copy when they are cued again.
  void DropAudio() {
    if (audio_)
      for (SoundData* s : cued_) audio_->Release(*s);
    for (SoundData* s : cued_) s->device = 0;
    audio_.reset();
  }

  bool videoOk_ = false, joyOk_ = false;
  std::string videoError_;
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  bool core_ = true;
  std::string title_;
  int windowW_ = 0, windowH_ = 0;      // window points
  int drawableW_ = 0, drawableH_ = 0;  // window pixels
  int swapInterval_ = -2;
  int refresh_ = 60;
  Uint64 lastPresent_ = 0;
  Uint64 lastPump_ = 0;
  bool presentedSinceSleep_ = false;  // a picture for the host to show at its next sleep
  std::string soundAwaited_;          // the output chosen before the host allowed sound
  bool pointerShown_ = true;
  std::vector<SDL_Joystick*> joysticks_;
  struct PadPort {
    bool looked = false;                // asked SDL for a mapping
    SDL_GameController* pad = nullptr;  // nullptr: none known
  };
  std::vector<PadPort> controllers_;
  static constexpr int kTouchControls = TOUCH_PAUSE + 1;
  bool touchOffered_[kTouchControls] = {};
  bool textEntry_ = false;
  std::string textShown_;
  std::unique_ptr<AudioOutput> audio_;
  std::unique_ptr<AudioOutput> openALReady_;
  bool audioChosen_ = false;
  std::set<SoundData*> cued_;
};

}  // namespace

void UseSdlBackend() { InstallBackend(std::make_unique<SdlBackend>(), false); }
