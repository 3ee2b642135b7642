// files_posix.cpp — the system's own file operations on Linux and in the
// browser (see files_os.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "media/files_os.h"
#include "media/media.h"

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || (!name.empty() && name[0] == '/')) return name;
  if (name.empty()) return folder;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
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
