// system.cpp — the system/ room: clock, date and time texts, process end.
// Error reports, the memory statistics and what else differs between systems
// are in posix.cpp and windows.cpp (os.h), the only files here that see the
// system's headers. The room owns the errors reported this run.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "media/backend.h"
#include "media/system/os.h"

int32_t Millisecs() { return static_cast<int32_t>(Backend().Millisecs()); }

int32_t ClockSince(int32_t from, int32_t to) {
  return static_cast<int32_t>(static_cast<uint32_t>(to) - static_cast<uint32_t>(from));
}

void Delay(int ms) { Backend().Delay(ms < 0 ? 0 : ms); }

bool WaitForFrame(double periodMs) { return Backend().WaitForFrame(periodMs); }

namespace {
// Tests set the headless back end's calendar clock; dates are read before
// any back end is chosen too.
std::tm LocalNow() { return OsLocalTime(BackendInstalled(true) ? Backend().Now() : std::time(nullptr)); }
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

void EndProcess(int status) {
  if (status != 0) OsFailureNotice();
  Backend().End(status);
  std::exit(status);  // a back end's End never comes back; this only satisfies the promise
}
