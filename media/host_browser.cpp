// host_browser.cpp — the program inside a browser page (Emscripten): sleeps
// and frames hand control back to the browser until its next frame, written
// files are kept in IndexedDB, pictures become downloads, display modes are
// the sizes that fit the page, and WebGL 2 is the only GL there is.
// The JavaScript halves live in host_browser.js (called from here) and
// host_page.js (the page's side: storage at start, keys, the end message).
#include <emscripten/emscripten.h>

#include <array>

#include "media/core.h"
#include "media/host.h"

// A file dropped on the page, written into the page's files by
// host_replays.js: kept with the window's other dropped files.
extern "C" EMSCRIPTEN_KEEPALIVE void host_drop_file(const char* path) {
  if (path && *path) g_media.input.dropped.emplace_back(path);
}

extern "C" {
void host_sleep(int ms, int newPicture);  // returns after the browser ran
void host_wait_frame(double periodMs, int newPicture);
void host_file_changed(const char* path);
void host_picture_saved(const char* path);
void host_page_size(int* w, int* h);
void host_ended();
}

void HostSleep(int ms, bool newPicture) { host_sleep(ms, newPicture ? 1 : 0); }

bool HostWaitForFrame(double periodMs, bool newPicture) {
  host_wait_frame(periodMs, newPicture ? 1 : 0);
  return true;
}

bool HostSleepShowsWindow() { return true; }

bool HostGlesOnly() { return true; }

void HostFileChanged(const std::string& path) { host_file_changed(path.c_str()); }

void HostPictureSaved(const std::string& path) { host_picture_saved(path.c_str()); }

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
