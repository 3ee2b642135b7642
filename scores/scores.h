// scores.h — the score table: the list and its file, the title screen's
// display, name entry and the date stamp. The record and the list are in the
// catalogue, shell/globals.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/globals.h"

void LoadScores();                   // "scores.dat" of the game folder
void SaveScores();                   // safely, or says once why it could not
void SortScores();                   // stable, by Compare
void AddAwaitedScore();              // names and stamps ScoreAwaitingName, adds it and sorts
// The group's best records, highest Score first, equal scores newest first (at most 25).
std::vector<Scores*> BestList(int mode, int level, int flags);
void ShowScoreTable(int offset, int mode, int level, int flags);
void EnterName();
int64_t DateStamp();
int64_t DateStampOf(const std::string& date, const std::string& time);  // "06 Dec 2026", "15:12:09"
std::string DateText(int64_t stamp); // dd-mm-yyyy
std::string TimeText(int64_t stamp); // hh:mm:ss
