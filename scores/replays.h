// replays.h — the replay files beside the score file: one per kept record,
// named after it (date stamp, score, name), and the last ten two-player
// rounds, which have no record. A replay goes when its record goes: after
// each save of the score list, replays whose record is not in the list are
// removed. The files' contents belong to the game; this only names, finds,
// writes and removes them, always under the score file's lock (scores.cpp).
#pragma once

#include <string>

#include "scores/scores.h"

constexpr int kTwoPlayerReplaysKept = 10;

std::string ReplayFolder();                      // the score file's folder
std::string ReplayFileOf(const Scores& record);  // where its replay is, or would be
bool HasReplay(const Scores& record);
// A record about to be added: its stamp moved on by whole seconds until no
// record of ScoreList and no file but `own` (the replay about to be renamed
// to it) has its replay's name, so that its replay can never be written over
// another record's (a clock set back, two rounds alike in the same second).
void FreeReplayName(Scores& record, const std::string& own = "");
void WriteReplayFile(const std::string& file, const std::string& bytes);  // a safe save; said when it fails
std::string TwoPlayerReplayFile();                                        // a fresh name for a two-player round
// Removes the replays whose records are not in ScoreList: call it only with
// the list just saved, which holds every record any copy had kept when the
// save began (FileClockMs() then). A replay written since may belong to a
// record another copy saved meanwhile: it stays for a later save to judge.
void PruneReplays(int64_t saveBegan);
void PruneTwoPlayerReplays();  // all but the newest kTwoPlayerReplaysKept
