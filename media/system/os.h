// os.h — inside the media layer: what system.cpp leaves to each
// system. The build compiles one file defining these: posix.cpp
// (Linux, the browser) or windows.cpp, which also define
// ReportError, MemoryInUse and ReleaseMemory (media.h).
//
//   OsLocalTime      the broken-down local time of a moment
//   OsFailureNotice  the program is ending on a failure: where nobody sees
//                    standard error, the errors reported say why another way
#pragma once

#include <ctime>

std::tm OsLocalTime(std::time_t moment);
void OsFailureNotice();
