// The two file roots (portable, installed, read-only tree, no tree) and the
// safe save: a replaced file is whole, a failed save leaves the old one and
// no temporary behind.
#include <cstdlib>

#include "tests/unit/support.h"

using namespace support;

namespace {

// A start folder holding a Files/ tree, the player's home in a folder of its
// own (XDG_DATA_HOME), the current folder and the roots put back afterwards.
class Roots : public ::testing::Test {
 protected:
  TempDir temp{"roots"};
  fs::path start = temp.path / "start", files = start / "Files", home = temp.path / "home";
  fs::path player = home / "wenhod-test";
  std::string before = CurrentDir();
  const char* oldHome = std::getenv("XDG_DATA_HOME");
  std::string savedHome = oldHome ? oldHome : "";

  void SetUp() override {
    fs::create_directories(files / "239");
    fs::create_directories(home);
    SetEnv("XDG_DATA_HOME", home.string());
    ASSERT_TRUE(ChangeDir(start.string()));
  }
  void TearDown() override {
    ChangeDir(before);
    if (oldHome) SetEnv("XDG_DATA_HOME", savedHome);
    else UnsetEnv("XDG_DATA_HOME");
    SetFileRoots("", "");
  }
  void Find(const std::string& installed = "") { FindFileRoots("Files", "wenhod-test", "239/", installed); }
  std::string Canon(const fs::path& p) { return fs::canonical(p).string(); }
};

TEST_F(Roots, PortableTreeInTheStartFolderIsBothRoots) {
  Find();
  EXPECT_EQ(DataRoot(), Canon(files));
  EXPECT_EQ(PlayerRoot(), Canon(files));
  EXPECT_EQ(PlayerPath("239/scores.dat"), (fs::path(Canon(files)) / "239/scores.dat").string());
  EXPECT_EQ(DataPath("/abs/name"), "/abs/name");
  EXPECT_EQ(CurrentDir(), Canon(start));
  EXPECT_FALSE(fs::exists(player));  // nothing made in the player's home

  // No tree here nor beside the executable: the start folder is both roots.
  fs::remove_all(files);
  Find();
  EXPECT_EQ(DataRoot(), Canon(start));
  EXPECT_EQ(PlayerRoot(), Canon(start));
}

TEST_F(Roots, AnInstalledBuildKeepsThePlayersFilesInTheirHome) {
  SKIP_UNLESS_PLAYER_FOLDER_MOVABLE();
  const fs::path data = temp.path / "usr-share";
  fs::create_directories(data / "239");
  Find(data.string());  // chosen over the Files/ in the start folder
  EXPECT_EQ(DataRoot(), data.string());
  EXPECT_EQ(PlayerRoot(), player.string() + "/");
  EXPECT_TRUE(fs::is_directory(player / "239"));  // made at the first start
  EXPECT_EQ(PlayerPath("239/scores.dat"), (player / "239/scores.dat").string());
  // A named data root that is not there: the portable tree as usual.
  Find((temp.path / "gone").string());
  EXPECT_EQ(DataRoot(), Canon(files));
}

TEST_F(Roots, ATreeThatCannotBeWrittenSendsThePlayersFilesHome) {
  SKIP_UNLESS_PLAYER_FOLDER_MOVABLE();
  if (RunningAsRoot()) {  // nobody must be able to reach the folders
    fs::permissions(temp.path, fs::perms::all);
    fs::permissions(home, fs::perms::all);
  }
  fs::permissions(files, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
  AsOrdinaryUser([this] { Find(); });
  fs::permissions(files, fs::perms::owner_all, fs::perm_options::add);
  EXPECT_EQ(DataRoot(), Canon(files));
  EXPECT_EQ(PlayerRoot(), player.string() + "/");
  EXPECT_TRUE(fs::is_directory(player / "239"));
}

// Lines written safely over `file`; answers what CloseFile said.
bool SaveLines(const std::string& file, int lines) {
  TextFile* f = WriteFileSafely(file);
  if (!f) return false;
  EXPECT_TRUE(fs::exists(file + ".tmp"));  // the bytes go beside it first
  for (int i = 0; i < lines; ++i) WriteLine(f, "line " + std::to_string(i));
  return CloseFile(f);
}

// Drive letters, shares and both separators on Windows; only '/' elsewhere,
// where "C:" and '\' are plain characters of a name.
TEST(PathRules, JoinKnowsTheSystemsAbsoluteNames) {
  struct Case {
    const char* folder;
    const char* name;
    const char* posix;
    const char* windows;
  };
  const Case cases[] = {
      {"a", "b", "a/b", "a\\b"},
      {"a/", "b", "a/b", "a/b"},
      {"", "b", "b", "b"},
      {"a", "", "a", "a"},
      {"x", "/usr/share/games", "/usr/share/games", "/usr/share/games"},
      {"C:\\Games", "Files", "C:\\Games/Files", "C:\\Games\\Files"},
      {"C:\\", "Setup.ini", "C:\\/Setup.ini", "C:\\Setup.ini"},
      {"x", "C:\\Games\\Files", "x/C:\\Games\\Files", "C:\\Games\\Files"},
      {"x", "d:/Games", "x/d:/Games", "d:/Games"},
      {"x", "\\\\server\\share\\Files", "x/\\\\server\\share\\Files", "\\\\server\\share\\Files"},
      {"\\\\server\\share", "Files", "\\\\server\\share/Files", "\\\\server\\share\\Files"},
      {"x", "\\Files", "x/\\Files", "\\Files"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(JoinPath(c.folder, c.name), kWindowsPaths ? c.windows : c.posix) << c.folder << " + " << c.name;

  // The roots take names by the same rule: the player's folder on a share.
  SetFileRoots("C:\\Program Files\\wenhod\\Files", "\\\\server\\share\\wenhod");
  EXPECT_EQ(DataPath("Common"),
            kWindowsPaths ? "C:\\Program Files\\wenhod\\Files\\Common" : "C:\\Program Files\\wenhod\\Files/Common");
  EXPECT_EQ(PlayerPath("C:\\Setup.ini"), kWindowsPaths ? "C:\\Setup.ini" : "\\\\server\\share\\wenhod/C:\\Setup.ini");
  SetFileRoots("", "");
}

TEST(SafeSave, ReplacesWholeOrLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  const std::string file = dir / "Setup.ini";
  EXPECT_TRUE(SaveLines(file, 1));  // nothing there before
  EXPECT_EQ(ReadBytes(file), "line 0\r\n");
  EXPECT_TRUE(SaveLines(file, 2));  // and over an existing file
  EXPECT_EQ(ReadBytes(file), "line 0\r\nline 1\r\n");
  EXPECT_FALSE(fs::exists(file + ".tmp"));

  // The disk fills up half way: the old file stays whole, the temporary goes
  // (where a process's file size can be capped: not on Windows).
  if (CapFileSize(100)) {
    const bool saved = SaveLines(file, 1000);
    UncapFileSize();
    EXPECT_FALSE(saved);
    EXPECT_EQ(FileError(), "File too large");
    EXPECT_EQ(ReadBytes(file), "line 0\r\nline 1\r\n");
    EXPECT_FALSE(fs::exists(file + ".tmp"));
  }

  // Its place cannot be taken (a folder is there): refused, nothing left over.
  const std::string folder = dir / "taken";
  fs::create_directories(fs::path(folder) / "inside");
  EXPECT_FALSE(SaveLines(folder, 3));
  EXPECT_TRUE(fs::is_directory(fs::path(folder) / "inside"));
  EXPECT_FALSE(fs::exists(folder + ".tmp"));

  // A picture is saved the same way, over an older one.
  Pixmap shot;
  shot.width = shot.height = 2;
  shot.pixels.assign(4, 0xff0000ffu);
  const std::string png = dir / "shot.png";
  WriteBytes(png, "old");
  EXPECT_EQ(SavePixmapPNG(shot, png, 9), 1);
  EXPECT_EQ(ReadBytes(png).substr(1, 3), "PNG");
  EXPECT_FALSE(fs::exists(png + ".tmp"));
}

}  // namespace
