#include <gtest/gtest.h>

#include "game/game.h"
#include "media/random.h"
#include "scores/scores.h"
#include "shell/globals.h"
#include "tools/tools.h"

TEST(Globals, StartValues) {
  ResetGlobals();
  EXPECT_EQ(WindowTitle, "#239 : Wen Hod in a Varno Zavored");
  EXPECT_EQ(GameFolder(), "239/");
  EXPECT_EQ(SettingsSlide, -300);
  EXPECT_EQ(CreditsCount, 1);
}

// Every owner's state comes back from the one reset; the game's hooks stay.
TEST(Globals, OneResetCoversEveryOwner) {
  RegisterGameHooks();
  ScoreList.push_back(Scores{});
  PlayerName = "Wen";
  PinnedItem = 3;
  JoyCount = 2;
  JoySlot[1].enabled = 1;
  SettingsApplying = true;
  HeroList.push_back(ayer{});
  PlayerOne = &HeroList.front();
  Round.players = 2;
  TitleImage = 7;
  SfxCursor = 99;
  SeedRnd(77);
  SkipDrawing(true);
  ScoreAwaitingName = Scores{};
  ScoresOnDisk = {Scores{}};
  ScoresFileStamp = "1:2:3";
  ResetGlobals();
  EXPECT_TRUE(ScoreList.empty());
  EXPECT_EQ(PlayerName, "Player");
  EXPECT_EQ(PinnedItem, 0);
  EXPECT_EQ(JoyCount, 0);
  EXPECT_EQ(JoySlot[1].enabled, 0);
  EXPECT_FALSE(SettingsApplying);
  EXPECT_TRUE(HeroList.empty());
  EXPECT_EQ(PlayerOne, nullptr);
  EXPECT_EQ(Round.players, 1);
  EXPECT_EQ(TitleImage, 0);
  EXPECT_EQ(SfxCursor, 20);
  EXPECT_EQ(RndState(), 4660);
  EXPECT_FALSE(DrawingSkipped());
  EXPECT_FALSE(ScoreAwaitingName.has_value());
  EXPECT_TRUE(ScoresOnDisk.empty());
  EXPECT_EQ(ScoresFileStamp, "");  // a new run reads the score file afresh
  EXPECT_EQ(Game.PlayRound, &PlayRound);
  EXPECT_EQ(Game.ResetState, &ResetGameState);
}
