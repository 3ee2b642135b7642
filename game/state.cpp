// state.cpp — the one definition of the game's program-wide state, its reset,
// and the hooks through which the framework reaches the game.
#include "game/game.h"
#include "game/replay.h"
#include "shell/shell.h"

int TitleImage;
int HeroImage, HeroVarnoImage, Hero2Image, HeroVarno2Image;
int BirdImage, BirdVarnoImage, Bird2Image, BirdVarno2Image;
int SceneryImage;
int GetsImage;
std::list<ken> BirdList;
std::list<ayer> HeroList;
std::list<kup> PickupList;
std::list<ore> PopupList;
RoundState Round;
ayer* PlayerOne = nullptr;
ayer* PlayerTwo = nullptr;
int SfxCursor = 20;

void ResetGameState() {
  for (int* slot : {&TitleImage, &HeroImage, &HeroVarnoImage, &Hero2Image, &HeroVarno2Image, &BirdImage,
                    &BirdVarnoImage, &Bird2Image, &BirdVarno2Image, &SceneryImage, &GetsImage})
    *slot = 0;
  BirdList.clear();
  HeroList.clear();
  PickupList.clear();
  PopupList.clear();
  Round = RoundState{};
  PlayerOne = PlayerTwo = nullptr;
  SfxCursor = 20;
  ReplayState = REPLAY_OFF;
  RecordedReplay = Replay{};
  FastReplay = false;
}

void RegisterGameHooks() {
  Game.LoadImages = LoadGameImages;
  Game.PlayRound = PlayRound;
  Game.AgePopups = UpdateScorePopups;
  Game.TitlePicture = [] { return TitleImage; };
  Game.ResetState = ResetGameState;
  Game.WatchReplay = WatchReplayFile;
}
