// make_replays.cpp — makes the golden replays: each script played by the
// scripted player through the real round on the headless back end with the
// staged art, its recording written to DIR/<name>.replay, and one line per
// replay to DIR/replays.txt (what it holds and how it ended), so a change of
// the rules shows in the diff. Run by scripts/make-replays.sh.
#include <cstdio>
#include <string>
#include <vector>

#include "media/headless/headless.h"
#include "scripted.h"

namespace {

// Each difficulty, Two Player, widescreen, pauses continued and quit.
const std::vector<scripted::Script> kScripts = {
    {"easy", DIFFICULTY_EASY, 22813, false, -1, false, 0},
    {"easy-wander", DIFFICULTY_EASY, 2024, false, -1, false, 150},
    {"easy-widescreen", DIFFICULTY_EASY, 3071, true, -1, false, 0},
    {"medium", DIFFICULTY_MEDIUM, 4093, false, -1, false, 0},
    {"medium-pause", DIFFICULTY_MEDIUM, 5003, false, 700, false, 0},
    {"hard", DIFFICULTY_HARD, 6007, false, -1, false, 0},
    {"hard-quit", DIFFICULTY_HARD, 7011, false, 300, true, 0},
    {"two-player", DIFFICULTY_TWO_PLAYER, 20873, false, -1, false, 0},
    {"two-player-pause", DIFFICULTY_TWO_PLAYER, 9029, false, 900, false, 120},
    {"two-player-widescreen", DIFFICULTY_TWO_PLAYER, 10037, true, -1, false, 0},
    {"medium-wander", DIFFICULTY_MEDIUM, 11047, false, -1, false, 90},
    {"hard-wander", DIFFICULTY_HARD, 12049, false, -1, false, 200},
};

const char* const kKinds[6] = {"coin", "feather", "jumps", "lock", "star", "floaty"};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_replays DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  if (!scripted::SetUpProgram(WENHOD_DATA_DIR, dir)) {
    std::fprintf(stderr, "make_replays: the staged art is missing under %s\n", WENHOD_DATA_DIR);
    return 1;
  }

  std::string listing;
  int caught[6] = {}, bestCombo = 0, quits = 0, pauses = 0;
  for (const scripted::Script& s : kScripts) {
    const scripted::Played played = scripted::Play(s);
    const Replay& r = played.replay;
    const std::string bytes = EncodeReplay(r);
    if (!WriteWholeFileSafely(JoinPath(dir, s.name + ".replay"), bytes)) {
      std::fprintf(stderr, "make_replays: %s: %s\n", s.name.c_str(), FileError().c_str());
      return 1;
    }
    char line[400];
    std::snprintf(line, sizeof line,
                  "%-22s difficulty %d  %6u frames  %5zu bytes  scores %d %d  end %s  hash %016llx\n", s.name.c_str(),
                  r.difficulty, r.frames, bytes.size(), r.scores[0], r.scores[1],
                  r.endState == ROUND_QUIT ? "quit" : "over", static_cast<unsigned long long>(r.endHash));
    listing += line;
    std::fputs(line, stdout);
    for (int k = 0; k < 6; ++k) caught[k] += played.caught[k];
    bestCombo = std::max(bestCombo, played.bestCombo);
    pauses += s.pauseAt >= 0 ? 1 : 0;
    quits += r.endState == ROUND_QUIT ? 1 : 0;
  }
  std::string summary = "caught:";
  bool every = true;
  for (int k = 0; k < 6; ++k) {
    summary += " " + std::string(kKinds[k]) + " " + std::to_string(caught[k]);
    every = every && caught[k] > 0;
  }
  summary += "; best combo " + std::to_string(bestCombo) + "; pauses " + std::to_string(pauses) + ", quit " +
             std::to_string(quits) + "\n";
  listing += summary;
  std::fputs(summary.c_str(), stdout);
  if (!WriteWholeFileSafely(JoinPath(dir, "replays.txt"), listing)) return 1;
  if (!every) {
    std::fprintf(stderr, "make_replays: not every kind of pickup was caught; change a script\n");
    return 1;
  }
  return 0;
}
