// Wen Hod in a Varno Zavored — the program entry: start up, then the title
// screen, which leaves only through the closing sequence.
#include "media/media.h"
#include "shell/shell.h"

int main() {
  UseSdlBackend();
  StartUp();
  TitleMenu();
}
