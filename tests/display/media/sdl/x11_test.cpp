// Real X events into the SDL back end: xdotool types at the test's own
// window, and a full-screen mode of the X screen opens and draws. Skipped
// without an X display (the offscreen driver) or without xdotool.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "tests/display/support.h"

namespace {

bool OnX11() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  return std::getenv("DISPLAY") && (!driver || std::string(driver) == "x11");
}

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// Polls the input state (every query pumps events) for up to two seconds.
bool Within2s(const std::function<bool()>& done) {
  const int32_t start = Millisecs();
  while (Millisecs() - start < 2000) {
    if (done()) return true;
    Delay(5);
  }
  return done();
}

TEST(SdlX11, XdotoolKeysTextAndMouseReachTheLayer) {
  if (!OnX11() || Shell("command -v xdotool").empty()) GTEST_SKIP() << "needs an X display and xdotool";
  UseSdlBackend();
  const std::string title = "sdl x11 probe " + std::to_string(getpid());
  SetAppTitle(title);
  ASSERT_TRUE(gl::OpenWindow(320, 240, 640, 480));
  ClearScreen();
  PresentFrame(0);
  const std::string wid = Shell("xdotool search --sync --onlyvisible --name '^" + title + "$' | head -1");
  ASSERT_FALSE(wid.empty());
  Shell("xdotool windowfocus --sync " + wid);
  FlushKeys();

  // The key labelled Z, held for real.
  Shell("xdotool keydown z; sleep 0.1; xdotool keyup z");
  int hits = 0;
  EXPECT_TRUE(Within2s([&] { return (hits += KeyHit(KEY_Z)) > 0; }));
  EXPECT_EQ(hits, 1);
  EXPECT_FALSE(KeyDown(KEY_Z));

  // Typed text arrives as characters; Shift is a key of its own (160).
  FlushKeys();
  Shell("xdotool type --delay 50 'q!'");
  std::string typed;
  EXPECT_TRUE(Within2s([&] {
    for (int c = GetChar(); c; c = GetChar()) typed += static_cast<char>(c);
    return typed.size() >= 2;
  }));
  EXPECT_EQ(typed, "q!");
  EXPECT_GE(KeyHit(KEY_LSHIFT) + KeyHit(KEY_RSHIFT), 1);

  // The pointer in virtual units (twice the window here), then a middle click.
  Shell("xdotool mousemove --window " + wid + " 100 50");
  EXPECT_TRUE(Within2s([] { return VirtualMouseX() == 200 && VirtualMouseY() == 100; }))
      << VirtualMouseX() << "," << VirtualMouseY();
  Shell("xdotool mousedown 2; sleep 0.05; xdotool mouseup 2");
  EXPECT_TRUE(Within2s([] { return MouseHit(3) == 1; }));
  CloseDisplay();
}

TEST(SdlX11, FullScreenModeOpensAndDraws) {
  if (!OnX11()) GTEST_SKIP() << "needs an X display";
  UseSdlBackend();
  DisplayMode full{};
  for (int i = 0; i < CountGraphicsModes(); ++i)
    if (GetGraphicsMode(i).depth == 32) full = GetGraphicsMode(i);
  if (full.width == 0) GTEST_SKIP() << "no 32-bit mode on this screen";
  ASSERT_TRUE(GraphicsModeExists(full.width, full.height, 32, 0));
  ASSERT_TRUE(OpenDisplay(full.width, full.height, 32, 60, 0));
  SetVirtualResolution(static_cast<float>(full.width), static_cast<float>(full.height));
  ClearScreen();
  SetBlend(SOLIDBLEND);
  SetColor(10, 200, 30);
  DrawRect(static_cast<float>(full.width - 10), static_cast<float>(full.height - 10), 10, 10);
  PresentFrame(0);
  EXPECT_EQ(gl::PixelAt(full.width - 1, full.height - 1), gl::Pack(10, 200, 30));
  CloseDisplay();
  // And a window again afterwards.
  EXPECT_TRUE(OpenDisplay(200, 100, 0, 60, 0));
  CloseDisplay();
}

}  // namespace
