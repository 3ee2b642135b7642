// Placeholders until the score table is built; each goes as its real one lands.
#include "scores/scores.h"
std::list<Scores> ScoreList;
std::string PlayerName = "Player";
int GraphScroll;
int PinnedItem;
int Scores::Compare(const Scores& other) const {
  return Timestamp > other.Timestamp ? -1 : Timestamp < other.Timestamp ? 1 : 0;
}
void LoadScores() {}
void SaveScores() {}
void SortScores() {}
void ShowScoreTable(int, int, int, int) {}
void EnterName() {}
int64_t DateStamp() { return 0; }
std::string DateText(int64_t) { return ""; }
std::string TimeText(int64_t) { return ""; }
