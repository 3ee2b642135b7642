// files.h — the files/ room: the file service behind media.h's files.
// files.cpp holds text streams, folders and the safe save; bytes.cpp whole
// files of bytes; kept.cpp the kept files several copies share under a lock;
// roots.cpp where the data and the player's files are. The room owns the
// file roots and the last file error (core.h's files part). Only its
// per-system files, posix.cpp and windows.cpp (os.h), see the system's
// headers; the folders SDL knows come through sdl/services.h.
//
// This header: what the shared file service offers the layer's other
// writers besides media.h.
//
// The safe save: the bytes for `target` go to SafeSaveTemp(target) beside it;
// EndSafeSave puts that in the target's place (written through, folder
// synced) when `written` and every step succeed, else removes it and leaves
// the old file as it was. FileError says why it failed.
#pragma once

#include <cstdio>
#include <string>

std::string SafeSaveTemp(const std::string& target);  // target + ".tmp"
std::FILE* BeginSafeSave(const std::string& target);  // the temporary, "wb"; nullptr when it cannot be made
bool EndSafeSave(std::FILE* file, const std::string& target, bool written);  // closes file; true when in place
