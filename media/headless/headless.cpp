// headless.cpp — the test back end: no window, no sound device, a virtual
// clock, scripted input and a record of every draw and sound call.
#include "media/headless/headless.h"

#include <cmath>
#include <utility>

#include "media/backend.h"

namespace {

struct Joystick {
  std::string name = "Virtual Joystick";
  float axes[6] = {};
  float hat = -1;
  bool hasHat = true;
  int buttonMask = 0xFFFF;
  uint32_t buttonsDown = 0;
};

// A scripted input event, applied when the program next pumps events, so
// a press and release between two queries still counts as a hit.
struct Event {
  enum Kind { KEY, CHAR, MOVE, BUTTON, CLOSE, DROP } kind;
  int code = 0;
  bool down = false;
  float x = 0, y = 0;
  std::string file;  // DROP
};

struct Channel {
  int sound = 0;
  double length = 0;  // ms at rate 1
  bool loop = false;
  bool running = false;
  double startMs = 0;
  float rate = 1;
};

// Past this many records the oldest half is dropped, so a test playing a
// long session without clearing does not run out of memory.
constexpr size_t kMaxDraws = 1000000;

struct State {
  std::vector<DrawRecord> draws, frame, lastFrame;
  int presents = 0;
  std::vector<SoundRecord> sounds;
  std::string title;
  bool open = false;
  DisplayMode mode;
  std::vector<DisplayMode> modes;
  double clock = 0;      // ms
  std::time_t date = 0;  // the calendar clock; 0: the system's
  double drawCost = 0;
  std::function<void()> onPresent, onDelay;
  std::vector<Event> events;
  std::vector<Joystick> joys;
  std::vector<Channel> channels = std::vector<Channel>(1);
  bool pointerShown = true;
  bool touchShown = false;
  bool touchDown[8] = {}, touchOffered[8] = {};
  int touchHits[8] = {};
  bool textEntry = false;
  bool refuseDisplay = false;
  int refuseWidth = 0;  // with refuseDisplay: refuse only this width (0: every size)
};

State& H() {
  static State s;
  return s;
}

std::vector<DisplayMode> DefaultModes() {
  const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 960}, {1600, 900}, {1920, 1080}};
  std::vector<DisplayMode> modes;
  for (auto& s : sizes)
    for (int depth : {16, 32}) modes.push_back({s[0], s[1], depth, 60});
  return modes;
}

void Record(DrawRecord r, const DrawState* s) {
  State& h = H();
  if (s) {
    r.r = s->r;
    r.g = s->g;
    r.b = s->b;
    r.alpha = s->alpha;
    r.blend = s->blend;
    r.rotation = s->rotation;
    r.scaleX = s->scaleX;
    r.scaleY = s->scaleY;
    r.font = s->font;
    h.clock += h.drawCost;
  }
  if (h.draws.size() >= kMaxDraws) h.draws.erase(h.draws.begin(), h.draws.begin() + kMaxDraws / 2);
  h.draws.push_back(r);
  h.frame.push_back(r);
}

void RecordSound(SoundRecord::Kind kind, int channel, int sound, float value) {
  SoundRecord r;
  r.kind = kind;
  r.channel = channel;
  r.sound = sound;
  r.value = value;
  r.ms = static_cast<uint32_t>(H().clock);
  H().sounds.push_back(r);
}

bool TouchSlot(int control) { return control >= 0 && control < 8; }

Joystick* Joy(int port) {
  std::vector<Joystick>& joys = H().joys;
  return port >= 0 && port < static_cast<int>(joys.size()) ? &joys[port] : nullptr;
}

// A key or button going down or up; a press counts a hit on the down edge.
void Press(bool& down, int& hits, bool now, int& presses) {
  if (now && !down) {
    ++hits;
    ++presses;
  }
  down = now;
}

Channel* Chan(int channel) {
  std::vector<Channel>& ch = H().channels;
  return channel > 0 && channel < static_cast<int>(ch.size()) ? &ch[channel] : nullptr;
}

class HeadlessBackend : public MediaBackend {
 public:
  std::vector<DisplayMode> Modes() override { return H().modes; }
  void SetTitle(const std::string& title) override { H().title = title; }

  // A window opens at any size; full screen only in a listed mode.
  bool Open(int w, int h, int depth, int hertz, int) override {
    if (H().refuseDisplay && (H().refuseWidth == 0 || H().refuseWidth == w)) {
      ReportError("no video: this headless display refuses to open");
      return false;
    }
    if (depth != 0) {
      bool found = false;
      for (const DisplayMode& m : H().modes)
        found = found || (m.width == w && m.height == h && m.depth == depth && (hertz == 0 || m.hertz == hertz));
      if (!found) return false;
    }
    H().open = true;
    H().mode = {w, h, depth, hertz};
    return true;
  }
  void Close() override { H().open = false; }
  bool IsOpen() override { return H().open; }

  void Clear() override {
    DrawRecord r;
    r.kind = DrawRecord::CLEAR;
    Record(r, nullptr);
  }

  void Present(int) override {
    State& h = H();
    DrawRecord r;
    r.kind = DrawRecord::PRESENT;
    Record(r, nullptr);
    h.lastFrame.swap(h.frame);
    h.frame.clear();
    ++h.presents;
    if (h.onPresent) h.onPresent();
  }

  void SetVirtual(float, float) override {}

  void DrawRect(float x, float y, float w, float h, const DrawState& s) override {
    DrawRecord r;
    r.kind = DrawRecord::RECT;
    r.x = x, r.y = y, r.w = w, r.h = h;
    Record(r, &s);
  }
  void DrawLine(float x1, float y1, float x2, float y2, bool, const DrawState& s) override {
    DrawRecord r;
    r.kind = DrawRecord::LINE;
    r.x = x1, r.y = y1, r.w = x2, r.h = y2;
    Record(r, &s);
  }
  void DrawImage(ImageData& img, int frame, float x, float y, const DrawState& s) override {
    DrawRecord r;
    r.kind = DrawRecord::IMAGE;
    r.x = x, r.y = y;
    r.w = static_cast<float>(img.width), r.h = static_cast<float>(img.height);
    r.image = img.handle;
    r.frame = frame;
    Record(r, &s);
  }
  void DrawText(FontData*, const std::string& text, float x, float y, const DrawState& s) override {
    DrawRecord r;
    r.kind = DrawRecord::TEXT;
    r.x = x, r.y = y;
    r.text = text;
    Record(r, &s);
  }
  void ReadPixels(int, int, int w, int h, uint32_t* out) override {
    if (w <= 0 || h <= 0) return;
    std::fill(out, out + static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u);
  }
  void ReleaseImage(ImageData& img) override { img.gpu = 0; }
  void ReleaseFont(FontData& font) override { font.gpu = 0; }

  void PumpEvents(InputState& in) override {
    std::vector<Event> events;
    events.swap(H().events);
    for (const Event& e : events) {
      switch (e.kind) {
        case Event::KEY:
          if (e.code >= 1 && e.code <= 255) Press(in.keyDown[e.code], in.keyHits[e.code], e.down, in.presses);
          break;
        case Event::CHAR: in.typed.push_back(e.code); break;
        case Event::MOVE:
          in.mouseX = e.x;
          in.mouseY = e.y;
          break;
        case Event::BUTTON:
          if (e.code >= 1 && e.code <= 3) Press(in.mouseDown[e.code], in.mouseHits[e.code], e.down, in.presses);
          break;
        case Event::CLOSE: in.closeRequested = true; break;
        case Event::DROP: in.dropped.push_back(e.file); break;
      }
    }
  }
  void MoveMouse(int x, int y, InputState& in) override {
    in.mouseX = static_cast<float>(x);
    in.mouseY = static_cast<float>(y);
  }
  void ShowPointer(bool show) override { H().pointerShown = show; }

  int JoyCount() override { return static_cast<int>(H().joys.size()); }
  std::string JoyName(int port) override { return Joy(port) ? Joy(port)->name : std::string(); }
  float JoyAxisValue(int port, int axis) override {
    return Joy(port) && axis >= 0 && axis < 6 ? Joy(port)->axes[axis] : 0.0f;
  }
  float JoyHat(int port) override { return Joy(port) && Joy(port)->hasHat ? Joy(port)->hat : -1.0f; }
  bool JoyButton(int port, int button) override {
    Joystick* j = Joy(port);
    if (!j || button < 0 || button >= 32) return false;
    uint32_t bit = 1u << button;
    return (j->buttonsDown & bit) && (static_cast<uint32_t>(j->buttonMask) & bit);
  }
  int JoyButtonMask(int port) override { return Joy(port) ? Joy(port)->buttonMask : 0; }

  bool TouchShown() override { return H().touchShown; }
  bool TouchHeld(int control) override { return TouchSlot(control) && H().touchDown[control]; }
  int TouchHits(int control) override { return TouchSlot(control) ? std::exchange(H().touchHits[control], 0) : 0; }
  void OfferTouch(int control, bool offered) override {
    if (TouchSlot(control)) H().touchOffered[control] = offered;
  }
  void TextEntry(bool on, const std::string&) override { H().textEntry = on; }

  uint32_t Millisecs() override { return static_cast<uint32_t>(static_cast<uint64_t>(H().clock)); }
  std::time_t Now() override { return H().date != 0 ? H().date : std::time(nullptr); }
  void Delay(int ms) override {
    if (ms > 0) H().clock += ms;
    if (H().onDelay) H().onDelay();
  }

  std::vector<std::string> AudioDrivers() override { return {"OpenAL", "FreeAudio"}; }
  bool SelectAudioDriver(const std::string& name) override { return name == "OpenAL" || name == "FreeAudio"; }
  bool EnableOpenAL() override { return true; }
  void ReleaseSound(SoundData& snd) override { snd.device = 0; }

  int AllocChannel() override {
    H().channels.emplace_back();
    return static_cast<int>(H().channels.size()) - 1;
  }
  bool Cue(int channel, SoundData& snd) override {
    Channel* c = Chan(channel);
    if (!c) return false;
    c->sound = snd.handle;
    c->loop = snd.loop;
    c->running = false;
    c->rate = 1;
    size_t frames = snd.samples.size() / static_cast<size_t>(snd.channels > 0 ? snd.channels : 1);
    c->length = snd.rate > 0 ? 1000.0 * static_cast<double>(frames) / snd.rate : 0;
    RecordSound(SoundRecord::CUE, channel, snd.handle, 0);
    return true;
  }
  void Resume(int channel) override {
    if (Channel* c = Chan(channel)) {
      if (!c->running) c->startMs = H().clock;
      c->running = true;
    }
    RecordSound(SoundRecord::RESUME, channel, 0, 0);
  }
  void Stop(int channel) override {
    if (Channel* c = Chan(channel)) c->running = false;
    RecordSound(SoundRecord::STOP, channel, 0, 0);
  }
  // Sounding while resumed and within its length on the virtual clock.
  bool Playing(int channel) override {
    Channel* c = Chan(channel);
    if (!c || !c->running) return false;
    return c->loop || H().clock - c->startMs < c->length / c->rate;
  }
  void SetVolume(int channel, float v) override { RecordSound(SoundRecord::VOLUME, channel, 0, v); }
  void SetPan(int channel, float p) override { RecordSound(SoundRecord::PAN, channel, 0, p); }
  void SetRate(int channel, float r) override {
    if (Channel* c = Chan(channel)) c->rate = r > 0 ? r : 1;
    RecordSound(SoundRecord::RATE, channel, 0, r);
  }

  [[noreturn]] void End(int status) override { throw HeadlessExit{status}; }
};

void Push(const Event& e) { H().events.push_back(e); }

}  // namespace

void UseHeadlessBackend() {
  if (HeadlessActive()) return;
  if (H().modes.empty()) H().modes = DefaultModes();
  InstallBackend(std::make_unique<HeadlessBackend>(), true);
}

bool HeadlessActive() { return BackendInstalled(true); }

const std::vector<DrawRecord>& HeadlessDraws() { return H().draws; }
void HeadlessClearDraws() { H().draws.clear(); }
std::vector<DrawRecord> HeadlessLastFrame() { return H().lastFrame; }
int HeadlessPresentCount() { return H().presents; }
const std::vector<SoundRecord>& HeadlessSounds() { return H().sounds; }
void HeadlessClearSounds() { H().sounds.clear(); }
std::string HeadlessTitle() { return H().title; }
bool HeadlessDisplayOpen() { return H().open; }
DisplayMode HeadlessOpenMode() { return H().mode; }
bool HeadlessPointerShown() { return H().pointerShown; }

void HeadlessKey(int code, bool down) { Push({Event::KEY, code, down, 0, 0, {}}); }
void HeadlessType(int ch) { Push({Event::CHAR, ch, false, 0, 0, {}}); }
void HeadlessMouseMove(float displayX, float displayY) { Push({Event::MOVE, 0, false, displayX, displayY, {}}); }
void HeadlessMouseButton(int button, bool down) { Push({Event::BUTTON, button, down, 0, 0, {}}); }
void HeadlessRequestClose() { Push({Event::CLOSE, 0, false, 0, 0, {}}); }

void HeadlessDropFile(const std::string& file) { Push({Event::DROP, 0, false, 0, 0, file}); }

void HeadlessTouchShown(bool shown) { H().touchShown = shown; }
void HeadlessTouch(int control, bool down) {
  if (!TouchSlot(control)) return;
  if (down && !H().touchDown[control]) ++H().touchHits[control];
  H().touchDown[control] = down;
}
bool HeadlessTouchOffered(int control) { return TouchSlot(control) && H().touchOffered[control]; }
bool HeadlessTextEntryOn() { return H().textEntry; }

void HeadlessSetJoysticks(int count) { H().joys.assign(count > 0 ? static_cast<size_t>(count) : 0, Joystick()); }

void HeadlessJoyAxis(int port, int axis, float value) {
  if (Joystick* j = Joy(port); j && axis >= 0 && axis < 6) j->axes[axis] = value;
}

void HeadlessJoyHat(int port, float value) {
  if (Joystick* j = Joy(port)) j->hat = value;
}

void HeadlessJoyButton(int port, int button, bool down) {
  Joystick* j = Joy(port);
  if (!j || button < 0 || button >= 32) return;
  if (down) j->buttonsDown |= 1u << button;
  else j->buttonsDown &= ~(1u << button);
}

void HeadlessJoySetup(int port, const std::string& name, int buttonMask, bool hasHat) {
  if (Joystick* j = Joy(port)) {
    j->name = name;
    j->buttonMask = buttonMask;
    j->hasHat = hasHat;
  }
}

void HeadlessRefuseDisplay(bool refuse, int width) {
  H().refuseDisplay = refuse;
  H().refuseWidth = width;
}
void HeadlessSetModes(const std::vector<DisplayMode>& modes) { H().modes = modes; }
void HeadlessSetClock(uint32_t ms) { H().clock = ms; }
void HeadlessSetDate(std::time_t moment) { H().date = moment; }
void HeadlessSetDrawCost(double msPerDraw) { H().drawCost = msPerDraw > 0 ? msPerDraw : 0; }
void HeadlessOnPresent(std::function<void()> hook) { H().onPresent = std::move(hook); }
void HeadlessOnDelay(std::function<void()> hook) { H().onDelay = std::move(hook); }

void HeadlessReset() {
  State& h = H();
  std::string title = h.title;
  bool open = h.open;
  DisplayMode mode = h.mode;
  h = State();
  h.modes = DefaultModes();
  // The display itself stays as the program left it; only the record starts over.
  h.title = title;
  h.open = open;
  h.mode = mode;
  if (HeadlessActive()) {
    ClearInput();
    ResetMediaState();
  }
}
