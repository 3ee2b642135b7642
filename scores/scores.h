// scores.h — the score table: the list and its file, the title screen's
// display, name entry and the date stamp. The record and the score table's
// state live here; ResetGlobals() starts them over through ResetScoreState.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "shell/globals.h"

struct Scores {                            // one finished one-player round
  int64_t Score = 0;                       // final score
  int64_t Timestamp = 0;                   // date stamp of the moment it was made
  int32_t Badges = 0;                      // badges earned (none in this game)
  std::string Name;                        // player name from name entry
  int32_t Best[31] = {};                   // round statistics, 1 last combo, 2 best combo
  int32_t Level = 0;                       // always 0
  int32_t GameMode = 0;                    // difficulty 0..2
  int32_t GameFlags = 0;                   // always 0
  int32_t Quit = 0;                        // 1 when ended with Quit in the pause menu
  int Compare(const Scores& other) const;  // newest first when sorted ascending
};
extern std::list<Scores> ScoreList;  // newest first
extern std::string PlayerName;       // name offered by name entry ("Player")
extern int GraphScroll;              // score display animation values, reset after a round
extern int PinnedItem;
// The round at the name prompt, recorded and saved under the offered name as
// the prompt opened, so a prompt never answered (a window or tab closed)
// still keeps it. The confirmed name replaces it.
extern std::optional<Scores> ScoreAwaitingName;
extern std::list<Scores> ScoresOnDisk;  // the file's records as this copy last read or wrote them
extern std::string ScoresFileStamp;     // SharedFileStamp of scores.dat then
extern KeptFile ScoreFileState;         // scores.dat could not be read, or a save was refused
// Called at each named step of a change made under the score file's lock
// ("renamed": a replay follows its record's new name, the file not yet
// written); tests pause there to race another copy. nullptr: none.
extern void (*ScoreLockStep)(const char* step);
void ResetScoreState();  // every variable above to its start value

void LoadScores();            // "scores.dat" of the game folder, with the rounds played since
                              // it was last read or written
void SaveScores();            // merged with the file, safely, or says once why it could not
void RefreshScores();         // merges the file again when another copy has replaced it
std::string ScoreFilePath();  // "scores.dat" in the game's folder under the player root
void SortScores();            // stable, by Compare
// Stamps and names it, adds it and saves it with its replay (the file's
// bytes; "" for none): ScoreAwaitingName.
void KeepAwaitedScore(Scores record, const std::string& replay);
void NameAwaitedScore();  // ScoreAwaitingName renamed to PlayerName, stamped now, saved; its replay follows
void KeepTwoPlayerReplay(const std::string& replay);  // beside the scores ("" for none); the last ten are kept
// The same record: every field equal.
bool SameRecord(const Scores& a, const Scores& b);
// The list a save writes when the file holds `file`: this copy's changes to
// `mine` since `base` (ScoresOnDisk) were read or written, applied to the file.
// Records added here that the file lacks are added; records removed here are
// removed from it; nothing else of the file changes. Newest first.
std::list<Scores> MergeScores(const std::list<Scores>& base, const std::list<Scores>& mine,
                              const std::list<Scores>& file);
// The group's best records, highest Score first, equal scores newest first (at most 25).
std::vector<Scores*> BestList(int mode, int level, int flags);
void ShowScoreTable(int offset, int mode, int level, int flags);
void EnterName();
// A typed character added to a name by the score file's rules: codes 32 to
// 255, "|" (the file's separator) as its look-alike broken bar; false when
// refused.
bool AddNameCharacter(std::string& name, int code);

// The on-screen keyboard of name entry, for a player holding a pad (scores/keyboard.cpp).
constexpr int KEYS_ROWS = 5, KEYS_COLUMNS = 10;
struct OnScreenKeyboard {
  int row = 1, col = 0;  // the highlighted key's cell (on "A" at first)
  bool lower = false;    // letters in lower case
};
int OnScreenKeyAt(int row, int col);                         // the character the cell types; < 0 for case, delete, done
void MoveOnScreenKeys(OnScreenKeyboard& k, int dx, int dy);  // wraps; wide keys are one step
bool PressOnScreenKey(OnScreenKeyboard& k, std::string& name);  // true for done
// One frame of the pad: the directions move (repeating), the bottom button
// presses the key, the right face button deletes; true when done was pressed.
bool OnScreenKeysByPad(OnScreenKeyboard& k, std::string& name);
void DrawOnScreenKeys(const OnScreenKeyboard& k, int centreX, int top);
int64_t DateStamp();
int64_t DateStampOf(const std::string& date, const std::string& time);  // "06 Dec 2026", "15:12:09"
std::string DateText(int64_t stamp);                                    // dd-mm-yyyy
std::string TimeText(int64_t stamp);                                    // hh:mm:ss
