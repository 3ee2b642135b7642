// windows.cpp — system.cpp's system calls on Windows (see
// os.h), and the memory statistics.
#include <malloc.h>

#include <cstdio>
#include <string>

#include "media/media.h"
#include "media/sdl/services.h"
#include "media/system/os.h"
// Last: its macros rename words our headers use (DrawState, DeleteFile, KEY_*).
#include <windows.h>

#include <psapi.h>  // after windows.h, which it needs

namespace {
// The last few errors reported, for the message box of a failed start.
constexpr size_t kKeptErrors = 8;
std::string g_reported[kKeptErrors];
size_t g_reportCount = 0;
}  // namespace

std::tm OsLocalTime(std::time_t moment) {
  std::tm tm{};
  localtime_s(&tm, &moment);
  return tm;
}

void ReportError(const std::string& text) {
  std::fprintf(stderr, "wenhod: %s\n", text.c_str());
  g_reported[g_reportCount++ % kKeptErrors] = text;
}

// A program started from Explorer has no standard error: what it would have
// said there goes into a message box, so a failed start is never silent.
void OsFailureNotice() {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err != nullptr && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN) return;
  std::string text = "The game could not go on.";
  const size_t first = g_reportCount > kKeptErrors ? g_reportCount - kKeptErrors : 0;
  for (size_t k = first; k < g_reportCount; ++k) text += "\n" + g_reported[k % kKeptErrors];
  SdlErrorBox("Wen Hod in a Varno Zavored", text);
}

namespace {
// The process's private bytes (its commit charge, PagefileUsage, which Wine
// fills too): one system call. Walking the C run-time heap (_heapwalk) would
// tell the heap's part alone, but costs a walk over every block, and the
// frame service asks every other frame.
long PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return static_cast<long>(counters.PagefileUsage);
}
}  // namespace

long MemoryInUse() { return PrivateBytes(); }

long ReleaseMemory() {
  const long before = PrivateBytes();
  _heapmin();
  const long after = PrivateBytes();
  return before > after ? before - after : 0;
}
