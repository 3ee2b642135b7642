#include <gtest/gtest.h>
#include "shell/globals.h"

TEST(Globals, StartValues) {
  ResetGlobals();
  EXPECT_EQ(WindowTitle, "#239 : Wen Hod in a Varno Zavored");
  EXPECT_EQ(GameFolder(), "239/");
  EXPECT_EQ(SettingsSlide, -300);
  EXPECT_EQ(CreditsCount, 1);
}
