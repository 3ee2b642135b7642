// os_windows.cpp — the unit tests' system calls on Windows (see os.h).
#include <cstdlib>

#include "tests/unit/os.h"

const bool kWindowsPaths = true;

const char* const kFolderInTheWay = "Permission denied";

bool RunningAsRoot() { return false; }

bool ModesForbidReading() { return false; }

bool FolderModesBind() { return false; }

// _putenv_s sets the process's environment too, where SDL reads it.
void SetEnv(const std::string& name, const std::string& value) { _putenv_s(name.c_str(), value.c_str()); }
void UnsetEnv(const std::string& name) { _putenv_s(name.c_str(), ""); }  // an empty value removes it

bool PlayerFolderMovable() { return false; }

bool CapFileSize(long /*bytes*/) { return false; }
void UncapFileSize() {}

// Windows has no such flag: a read-only attribute on a folder does not stop
// files being made in it.
bool SetImmutable(const std::string& /*folder*/, bool /*on*/) { return false; }

// No superuser reads past a file's permissions here: nothing to lend.
bool LendNobodysRights() { return false; }
void TakeBackRootsRights() {}
