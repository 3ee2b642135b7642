// fuzz_support.h — what the file-reader fuzz targets share: a failed check
// that libFuzzer reports as a crash, a scratch folder per run, and the input
// as a file the readers open by name.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// The target's name, for the messages of Check.
extern const char* const kFuzzTarget;

inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s fuzz: %s\n", kFuzzTarget, what);
    std::abort();
  }
}

// A fresh folder for one run; the caller removes it (libFuzzer may end the
// process without running exit handlers). Memory-backed when there is one:
// replacing a file on disk costs milliseconds.
inline std::string ScratchFolder() {
  std::string root =
      std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/wenhod_fuzz_" + kFuzzTarget + "_XXXXXX";
  Check(mkdtemp(root.data()) != nullptr, "mkdtemp");
  return root;
}

// The input as a file by name, as the game reads its files: a memory file
// named through /proc, rewritten for each run, with nothing to remove after.
inline const std::string& InputFile(const uint8_t* data, size_t size) {
  static const int fd = memfd_create(kFuzzTarget, 0);
  static const std::string name = "/proc/self/fd/" + std::to_string(fd);
  Check(fd >= 0 && ftruncate(fd, 0) == 0, "make the input file");
  Check(size == 0 || pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "write the input file");
  return name;
}
