// The framework on its own, linked without the game: with no game hooks
// registered, start-up still reaches the title screen, and Escape there
// closes the program through the closing sequence with its files written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "media/headless/headless.h"
#include "shell/shell.h"

namespace fs = std::filesystem;

TEST(FrameworkAlone, StartsToTheTitleAndClosesWithoutAGame) {
  const fs::path home = fs::current_path();
  // A folder of this run's own: other builds' tests may run at the same time.
  const fs::path root =
      fs::temp_directory_path() / ("wenhod-framework-alone-" + std::to_string(std::random_device{}()));
  fs::remove_all(root);
  fs::create_directories(root / "Files" / "239");
  ASSERT_TRUE(ChangeDir(root.string()));

  UseHeadlessBackend();
  HeadlessReset();
  HeadlessSetDrawCost(0.01);  // a modest machine: the engine test ends after a few steps
  StartUp();
  EXPECT_EQ(Game.LoadImages, nullptr);
  EXPECT_EQ(Game.PlayRound, nullptr);

  int titleFrames = 0;
  bool menuShown = false;
  HeadlessOnPresent([&] {
    for (const DrawRecord& r : HeadlessLastFrame())
      menuShown = menuShown || (r.kind == DrawRecord::TEXT && r.text == "Two Player");
    if (++titleFrames == 40) HeadlessKey(KEY_ESCAPE, true);  // on the title screen
  });
  EXPECT_THROW(TitleMenu(), HeadlessExit);
  HeadlessOnPresent(nullptr);
  HeadlessSetDrawCost(0);
  EXPECT_TRUE(menuShown);

  std::ifstream log(root / "Files" / "Debug.txt", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(log), {}};
  log.close();  // Windows removes no file still open
  EXPECT_NE(text.find("Test Complete\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 20), "Play again, soon!!\r\n");
  EXPECT_TRUE(fs::exists(root / "Files" / "Setup.ini"));
  ChangeDir(home.string());
  fs::remove_all(root);
}
