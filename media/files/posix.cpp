// posix.cpp — the system's own file operations on Linux and in the
// browser (see os.h).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "media/files/os.h"

bool OsSeparator(char c) { return c == '/'; }
const char kOsSeparator = '/';
bool OsAbsolutePath(const std::string& name) { return !name.empty() && name[0] == '/'; }

int OsFileKind(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return 0;
  if (S_ISDIR(st.st_mode)) return 2;
  return S_ISREG(st.st_mode) ? 1 : 0;
}

bool OsOpenedFile(std::FILE* file) {
  struct stat st;
  if (fstat(fileno(file), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return true;
  errno = EISDIR;
  return false;
}

bool OsCanRead(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

// Permissions that allow no writing at all pin a file read-only for everyone,
// the superuser too, though access() would let it write.
bool OsWritableFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0) return access(path.c_str(), W_OK) == 0;
  errno = EACCES;
  return false;
}

bool OsDeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool OsChangeDir(const std::string& path) { return chdir(path.c_str()) == 0; }

std::string OsCurrentDir() {
  std::string buf(4096, '\0');
  if (!getcwd(buf.data(), buf.size())) return {};
  buf.resize(buf.find('\0'));
  return buf;
}

bool OsFlushFile(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

// rename() replaces the target in one step, so a reader never sees half a file.
bool OsReplaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void OsSyncFolder(const std::string& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool OsMakeFolder(const std::string& folder) {
  struct stat st;
  return mkdir(folder.c_str(), 0755) == 0 || (errno == EEXIST && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

// Asked as the user the program runs as (its effective ids), not the one who
// started it, when they differ; the plain call elsewhere (the browser's file
// system takes no flags).
bool OsCanWrite(const std::string& folder) {
  const int mode = W_OK | X_OK;
  if (geteuid() == getuid()) return access(folder.c_str(), mode) == 0;
  return faccessat(AT_FDCWD, folder.c_str(), mode, AT_EACCESS) == 0;
}

// flock() locks the open file, not the process: two copies of the program,
// and two saves in one, wait for each other. A folder that cannot be written
// still lets an existing lock file be opened for reading, which is enough.
intptr_t OsLockFile(const std::string& lockFile) {
  int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) fd = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  int locked;
  do {
    locked = flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

void OsUnlockFile(intptr_t lock) {
  if (lock >= 0) close(static_cast<int>(lock));  // closing lets the lock go
}

// A replaced file is a new file: its inode tells it apart even when its size
// and time (in whole seconds on some file systems) are the same.
std::string OsFileStamp(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return {};
  return std::to_string(st.st_ino) + ":" + std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
         std::to_string(st.st_mtim.tv_nsec);
}
