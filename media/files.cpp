// files.cpp — text streams and folder operations. Files hold one byte per
// character; lines end in CR LF when written and at LF or NUL when read.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "media/media.h"

struct TextFile {
  std::FILE* file = nullptr;
  bool writing = false;
  bool failed = false;  // a write went wrong
};

TextFile* ReadFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return nullptr;
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(f);
    return nullptr;
  }
  return new TextFile{f, false, false};
}

TextFile* WriteFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return nullptr;
  return new TextFile{f, true, false};
}

std::string ReadLine(TextFile* f) {
  std::string line;
  if (!f || f->writing) return line;
  for (;;) {
    int c = std::getc(f->file);
    if (c == EOF || c == '\n' || c == 0) break;
    if (c != '\r') line += static_cast<char>(c);
  }
  return line;
}

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
  if (std::fwrite(s.data(), 1, s.size(), f->file) != s.size() || std::fwrite("\r\n", 1, 2, f->file) != 2 ||
      std::fflush(f->file) != 0)
    f->failed = true;
}

bool CloseFile(TextFile* f) {
  if (!f) return false;
  bool ok = !f->failed;
  if (f->writing && (std::fflush(f->file) != 0 || std::ferror(f->file))) ok = false;
  if (std::fclose(f->file) != 0) ok = false;
  delete f;
  return ok;
}

int FileType(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return 0;
  if (S_ISDIR(st.st_mode)) return 2;
  return S_ISREG(st.st_mode) ? 1 : 0;
}

bool ChangeDir(const std::string& path) { return !path.empty() && chdir(path.c_str()) == 0; }

std::string CurrentDir() {
  std::string buf(4096, '\0');
  if (!getcwd(buf.data(), buf.size())) return {};
  buf.resize(buf.find('\0'));
  return buf;
}

// rename() replaces the target in one step, so a reader never sees half a file.
bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool DeleteFile(const std::string& path) { return FileType(path) == 1 && unlink(path.c_str()) == 0; }
