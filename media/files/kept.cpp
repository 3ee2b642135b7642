// kept.cpp — the files the player's choices and records are kept in,
// replaced whole: never written over when they could not be read, and a save
// that did not happen said once a run. Those several copies of the program
// share are read, merged and replaced by one copy at a time, under the
// system's file lock on the desktop and the browser's lock in a page.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "media/files/os.h"
#include "media/host/host.h"
#include "media/media.h"

struct SharedFileLock {
  std::string path;   // full name of the shared file
  intptr_t os = -1;   // the system's lock, or -1
  bool host = false;  // held by the host instead (a page)
};

namespace {

// The folder may change while a lock is held; the host is told full names.
std::string FullName(const std::string& path) { return JoinPath(CurrentDir(), path); }

void NotSaved(KeptFile& kept, const std::string& path, const std::string& why) {
  if (kept.notSavedTold) return;
  kept.notSavedTold = true;
  ReportError(FullName(path) + ": " + kept.what + " not saved: " + why);
}

}  // namespace

TextFile* ReadKeptFile(KeptFile& kept, const std::string& path) {
  TextFile* f = ReadFile(path);
  if (!f) kept.readError = FileError();
  return f;
}

void EndReadingKeptFile(KeptFile& kept, TextFile* f) {
  if (!CloseFile(f)) kept.readError = FileError();  // read only in part
}

TextFile* ReplaceKeptFile(KeptFile& kept, const std::string& path) {
  if (!kept.readError.empty()) {
    NotSaved(kept, path, "it could not be read (" + kept.readError + ")");
    return nullptr;
  }
  TextFile* f = FileReplaceable(path) ? WriteFileSafely(path) : nullptr;
  if (!f) NotSaved(kept, path, FileError());
  return f;
}

bool CloseKeptFile(KeptFile& kept, const std::string& path, TextFile* f) {
  if (CloseFile(f)) return true;
  NotSaved(kept, path, FileError());
  return false;
}

SharedFileLock* LockSharedFile(KeptFile& kept, const std::string& path) {
  auto* lock = new SharedFileLock{FullName(path)};
  lock->host = HostLockShared(lock->path);
  if (!lock->host) lock->os = OsLockFile(lock->path + ".lock");
  // Saving goes on, but the player is told it is not coordinated.
  if (!lock->host && lock->os == -1 && !kept.unlockedTold) {
    const std::string why = std::strerror(errno);
    kept.unlockedTold = true;
    ReportError(lock->path + ": " + kept.what + " saved without the lock on " + lock->path + ".lock (" + why +
                "): another copy of the game saving at the same moment may lose what it saves");
  }
  return lock;
}

void UnlockSharedFile(SharedFileLock* lock, bool changed) {
  if (!lock) return;
  if (lock->host) HostUnlockShared(lock->path, changed);
  OsUnlockFile(lock->os);
  delete lock;
}

std::string SharedFileStamp(const std::string& path) {
  const int told = HostSharedChanges(FullName(path));
  return told == 0 ? OsFileStamp(path) : OsFileStamp(path) + "+" + std::to_string(told);
}
