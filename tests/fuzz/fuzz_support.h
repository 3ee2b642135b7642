// fuzz_support.h — what the file-reader fuzz targets share: a failed check
// that libFuzzer reports as a crash, and a scratch folder per run.
#pragma once

#include <unistd.h>

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
  std::string root = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/wenhod_fuzz_" +
                     kFuzzTarget + "_XXXXXX";
  Check(mkdtemp(root.data()) != nullptr, "mkdtemp");
  return root;
}
