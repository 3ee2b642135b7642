// os_posix.cpp — the unit tests' system calls on Linux (see os.h).
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/os.h"

namespace {
bool SetImmutableFlag(const std::string& path, int openFlags, bool on) {
  const int fd = open(path.c_str(), openFlags);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  close(fd);
  return ok;
}
}  // namespace

bool SetImmutable(const std::string& folder, bool on) { return SetImmutableFlag(folder, O_RDONLY | O_DIRECTORY, on); }

bool BarWriting(const std::string& file, bool on) { return SetImmutableFlag(file, O_RDONLY, on); }

bool ModesForbidReading() { return true; }

const bool kWindowsPaths = false;

const char* const kFolderInTheWay = "Is a directory";

bool RunningAsRoot() { return geteuid() == 0; }

bool FolderModesBind() { return !RunningAsRoot(); }

void SetEnv(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }
void UnsetEnv(const std::string& name) { unsetenv(name.c_str()); }

bool PlayerFolderMovable() { return true; }

namespace {
rlimit g_fileSize{};
}  // namespace

// Past the cap the kernel sends SIGXFSZ; ignored, the write fails instead.
bool CapFileSize(long bytes) {
  if (getrlimit(RLIMIT_FSIZE, &g_fileSize) != 0) return false;
  const rlimit small{static_cast<rlim_t>(bytes), g_fileSize.rlim_max};
  signal(SIGXFSZ, SIG_IGN);
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  return true;
}

void UncapFileSize() {
  setrlimit(RLIMIT_FSIZE, &g_fileSize);
  signal(SIGXFSZ, SIG_DFL);
}

bool LendNobodysRights() {
  if (geteuid() != 0) return false;
  constexpr uid_t kNobody = 65534;
  EXPECT_EQ(seteuid(kNobody), 0);
  return true;
}

void TakeBackRootsRights() { EXPECT_EQ(seteuid(0), 0); }

int RunThisProgram(const std::string& args) {
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return -1;
  const int status = std::system(("'" + std::string(exe, static_cast<size_t>(n)) + "' " + args).c_str());
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
