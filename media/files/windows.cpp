// windows.cpp — the system's own file operations on Windows (see
// os.h). Names are UTF-8: the manifest makes it the program's code page.
#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "media/files/os.h"
#include "media/media.h"
// Last: its macros rename words our headers use (DrawState, DeleteFile, KEY_*).
#include <windows.h>

namespace {

// errno for the system's reason, so FileError reads as on other systems.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    default: return EIO;
  }
}

bool Failed() {
  errno = ErrnoOf(GetLastError());
  return false;
}

}  // namespace

bool OsSeparator(char c) { return c == '/' || c == '\\'; }
const char kOsSeparator = '\\';

// Absolute here: "C:..." (a drive), "\\server\share..." and "\..." (the
// current drive's root).
bool OsAbsolutePath(const std::string& name) {
  return !name.empty() && (OsSeparator(name[0]) || (name.size() >= 2 && name[1] == ':'));
}

// _stat64 finds no folder named with a separator at its end ("239/"); a
// drive's root keeps its own ("C:\\").
namespace {
int Stat(const std::string& path, struct _stat64& st) {
  std::string name = path;
  while (name.size() > 1 && OsSeparator(name.back()) && name[name.size() - 2] != ':') name.pop_back();
  return _stat64(name.c_str(), &st);
}
}  // namespace

int OsFileKind(const std::string& path) {
  struct _stat64 st;
  if (path.empty() || Stat(path, st) != 0) return 0;
  if ((st.st_mode & _S_IFDIR) != 0) return 2;
  return (st.st_mode & _S_IFREG) != 0 ? 1 : 0;
}

bool OsOpenedFile(std::FILE* file) {
  struct _stat64 st;
  if (_fstat64(_fileno(file), &st) != 0) return false;
  if ((st.st_mode & _S_IFDIR) == 0) return true;
  errno = EISDIR;
  return false;
}

bool OsCanRead(const std::string& path) { return _access(path.c_str(), 4) == 0; }

// The read-only flag is the one write permission a file has here.
bool OsWritableFile(const std::string& path) {
  struct _stat64 st;
  if (Stat(path, st) != 0) return false;
  if ((st.st_mode & _S_IWRITE) != 0) return true;
  errno = EACCES;
  return false;
}

bool OsDeleteFile(const std::string& path) { return _unlink(path.c_str()) == 0; }

bool OsChangeDir(const std::string& path) { return _chdir(path.c_str()) == 0; }

std::string OsCurrentDir() {
  std::string buf(4096, '\0');
  if (!_getcwd(buf.data(), static_cast<int>(buf.size()))) return {};
  buf.resize(buf.find('\0'));
  return buf;
}

bool OsFlushFile(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return (handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle)) || Failed();
}

// rename() here refuses a target that exists; MoveFileEx replaces it in one
// step, and with write-through the move is on the disk when it returns.
bool OsReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) || Failed();
}

// A folder cannot be opened to sync it here; the write-through move above
// is what makes the new entry last.
void OsSyncFolder(const std::string& /*folder*/) {}

bool OsMakeFolder(const std::string& folder) {
  struct _stat64 st;
  return _mkdir(folder.c_str()) == 0 || (errno == EEXIST && Stat(folder, st) == 0 && (st.st_mode & _S_IFDIR) != 0);
}

// A folder's read-only flag does not stop new files here: the one sure answer
// is a file made and gone again.
bool OsCanWrite(const std::string& folder) {
  const std::string probe = JoinPath(folder.empty() ? "." : folder, ".wenhod-write-probe");
  const HANDLE handle = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  CloseHandle(handle);
  return true;
}

// LockFileEx on one byte of the lock file: every copy of the program asks for
// the same byte, and waits until the one holding it closes its handle. A lock
// file that cannot be written (read-only, or in a folder that cannot be)
// still locks when opened for reading alone, as on Linux.
intptr_t OsLockFile(const std::string& lockFile) {
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const char* name = lockFile.c_str();
  HANDLE handle =
      CreateFileA(name, GENERIC_READ | GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    handle = CreateFileA(name, GENERIC_READ, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    Failed();
    return -1;
  }
  OVERLAPPED at = {};
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
    Failed();
    const int error = errno;
    CloseHandle(handle);
    errno = error;
    return -1;
  }
  return reinterpret_cast<intptr_t>(handle);
}

void OsUnlockFile(intptr_t lock) {
  if (lock == -1) return;
  const auto handle = reinterpret_cast<HANDLE>(lock);
  OVERLAPPED at = {};
  UnlockFileEx(handle, 0, 1, 0, &at);
  CloseHandle(handle);
}

// The last write time counts in tenths of microseconds; a file moved into
// place keeps the creation time of the new file, so that is taken too.
std::string OsFileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
  auto number = [](DWORD high, DWORD low) { return std::to_string((static_cast<uint64_t>(high) << 32) | low); };
  return number(data.nFileSizeHigh, data.nFileSizeLow) + ":" +
         number(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime) + ":" +
         number(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime);
}
