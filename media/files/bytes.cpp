// bytes.cpp — whole files of bytes: read with a size limit, written with the
// safe save, and the plain files of a folder.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "media/core.h"
#include "media/files/files.h"
#include "media/files/os.h"

bool ReadWholeFile(const std::string& path, std::string& bytes, size_t maxBytes) {
  bytes.clear();
  // Only a plain file: a pipe or a device could block or never end.
  std::error_code ec;
  if (OsFileKind(path) != 1) {
    g_media.files.error = std::filesystem::exists(path, ec) ? "not a plain file" : std::strerror(ENOENT);
    return false;
  }
  if (std::filesystem::file_size(path, ec) > maxBytes && !ec) {
    g_media.files.error = "too large";
    return false;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    g_media.files.error = std::strerror(errno);
    return false;
  }
  char chunk[16384];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, f);
    bytes.append(chunk, n);
    if (bytes.size() > maxBytes) {  // grew while we read it
      g_media.files.error = "too large";
      ok = false;
      break;
    }
    if (n < sizeof chunk) break;
  }
  if (ok && std::ferror(f)) {
    g_media.files.error = std::strerror(EIO);
    ok = false;
  }
  std::fclose(f);
  if (!ok) bytes.clear();
  return ok;
}

bool WriteWholeFileSafely(const std::string& path, const std::string& bytes) {
  std::FILE* f = BeginSafeSave(path);
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return EndSafeSave(f, path, written);
}

namespace {
int64_t Ms(std::filesystem::file_time_type t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}
}  // namespace

int64_t FileClockMs() { return Ms(std::filesystem::file_time_type::clock::now()); }

int64_t FileTimeMs(const std::string& path) {
  std::error_code ec;
  const auto t = std::filesystem::last_write_time(path, ec);
  return ec ? 0 : Ms(t);
}

std::vector<std::string> FilesInFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
