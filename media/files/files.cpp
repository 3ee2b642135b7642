// files.cpp — text streams and folder operations. Files hold one byte per
// character; lines end in CR LF when written and at LF or NUL when read.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "media/core.h"
#include "media/files/files.h"
#include "media/files/os.h"
#include "media/host/host.h"

struct TextFile {
  std::FILE* file = nullptr;
  std::string path;
  bool writing = false;
  bool failed = false;     // a read or write went wrong
  std::string target;      // a safe save: the file the temporary `path` replaces at the close
  bool lineEnded = false;  // the line last read ended at LF or NUL, not at the end of the file
};

namespace {

// Keeps the system's reason for the failure just seen; answers false.
bool Failed(int error = errno) {
  g_media.files.error = std::strerror(error);
  return false;
}

}  // namespace

std::string FileError() { return g_media.files.error; }

TextFile* ReadFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    Failed();
    return nullptr;
  }
  if (!OsOpenedFile(f)) {
    Failed();
    std::fclose(f);
    return nullptr;
  }
  return new TextFile{f, {}, false, false, {}};
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || OsAbsolutePath(name)) return name;
  if (name.empty()) return folder;
  return OsSeparator(folder.back()) ? folder + name : folder + kOsSeparator + name;
}

namespace {

// The folder may change before the file is closed; the host is told its full name.
std::string FullPath(const std::string& path) { return path.empty() ? path : JoinPath(CurrentDir(), path); }

// The folder a path names its file in, with its last separator; "." for none.
std::string FolderOf(const std::string& path) {
  for (size_t k = path.size(); k > 0; --k)
    if (OsSeparator(path[k - 1])) return path.substr(0, k);
  return ".";
}

}  // namespace

TextFile* WriteFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    Failed();
    return nullptr;
  }
  auto* file = new TextFile{f, FullPath(path), true, false, {}};
  // Known to the host from the start: a page then keeps a file still being
  // written (the log) with every later save, not only once it is closed.
  HostFileChanged(file->path);
  return file;
}

std::string SafeSaveTemp(const std::string& target) { return target + ".tmp"; }

std::FILE* BeginSafeSave(const std::string& target) {
  std::FILE* f = std::fopen(SafeSaveTemp(target).c_str(), "wb");
  if (!f) Failed();
  return f;
}

// The temporary is on the disk before it takes the old file's place, and the
// rename is on the disk before we say saved: a power cut at any moment leaves
// the old file or the new one, never an empty one.
bool EndSafeSave(std::FILE* f, const std::string& target, bool written) {
  const std::string temp = SafeSaveTemp(target);
  bool ok = written;
  if (ok && std::ferror(f)) ok = Failed(EIO);
  if (ok && !OsFlushFile(f)) ok = Failed();
  if (std::fclose(f) != 0 && ok) ok = Failed();
  if (ok && !OsReplaceFile(temp, target)) ok = Failed();
  if (ok) {
    OsSyncFolder(FolderOf(target));
  } else {
    std::remove(temp.c_str());
  }
  HostFileChanged(FullPath(temp));
  HostFileChanged(FullPath(target));
  return ok;
}

TextFile* WriteFileSafely(const std::string& path) {
  std::FILE* f = BeginSafeSave(path);
  return f ? new TextFile{f, FullPath(SafeSaveTemp(path)), true, false, path} : nullptr;
}

std::string ReadLine(TextFile* f) {
  std::string line;
  if (!f || f->writing) return line;
  for (;;) {
    int c = std::getc(f->file);
    f->lineEnded = c != EOF;
    if (c == EOF || c == '\n' || c == 0) break;
    if (c != '\r') line += static_cast<char>(c);
  }
  // A read error looks like the end of the file; CloseFile tells them apart.
  if (std::ferror(f->file) && !f->failed) f->failed = !Failed();
  return line;
}

bool LineEnded(TextFile* f) { return f && f->lineEnded; }

bool Eof(TextFile* f) {
  if (!f || f->writing) return true;
  int c = std::getc(f->file);
  if (c == EOF) return true;
  std::ungetc(c, f->file);
  return false;
}

void WriteLine(TextFile* f, const std::string& s) {
  if (!f || !f->writing) return;
  // Flushed line by line: the log must survive a crash, and tests read it while the game runs.
  if ((std::fwrite(s.data(), 1, s.size(), f->file) != s.size() || std::fwrite("\r\n", 1, 2, f->file) != 2 ||
       std::fflush(f->file) != 0) &&
      !f->failed)
    f->failed = !Failed();
}

bool CloseFile(TextFile* f) {
  if (!f) return false;
  if (!f->target.empty()) {
    const bool saved = EndSafeSave(f->file, f->target, !f->failed);
    delete f;
    return saved;
  }
  bool ok = !f->failed;
  if (ok && ((f->writing && std::fflush(f->file) != 0) || std::ferror(f->file))) ok = Failed();
  if (std::fclose(f->file) != 0 && ok) ok = Failed();
  if (f->writing) HostFileChanged(f->path);
  delete f;
  return ok;
}

int FileType(const std::string& path) { return OsFileKind(path); }

bool FileReplaceable(const std::string& path) { return OsWritableFile(path) || errno == ENOENT || Failed(); }

bool ChangeDir(const std::string& path) { return !path.empty() && OsChangeDir(path); }

std::string CurrentDir() { return OsCurrentDir(); }

bool RenameFile(const std::string& from, const std::string& to) {
  if (!OsReplaceFile(from, to)) return Failed();
  HostFileChanged(from);
  HostFileChanged(to);
  return true;
}

bool DeleteFile(const std::string& path) {
  if (FileType(path) != 1 || !OsDeleteFile(path)) return false;
  HostFileChanged(path);
  return true;
}

void ReportUnusable(const std::string& file, const char* kind) {
  if (FileType(file) == 0) return;
  if (!OsCanRead(file)) ReportError(file + ": " + std::strerror(errno));
  else ReportError(file + ": not " + kind + " that can be used");
}
