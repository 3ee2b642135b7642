// input_probe — a window on the real media layer that writes what it reads
// from the keyboard and mouse, one line per change, to the file named on the
// command line. test_input.sh drives it with xdotool and reads the lines:
//   ready                      the window is open
//   key <code> <total>         presses counted by KeyHit so far
//   text <typed>               every character GetChar has returned so far
//                              (codes outside 32..126 written as <code>)
//   mouse <x> <y>              pointer in virtual units (1280 x 960)
//   click <button> <total>     presses counted by MouseHit so far
//   bye                        Escape or a close request ended it
#include <cmath>
#include <cstdio>
#include <string>

#include "media/media.h"

namespace {

constexpr int kWatchedKeys[] = {13, 32, 37, 65, 90};  // Return, Space, Left, A, Z

void Report(std::FILE* out, const std::string& line) {
  std::fprintf(out, "%s\n", line.c_str());
  std::fflush(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: input_probe OUTPUT-FILE\n");
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  UseSdlBackend();
  SetAppTitle("Input Probe");
  if (!OpenDisplay(800, 600, 0, 0, 0)) {
    Report(out, "no display");
    return 1;
  }
  SetVirtualResolution(1280, 960);
  Report(out, "ready");

  int keyTotals[256] = {};
  int clickTotals[4] = {};
  std::string typed;
  int lastX = -1, lastY = -1;
  for (;;) {
    ClearScreen();
    PresentFrame(0);
    if (KeyHit(KEY_ESCAPE) > 0 || CloseRequested()) break;
    for (int code : kWatchedKeys) {
      if (int hits = KeyHit(code); hits > 0) {
        keyTotals[code] += hits;
        Report(out, "key " + std::to_string(code) + " " + std::to_string(keyTotals[code]));
      }
    }
    bool newText = false;
    for (int c = GetChar(); c != 0; c = GetChar()) {
      // Control and non-ASCII codes as <code>, so every report stays one line.
      typed += (c >= 32 && c < 127) ? std::string(1, static_cast<char>(c)) : "<" + std::to_string(c) + ">";
      newText = true;
    }
    if (newText) Report(out, "text " + typed);
    int x = static_cast<int>(std::lround(VirtualMouseX()));
    int y = static_cast<int>(std::lround(VirtualMouseY()));
    if (x != lastX || y != lastY) {
      lastX = x;
      lastY = y;
      Report(out, "mouse " + std::to_string(x) + " " + std::to_string(y));
    }
    for (int button = 1; button <= 3; ++button) {
      if (int hits = MouseHit(button); hits > 0) {
        clickTotals[button] += hits;
        Report(out, "click " + std::to_string(button) + " " + std::to_string(clickTotals[button]));
      }
    }
    Delay(16);  // one frame, so quick presses fall between two reads
  }
  Report(out, "bye");
  std::fclose(out);
  CloseDisplay();
  return 0;
}
