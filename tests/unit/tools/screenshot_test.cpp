// F11 screenshots through the frame service: the file, its name and size, the
// log, the notice frame, the message, and what happens when saving fails.
#include <regex>

#include "tests/unit/support.h"

using namespace support;

namespace {

// Width and height from a PNG's header; 0 0 when it is not a PNG.
std::pair<int, int> PngSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char h[24] = {};
  in.read(reinterpret_cast<char*>(h), 24);
  if (!in || h[1] != 'P' || h[2] != 'N' || h[3] != 'G' || std::string(reinterpret_cast<char*>(h + 12), 4) != "IHDR")
    return {0, 0};
  auto be = [&](int at) { return (h[at] << 24) | (h[at + 1] << 16) | (h[at + 2] << 8) | h[at + 3]; };
  return {be(16), be(20)};
}

std::vector<fs::path> Pngs(const fs::path& dir) {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".png") out.push_back(e.path());
  return out;
}

// Keeps a folder's immutable flag for the test's length: even root cannot add
// files to it then.
struct Immutable {
  std::string dir;
  bool set = false;
  explicit Immutable(const fs::path& d) : dir(d.string()) { set = SetImmutable(dir, true); }
  ~Immutable() {
    if (set) SetImmutable(dir, false);
  }
};

bool CanCreateIn(const fs::path& dir) {
  const fs::path probe = dir / "probe.tmp";
  bool ok = static_cast<bool>(std::ofstream(probe));
  std::error_code ec;
  fs::remove(probe, ec);
  return ok;
}

class Screenshot : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    OpenTestDisplay(800, 600);
    OpenLog();
  }
  // One frame of any screen with F11 pressed; answers the notice frame's draws.
  std::vector<DrawRecord> ShotFrame() {
    std::vector<DrawRecord> notice;
    HeadlessOnPresent([&] {
      if (notice.empty()) notice = HeadlessLastFrame();
    });
    TapKey(KEY_F11);
    FinishFrame(0);
    HeadlessOnPresent(nullptr);
    return notice;
  }
  static std::vector<std::string> Lines(const std::vector<std::string>& log, const std::string& start) {
    std::vector<std::string> out;
    for (const std::string& l : log)
      if (l.rfind(start, 0) == 0) out.push_back(l);
    return out;
  }
};

TEST(ScreenshotName, DropsUnsafeCharactersButKeepsTheExtension) {
  EXPECT_EQ(CleanFileName("It's a #1, `big`. \\/:|*?\"x (ok_2)"), "Its a 1 big x (ok_2)");
  const std::string name = ScreenshotName();
  // Colons of the time vanish; the date keeps its spaces; ".png" keeps its dot.
  EXPECT_TRUE(std::regex_match(
      name, std::regex(R"(Wen Hod in a Varno Zavored \(Screenshot_\d\d [A-Z][a-z]{2} \d{4}_\d{6}\)\.png)")))
      << name;
}

TEST_F(Screenshot, F11SavesTheDisplaySizedPictureBesideTheGameFolder) {
  const std::string before = ScreenshotName();
  DrawRect(0, 0, 100, 100);  // the screen's own frame, drawn before FinishFrame
  const std::vector<DrawRecord> notice = ShotFrame();
  const std::string after = ScreenshotName();

  // Saved in Files/, at the display's pixel size, back in the game folder.
  const std::vector<fs::path> pngs = Pngs(files);
  ASSERT_EQ(pngs.size(), 1u);
  const std::string name = pngs[0].filename().string();
  EXPECT_TRUE(name == before || name == after) << name;
  EXPECT_EQ(PngSize(pngs[0]), std::make_pair(800, 600));
  EXPECT_TRUE(Pngs(game).empty());
  EXPECT_TRUE(fs::equivalent(fs::current_path(), game));

  // The notice is shown over the grabbed frame, in its own present.
  ASSERT_FALSE(notice.empty());
  EXPECT_EQ(notice[0].kind, DrawRecord::RECT) << "the screen's frame was cleared";
  const DrawRecord* saving = FindText(notice, "Saving Screenshot");
  const DrawRecord* wait = FindText(notice, "Sometimes, this takes a while!");
  ASSERT_TRUE(saving && wait);
  EXPECT_EQ(saving->y, 480 - 30 - TextHeight("Saving Screenshot") / 2);
  EXPECT_EQ(wait->x, 640 - TextWidth("Sometimes, this takes a while!") / 2);
  EXPECT_EQ(HeadlessPresentCount(), 2);

  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages.front().txt, "Saved Screenshot");
  EXPECT_EQ(Messages.front().c, 1);

  const std::vector<std::string> log = CloseLog();
  EXPECT_TRUE(InOrder(
      log, {"", "\tScreenshot", "\tGrabbing Screenshot", "\tSaving Screenshot : " + name, "\tSaved Screenshot 1", ""}));
}

TEST_F(Screenshot, ASecondShotInTheSameSecondKeepsTheFirst) {
  // Retried in the rare case the clock's second turns over in between.
  for (int attempt = 0; attempt < 3; ++attempt) {
    for (const fs::path& p : Pngs(files)) fs::remove(p);
    const std::string name = ScreenshotName();
    { std::ofstream(files / name) << "first"; }
    ShotFrame();
    ShotFrame();
    if (ScreenshotName() != name) continue;
    EXPECT_EQ(fs::file_size(files / name), 5u) << "first shot overwritten";
    const std::string stem = name.substr(0, name.size() - 5);
    EXPECT_EQ(PngSize(files / (stem + "_2).png")), std::make_pair(800, 600));
    EXPECT_EQ(PngSize(files / (stem + "_3).png")), std::make_pair(800, 600));
    EXPECT_EQ(Pngs(files).size(), 3u);
    return;
  }
  FAIL() << "the clock never stayed within one second";
}

TEST_F(Screenshot, HoldingF11TakesOneShot) {
  HeadlessKey(KEY_F11, true);
  for (int i = 0; i < 30; ++i) FinishFrame(0);
  HeadlessKey(KEY_F11, false);
  EXPECT_EQ(Pngs(files).size(), 1u);
  EXPECT_EQ(Messages.size(), 1u);
}

TEST_F(Screenshot, AFailedSaveIsReportedAsSuch) {
  // No picture to grab: nothing written, and the player is not told otherwise.
  ScreenWidth = 0;
  ShotFrame();
  ScreenWidth = 800;
  EXPECT_TRUE(Pngs(files).empty());
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages.back().txt, "Screenshot Not Saved");
  EXPECT_TRUE(fs::equivalent(fs::current_path(), game));

  // A folder that refuses new files.
  fs::permissions(files, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  std::unique_ptr<Immutable> lock;
  if (CanCreateIn(files)) lock = std::make_unique<Immutable>(files);  // root ignores the mode bits
  if (CanCreateIn(files)) GTEST_SKIP() << "cannot make a folder unwritable here";
  ShotFrame();
  lock.reset();
  EXPECT_TRUE(Pngs(files).empty());
  ASSERT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Messages.back().txt, "Screenshot Not Saved");
  EXPECT_TRUE(fs::equivalent(fs::current_path(), game));

  const std::vector<std::string> log = CloseLog();
  EXPECT_EQ(Lines(log, "\tSaved Screenshot "),
            (std::vector<std::string>{"\tSaved Screenshot 0", "\tSaved Screenshot 0"}));
}

}  // namespace
