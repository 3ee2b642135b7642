// os.h — what the unit tests do each system's own way. The build compiles
// one file defining it: os_posix.cpp (Linux) or os_windows.cpp.
#pragma once

#include <string>

// Sets or clears a folder's immutable flag (no new files, even for root);
// false where it cannot be done, and the test that needs it skips.
bool SetImmutable(const std::string& folder, bool on);

// While on, no one (root neither) may open the file for writing, though it
// may be read: Linux's immutable flag; on Windows a handle held open that
// shares reading only, as another program holding the file would.
bool BarWriting(const std::string& file, bool on);

// Mode bits can take reading away (mode 000, 200): not on Windows, where
// they only set or clear the read-only flag.
bool ModesForbidReading();
inline constexpr const char* kNoUnreadableFiles =
    "a file cannot be made unreadable here (Windows has only a read-only flag)";
#define SKIP_UNLESS_MODES_FORBID_READING() \
  if (!ModesForbidReading()) GTEST_SKIP() << kNoUnreadableFiles

// A folder without write permission stops new files in it: false for root,
// who may write anywhere, and on Windows, where it only marks it read-only.
bool FolderModesBind();

// Names take a drive letter, a share (\\server\share) and '\' between
// folders, as well as '/' (Windows).
extern const bool kWindowsPaths;

// What the system says when a file is opened for writing where a folder is.
extern const char* const kFolderInTheWay;

// Sets or removes an environment variable of this process (for the C
// library and SDL).
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);

// The player's folder follows $XDG_DATA_HOME (Linux); on Windows SDL asks the
// shell for the roaming application data folder, which a test cannot move.
bool PlayerFolderMovable();
#define SKIP_UNLESS_PLAYER_FOLDER_MOVABLE() \
  if (!PlayerFolderMovable()) GTEST_SKIP() << "the player's folder cannot be moved for a test here (Windows' APPDATA)"

// Caps the size of any file this process writes (writes past it fail with
// "File too large"), or lifts the cap; false where there is no such cap.
bool CapFileSize(long bytes);
void UncapFileSize();

bool RunningAsRoot();  // false on Windows

// The superuser reads anything: while root, the process lends itself the
// rights of "nobody"; true when it did (false for anyone else, and where
// there is no such thing).
bool LendNobodysRights();
void TakeBackRootsRights();

// Runs this test program again with the arguments (gtest flags, nothing that
// needs quoting) and the same environment; waits for it and answers its exit
// status, -1 when it could not be started.
int RunThisProgram(const std::string& args);
