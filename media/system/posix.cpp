// posix.cpp — system.cpp's system calls on Linux and in the browser
// (see os.h), and the C library's memory statistics.
#include <malloc.h>

#include <cstdio>

#include "media/media.h"
#include "media/system/os.h"

std::tm OsLocalTime(std::time_t moment) {
  std::tm tm{};
  localtime_r(&moment, &tm);
  return tm;
}

void ReportError(const std::string& text) { std::fprintf(stderr, "wenhod: %s\n", text.c_str()); }

// Standard error reaches whoever started us (a terminal, a log, a test).
void OsFailureNotice() {}

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
