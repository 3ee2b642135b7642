// Wen Hod in a Varno Zavored — the program entry: the game hands the framework
// its hooks, then start-up and the title screen, which leaves only through the
// closing sequence.
#include "game/game.h"
#include "media/media.h"
#include "shell/shell.h"

int main() {
  UseSdlBackend();
  RegisterGameHooks();
  StartUp();
  TitleMenu();
}
