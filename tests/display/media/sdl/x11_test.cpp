// Real X events into the SDL back end: xdotool types at the test's own
// window, and a full-screen mode of the X screen opens and draws. Skipped
// without an X display (the offscreen driver) or without xdotool.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "media/gl/renderer.h"
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

// The colour the X server shows at (x, y) of the window, as ImageMagick reads
// it ("r,g,b"), or "" when it cannot.
std::string ShownAt(unsigned long window, int x, int y) {
  const std::string txt = Shell("import -window " + std::to_string(window) + " -crop 1x1+" + std::to_string(x) + "+" +
                                std::to_string(y) + " -depth 8 txt:- 2>/dev/null");
  const size_t open = txt.find('('), close = txt.find(')', open);
  if (open == std::string::npos || close == std::string::npos) return "";
  std::string rgb = txt.substr(open + 1, close - open - 1);
  std::erase(rgb, ' ');
  if (std::count(rgb.begin(), rgb.end(), ',') > 2) rgb.erase(rgb.rfind(','));  // alpha
  return rgb;
}

// A frame: cleared, then its left half one colour, its right half another.
void FillHalves(int w, int h, gl::Rgb left, gl::Rgb right) {
  ClearScreen();
  SetBlend(SOLIDBLEND);
  SetColor(left.r, left.g, left.b);
  DrawRect(0, 0, static_cast<float>(w / 2), static_cast<float>(h));
  SetColor(right.r, right.g, right.b);
  DrawRect(static_cast<float>(w / 2), 0, static_cast<float>(w - w / 2), static_cast<float>(h));
}

// Mesa's software rasteriser keeps an X window's back buffer across a swap,
// so frames are drawn straight into it: what the game presents is what the
// X server shows, frame after frame, and read-back after presenting still
// answers the picture shown. From the first frame after the window manager
// resizes the window, frames go to the offscreen frame, scaled to the window.
TEST(SdlX11, FramesDrawnStraightIntoTheWindowAreWhatTheScreenShows) {
  if (!OnX11() || Shell("command -v import").empty() || Shell("command -v xdotool").empty())
    GTEST_SKIP() << "needs an X display, ImageMagick and xdotool";
  UseSdlBackend();
  SetAppTitle("straight to the window");
  ASSERT_TRUE(gl::OpenWindow(200, 150, 200, 150));
  if (std::string(GlRendererName()).find("llvmpipe") == std::string::npos)
    GTEST_SKIP() << "the offscreen frame serves " << GlRendererName();
  EXPECT_TRUE(GlDrawsToWindow());
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  ASSERT_NE(window, nullptr);
  const unsigned long id = std::strtoul(Shell("xdotool search --name '^straight to the window$'").c_str(), nullptr, 10);
  ASSERT_NE(id, 0UL);

  FillHalves(200, 150, {200, 10, 20}, {10, 20, 200});
  PresentFrame(0);
  EXPECT_EQ(ShownAt(id, 20, 140), "200,10,20");
  EXPECT_EQ(ShownAt(id, 180, 5), "10,20,200");
  EXPECT_EQ(gl::PixelAt(180, 5), gl::Pack(10, 20, 200));
  FillHalves(200, 150, {30, 180, 40}, {250, 250, 0});
  PresentFrame(0);
  EXPECT_EQ(ShownAt(id, 20, 140), "30,180,40");
  EXPECT_EQ(ShownAt(id, 180, 5), "250,250,0");

  SDL_SetWindowSize(window, 400, 300);
  EXPECT_TRUE(Within2s([&] {
    KeyDown(KEY_SPACE);  // pumps the window's events
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    return w == 400;
  }));
  KeyDown(KEY_SPACE);
  FillHalves(200, 150, {30, 180, 40}, {250, 250, 0});
  PresentFrame(0);
  EXPECT_FALSE(GlDrawsToWindow());
  EXPECT_EQ(ShownAt(id, 40, 280), "30,180,40");
  EXPECT_EQ(ShownAt(id, 360, 10), "250,250,0");
  EXPECT_EQ(gl::PixelAt(180, 5), gl::Pack(250, 250, 0));
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
