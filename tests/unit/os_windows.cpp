// os_windows.cpp — the unit tests' system calls on Windows (see os.h).
#include <cstdlib>
#include <string>

#include "tests/unit/os.h"
// Last: its macros rename words other headers use.
#include <windows.h>

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

bool BarWriting(const std::string& file, bool on) {
  static HANDLE held = INVALID_HANDLE_VALUE;  // one file at a time
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  held = on ? CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)
            : INVALID_HANDLE_VALUE;
  return !on || held != INVALID_HANDLE_VALUE;
}

// No superuser reads past a file's permissions here: nothing to lend.
bool LendNobodysRights() { return false; }
void TakeBackRootsRights() {}

int RunThisProgram(const std::string& args) {
  char exe[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return -1;
  std::string line = "\"" + std::string(exe, n) + "\" " + args;
  STARTUPINFOA start = {};
  start.cb = sizeof start;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(exe, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
