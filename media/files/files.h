// files.h — inside the media layer: what the shared file service (files.cpp)
// offers the layer's other writers besides media.h.
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
