// Placeholders until the game is built; each goes as its real one lands.
#include "game/game.h"
int TitleImage;
int HeroImage, HeroVarnoImage, Hero2Image, HeroVarno2Image;
int BirdImage, BirdVarnoImage, Bird2Image, BirdVarno2Image;
int SceneryImage;
int GetsImage;
std::list<ken> BirdList;
std::list<ayer> HeroList;
std::list<kup> PickupList;
std::list<ore> PopupList;
void LoadGameImages() {}
void PlaySfx(int, double, double, double) {}
int PlayRound() { return 0; }
int SpawnScorePopup(int points, int, int, int, int, int) { return points; }
void UpdateScorePopups() {}
