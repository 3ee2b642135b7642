// files_kept.cpp — the files the player's choices and records are kept in,
// replaced whole: never written over when they could not be read, and a save
// that did not happen said once a run.
#include <string>

#include "media/media.h"

namespace {

void NotSaved(KeptFile& kept, const std::string& path, const std::string& why) {
  if (kept.notSavedTold) return;
  kept.notSavedTold = true;
  ReportError(JoinPath(CurrentDir(), path) + ": " + kept.what + " not saved: " + why);
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
