// system.cpp — clock, date and time texts, memory statistics, process end.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "media/backend.h"

int32_t Millisecs() { return static_cast<int32_t>(Backend().Millisecs()); }

void Delay(int ms) { Backend().Delay(ms < 0 ? 0 : ms); }

bool WaitForFrame(double periodMs) { return Backend().WaitForFrame(periodMs); }

namespace {
std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return tm;
}
}  // namespace

// Built by hand rather than with strftime so the month is English in every
// locale; callers cut these texts apart by character position.
std::string CurrentDate() {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm = LocalNow();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d %s %04d", tm.tm_mday, kMonths[tm.tm_mon % 12], tm.tm_year + 1900);
  return buf;
}

std::string CurrentTime() {
  std::tm tm = LocalNow();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

// Under the address sanitizer malloc is its own, and mallinfo2 reads zeros.
#if defined(__SANITIZE_ADDRESS__)
#define WENHOD_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WENHOD_ASAN 1
#endif
#endif
#ifdef WENHOD_ASAN
extern "C" size_t __sanitizer_get_current_allocated_bytes();  // from the sanitizer runtime
#endif

// Emscripten's malloc answers the older mallinfo (int fields) only, and a
// page's memory never shrinks, so there is nothing to release there.
#ifdef __EMSCRIPTEN__
#define mallinfo2 mallinfo
#define malloc_trim(pad) 0
#endif

long MemoryInUse() {
#ifdef WENHOD_ASAN
  return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
  struct mallinfo2 mi = mallinfo2();
  return static_cast<long>(mi.uordblks + mi.hblkhd);
#endif
}

long ReleaseMemory() {
  size_t before = mallinfo2().arena;
  malloc_trim(0);
  size_t after = mallinfo2().arena;
  return before > after ? static_cast<long>(before - after) : 0;
}

void EndProcess(int status) {
  Backend().End(status);
  std::exit(status);  // a back end's End never comes back; this only satisfies the promise
}

void ReportError(const std::string& text) { std::fprintf(stderr, "wenhod: %s\n", text.c_str()); }
