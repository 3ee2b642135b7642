// files_os.h — inside the media layer: the few file operations each system
// does its own way. The build compiles one file defining them: files_posix.cpp
// (Linux, the browser) or files_windows.cpp, which also define JoinPath
// (media.h): what makes a name absolute and what joins it differ too.
//
//   OsFlushFile    written through to the disk, not just to the system's cache
//   OsReplaceFile  one file takes another's place in one step, the old one may exist
//   OsSyncFolder   a folder's entries (a rename in it) written through to the disk
//   OsMakeFolder   one folder level created; true when it is there afterwards
//   OsCanWrite     may new files be made in this folder?
//   OsLockFile     waits for the advisory lock on a lock file (made when missing)
//   OsFileStamp    a file's size and modification time, as text
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

bool OsFlushFile(std::FILE* file);                             // false: errno says why
bool OsReplaceFile(const std::string& from, const std::string& to);  // false: errno says why
void OsSyncFolder(const std::string& folder);                  // best effort: some file systems refuse
bool OsMakeFolder(const std::string& folder);
bool OsCanWrite(const std::string& folder);
// Held until OsUnlockFile, shared with every other process that locks the
// same file this way; -1 when it cannot be had (errno says why).
intptr_t OsLockFile(const std::string& lockFile);
void OsUnlockFile(intptr_t lock);
std::string OsFileStamp(const std::string& path);             // "" when there is no such file

// The safe save, on top of them, for the media layer's writers: the bytes for
// `target` go to SafeSaveTemp(target) beside it; EndSafeSave puts that in the
// target's place (written through, folder synced) when `written` and every
// step succeed, else removes it and leaves the old file as it was. FileError
// says why it failed.
std::string SafeSaveTemp(const std::string& target);  // target + ".tmp"
std::FILE* BeginSafeSave(const std::string& target);  // the temporary, "wb"; nullptr when it cannot be made
bool EndSafeSave(std::FILE* file, const std::string& target, bool written);  // closes file; true when in place
