// browser.cpp — the program inside a browser page (Emscripten): sleeps
// and frames hand control back to the browser until its next frame, written
// files are kept in IndexedDB, pictures become downloads, display modes are
// the sizes that fit the page, WebGL 2 is the only GL there is, the canvas
// is as sharp as the device, and the page's touch controls and text field
// reach the program.
// The JavaScript halves live in browser.js (called from here) and
// page.js (the page's side: storage at start, keys, the end message).
#include <emscripten/emscripten.h>

#include <array>

#include "media/core.h"
#include "media/host/host.h"

// A file dropped on the page, written into the page's files by
// replays.js: kept with the window's other dropped files.
extern "C" EMSCRIPTEN_KEEPALIVE void host_drop_file(const char* path) {
  if (path && *path) g_media.input.dropped.emplace_back(path);
}

extern "C" {
void host_sleep(int ms, int newPicture);  // returns after the browser ran
void host_yield();                        // returns after the browser ran its waiting tasks
int host_sound_allowed();
void host_wait_frame(double periodMs, int newPicture);
void host_file_changed(const char* path);
void host_picture_saved(const char* path);
void host_dropped_file_done(const char* path);
int host_lock_shared(const char* path);  // returns once the lock is held and the file fetched
void host_unlock_shared(const char* path, int changed);
int host_shared_changes(const char* path);
void host_page_size(int* w, int* h);
void host_ended();
void host_display_opened(int w, int h);
void host_frame_size(int* w, int* h);
int host_touch_shown();
int host_touch_held(int control);
int host_touch_hits(int control);
void host_offer_touch(int control, int offered);
void host_text_entry(int on, const char* text);
int host_next_typed();
}

namespace {
// The longest the program holds the browser's thread while it loads: a task
// of this length stays short even on a phone four times slower.
constexpr double kBreatheMs = 8;
double heldSince = 0;  // when the program last had the thread back
}  // namespace

void HostSleep(int ms, bool newPicture) {
  host_sleep(ms, newPicture ? 1 : 0);
  heldSince = emscripten_get_now();
}

bool HostWaitForFrame(double periodMs, bool newPicture) {
  host_wait_frame(periodMs, newPicture ? 1 : 0);
  heldSince = emscripten_get_now();
  return true;
}

// The frame being drawn is safe meanwhile: it goes to an offscreen buffer the
// browser does not show until it is presented.
void HostBreathe() {
  if (emscripten_get_now() - heldSince < kBreatheMs) return;
  host_yield();
  heldSince = emscripten_get_now();
}

bool HostSleepShowsWindow() { return true; }

bool HostSoundAllowed() { return host_sound_allowed() != 0; }

bool HostGlesOnly() { return true; }

void HostFileChanged(const std::string& path) { host_file_changed(path.c_str()); }

bool HostLockShared(const std::string& path) { return host_lock_shared(path.c_str()) != 0; }

void HostUnlockShared(const std::string& path, bool changed) { host_unlock_shared(path.c_str(), changed ? 1 : 0); }

int HostSharedChanges(const std::string& path) { return host_shared_changes(path.c_str()); }

void HostPictureSaved(const std::string& path) { host_picture_saved(path.c_str()); }

void HostDroppedFileDone(const std::string& path) { host_dropped_file_done(path.c_str()); }

// The usual 4:3 and 16:9 sizes, each offered when the page has room for it;
// the smallest always, so there is a display to open.
bool HostDisplayModes(std::vector<DisplayMode>& out) {
  static constexpr std::array<std::array<int, 2>, 12> kSizes{{{640, 480},
                                                              {800, 600},
                                                              {1024, 768},
                                                              {1152, 864},
                                                              {1280, 960},
                                                              {1400, 1050},
                                                              {1600, 1200},
                                                              {1280, 720},
                                                              {1366, 768},
                                                              {1600, 900},
                                                              {1920, 1080},
                                                              {2560, 1440}}};
  int pageW = 0, pageH = 0;
  host_page_size(&pageW, &pageH);
  out.clear();
  for (const auto& s : kSizes)
    if ((s[0] <= pageW && s[1] <= pageH) || out.empty()) out.push_back({s[0], s[1], 32, 60});
  return true;
}

void HostEnded() { host_ended(); }

void HostDisplayOpened(int w, int h) { host_display_opened(w, h); }

bool HostFrameSize(int& w, int& h) {
  host_frame_size(&w, &h);
  return w > 0 && h > 0;
}

bool HostTouchShown() { return host_touch_shown() != 0; }
bool HostTouchHeld(int control) { return host_touch_held(control) != 0; }
int HostTouchHits(int control) { return host_touch_hits(control); }
void HostOfferTouch(int control, bool offered) { host_offer_touch(control, offered ? 1 : 0); }

// Latin-1 bytes to UTF-8 for the page.
void HostTextEntry(bool on, const std::string& text) {
  std::string utf8;
  for (unsigned char c : text) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  host_text_entry(on ? 1 : 0, utf8.c_str());
}

int HostNextTyped() { return host_next_typed(); }
