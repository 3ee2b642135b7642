// os.h — inside the media layer: the file operations each system does
// its own way, and its path rules. The build compiles one file defining them:
// posix.cpp (Linux, the browser) or windows.cpp. Everything the
// shared files.cpp asks of the system goes through here.
//
//   OsSeparator      does this character part folders from names? ('/'; on Windows '\\' too)
//   kOsSeparator     the one a join puts in
//   OsAbsolutePath   does the name stand on its own, whatever the current folder?
//   OsFileKind       0 nothing (or cannot be looked at), 1 file, 2 folder
//   OsOpenedFile     is an open stream a plain file (not a folder)?
//   OsCanRead        may this file be opened for reading?
//   OsWritableFile   does this file's permission allow writing it?
//   OsDeleteFile     a file removed
//   OsChangeDir      the current folder changed
//   OsCurrentDir     the current folder, absolute; "" when it cannot be had
//   OsFlushFile      written through to the disk, not just to the system's cache
//   OsReplaceFile    one file takes another's place in one step, the old one may exist
//   OsSyncFolder     a folder's entries (a rename in it) written through to the disk
//   OsMakeFolder     one folder level created; true when it is there afterwards
//   OsCanWrite       may new files be made in this folder?
//   OsLockFile       waits for the advisory lock on a lock file (made when missing)
//   OsFileStamp      a file's size, time and identity, as text
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

bool OsSeparator(char c);
extern const char kOsSeparator;
bool OsAbsolutePath(const std::string& name);

int OsFileKind(const std::string& path);
bool OsOpenedFile(std::FILE* file);            // false: errno says why (EISDIR for a folder)
bool OsCanRead(const std::string& path);       // false: errno says why
bool OsWritableFile(const std::string& path);  // false: errno says why (ENOENT: there is none)
bool OsDeleteFile(const std::string& path);
bool OsChangeDir(const std::string& path);
std::string OsCurrentDir();
bool OsFlushFile(std::FILE* file);                                   // false: errno says why
bool OsReplaceFile(const std::string& from, const std::string& to);  // false: errno says why
void OsSyncFolder(const std::string& folder);                        // best effort: some file systems refuse
bool OsMakeFolder(const std::string& folder);
bool OsCanWrite(const std::string& folder);
// Held until OsUnlockFile, shared with every other process that locks the
// same file this way; -1 when it cannot be had (errno says why).
intptr_t OsLockFile(const std::string& lockFile);
void OsUnlockFile(intptr_t lock);
std::string OsFileStamp(const std::string& path);  // "" when there is no such file
