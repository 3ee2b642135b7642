// game.h — the game: its records and assets, the round, heroes, birds,
// pickups, combos and the head-up display.
#pragma once

#include <list>

#include "shell/shell.h"  // PAUSE_QUIT

// Hero.
struct ayer {
  double x = 0;          // centre line
  double y = 0;          // ground line (H - 126)
  double xs = 0;         // horizontal speed, negative leftward
  double jump = 0;       // arc angle in degrees, 0 on the ground
  int stp = 0;           // walk-cycle step 0..15
  int anim = 0;          // reserved
  int jumphigh = 0;      // height of the current arc
  int jumpability = 0;   // height of a fresh arc
  double jumpspeed = 0;  // degrees per frame
  int d = 0;             // facing: 1 right, -1 left
  int MaxSpeed = 0;      // limit of |xs|
  int Score = 0;         // points this round
  int Best[50] = {};     // 1 last combo, 2 best combo
  int AllowFall = 0;     // reserved
  int combo = 0;         // current combo
  int Jumps = 0;         // jumps left
  int Time = 0;          // reserved
  int ComboLock = 0;     // frames of combo lock left
  int Floaty = 0;        // frames of slow jumps left
};

// Bird.
struct ken {
  int x = 0;     // left edge of the picture
  int y = 0;     // downward offset 0..4
  int g = 0;     // walking speed limit
  int d = 0;     // 0 right, 1 left
  int mash = 0;  // frames left squashed
  int anim = 0;  // walk-cycle counter 0..23
};

// Pickup.
struct kup {
  int notyet = 0;    // frames before it can be caught
  int n = 0;         // kind 0..5, also the frame drawn
  double x = 0;      // horizontal centre
  double d = 0;      // horizontal speed
  double ang = 0;    // flight angle 0..180
  double rot = 0;    // drawing rotation
  double rotgo = 0;  // rotation per frame
  int t = 0;         // frames of life left
};

// Score popup.
struct ore {
  int n = 0;                // points shown
  double x = 0, y = 0;      // centre of the text
  int t = 0;                // frames of life left
  int r = 0, g = 0, b = 0;  // colour
};

// Frames of the game's sheets.
enum SceneryFrame {  // "scenery.png"
  SCENERY_CACTUS = 0,
  SCENERY_ROCK = 1,
  SCENERY_BLOCK = 2,
  SCENERY_SIGNPOST = 3,
  SCENERY_SAND = 4,  // 4..7 ground tiles, joining in that order
  SCENERY_TREE = 8,
  SCENERY_FLOWERS = 9,
  SCENERY_CRYSTAL = 10,
  SCENERY_BANNER = 11,
  SCENERY_GRASS = 12,  // 12..15
};
enum PickupKind {  // kup.n, also its frame of "gets.png"
  PICKUP_COIN = 0,
  PICKUP_FEATHER = 1,
  PICKUP_JUMPS = 2,
  PICKUP_LOCK = 3,
  PICKUP_STAR = 4,
  PICKUP_FLOATY = 5,
};
enum SoundEffect {  // Sounds slot k, effect file k
  SFX_PICKUP = 1,   // a pickup other than a coin caught
  SFX_COSTUME = 2,  // the heroes change into costume
  SFX_BLOCK = 3,    // a block bumped
  SFX_JUMP = 4,
  SFX_BOUNCE = 5,  // 5..9, one at random per bounce
  SFX_COIN = 10,
  SFX_AMBIENT = 11,  // 11..15, at random in the background
};
constexpr int GETS_JUMP_TWO = 14, GETS_JUMP_ONE = 15;  // "gets.png": the players' jump icons
constexpr int GETS_CATCH_SHAPE = 1;  // "gets.png": the shape that catches every pickup, whatever its kind
constexpr int HERO_AIRBORNE = 8;     // hero sheets: the frame in the air (0..7 walk, twice over)
constexpr int BIRD_SQUASH = 12;      // bird sheets: 12..15 squashed (0..11 walk)

// How a round stands: still running, over (no pickups nor jumps left), or quit from the pause menu.
enum RoundEnd { ROUND_RUNNING = 0, ROUND_OVER = 1, ROUND_QUIT = PAUSE_QUIT };  // quit: the pause menu's answer

// One difficulty's round: birds (one more in widescreen), heroes, jumps each.
struct DifficultyRow {
  int birds, heroes, jumps;
};

// State of the round in play, shared by its passes.
struct RoundState {
  int players = 1;                     // heroes in the round
  int walker = -240;                   // where the opening walk places the heroes
  int opening = 15;                    // costume change counter, 15 up to 90
  double fade = 0;                     // plain world 0 .. costume world 1
  bool zavored = false;                // costume pictures this frame
  int r1 = 0, r2 = 0, r3 = 0, r4 = 0;  // prop positions
  int bump[4] = {};                    // block raise in pixels
  int rest[4] = {};                    // frames before a block can be bumped again
  int arcLimit = 468;                  // highest arc a bounce gives
  int jumpsTotal = 0;                  // gathered by the hero pass each frame
  int pickupsAlive = 0;                // counted by the pickup pass each frame
  int endState = ROUND_RUNNING;        // a RoundEnd
};

//------------------------------------------------------------------------------
// The game's program-wide state, defined in game/state.cpp. ResetGlobals()
// (shell/globals.h) starts it over through the hook RegisterGameHooks sets.
//------------------------------------------------------------------------------
extern int TitleImage;                    // "inavarnocostume.png", the title screen's picture
extern int HeroImage, HeroVarnoImage;     // hero facing right, plain / costume, 16 cells of 64x64
extern int Hero2Image, HeroVarno2Image;   // hero facing left
extern int BirdImage, BirdVarnoImage;     // bird walking right, plain / costume, 16 cells of 128x128
extern int Bird2Image, BirdVarno2Image;   // bird walking left
extern int SceneryImage;                  // "scenery.png", props, blocks and ground, 16 cells of 128x128
extern int GetsImage;                     // "gets.png", pickups and head-up icons, 16 cells of 64x64
extern std::list<ken> BirdList;           // the round's birds
extern std::list<ayer> HeroList;          // the round's heroes, player one first
extern std::list<kup> PickupList;         // pickups in flight
extern std::list<ore> PopupList;          // floating score numbers, aged on every screen
extern RoundState Round;                  // the round in play
extern DifficultyRow DifficultyTable[4];  // by Difficulty (round.cpp); rules, never changed in play
extern ayer* PlayerOne;                   // heroes of this round, null between rounds
extern ayer* PlayerTwo;
extern int SfxCursor;  // last effect channel slot used (starts at 20)

void RegisterGameHooks();  // the framework's game hooks: main calls it before StartUp
void ResetGameState();     // everything above to its start value (images are not freed)
void LoadGameImages();     // the eleven images from the current folder, replacing old ones
void PlaySfx(int number, double rate, double volume, double pan);
int PlayRound();                                                     // one round for Difficulty; 0
int SpawnScorePopup(int points, int x, int y, int r, int g, int b);  // answers the points
void UpdateScorePopups();                                            // FinishFrame calls it every frame

// The round in pieces (game/round.cpp); PlayRound runs them in order.
void StartRound();       // seed, props, birds, heroes for Difficulty
int RoundFrame();        // one frame of play; answers the RoundEnd
void ShowRoundResult();  // result texts over the last picture
void FinishRound();      // waits, back to STATE_TITLE, the one-player record

// Heroes (game/hero.cpp).
int HeroPicture(const ayer& hero);  // sheet for its facing and the costume flag
int HeroFrame(const ayer& hero);    // drawn step div 2
void HeroPass();
void BounceTest(ken& bird, int image, int frame);  // every hero against one walking bird
void BlockPass();

// Pickups, awards and the head-up display (game/pickups.cpp).
// Scores combo × value: a popup that many pixels over the hero's height, its
// points added to Score (both saturate instead of overflowing).
void AwardPoints(ayer& hero, int value, int above);
void AwardPickup(ayer& hero, int kind);
void PickupPass();
void DrawHud(ayer& hero, int player);

// Birds (game/birds.cpp).
void BirdPass();
