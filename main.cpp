// Wen Hod in a Varno Zavored — the program entry: the game hands the framework
// its hooks, then start-up and the title screen, which leaves only through the
// closing sequence.
//
//   wenhod                         play
//   wenhod --replay FILE           watch a replay first
//   wenhod --replay-check FILE...  play replays at full speed, one line each: name, end hash, verdict
#include <string>

#include "game/game.h"
#include "game/replay.h"
#include "media/media.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
  UseSdlBackend();
  RegisterGameHooks();
  StartUp();
  const std::string option = argc >= 3 ? argv[1] : "";
  if (option == "--replay") ReplayRequest = argv[2];
  if (option == "--replay-check") CloseDown(CheckReplayFiles(argc - 2, argv + 2));
  TitleMenu();
}
