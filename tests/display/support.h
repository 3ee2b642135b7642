// support.h — what the tests of the real SDL back end share: the drivers
// chosen once, a window with a drawing area, pixels read back from it, images
// made in memory, and an SDL virtual joystick.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

#include "media/backend.h"
#include "media/media.h"

namespace gl {

// Without an X display, SDL's offscreen driver (EGL) still gives GL. Sound
// devices that need no hardware: SDL's dummy output, OpenAL's null one.
inline const bool kDriversChosen = [] {
  if (!std::getenv("DISPLAY") && !std::getenv("SDL_VIDEODRIVER")) SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
  SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
  SDL_setenv("ALSOFT_DRIVERS", "null", 1);
  return true;
}();

// A w x h window showing a vw x vh drawing area.
inline ::testing::AssertionResult OpenWindow(int w, int h, float vw, float vh) {
  if (!OpenDisplay(w, h, 0, 60, 0))
    return ::testing::AssertionFailure() << "no display (run under Xvfb or SDL_VIDEODRIVER=offscreen)";
  SetVirtualResolution(vw, vh);
  return ::testing::AssertionSuccess();
}

// RGBA packed as the back end reads it back, R lowest.
inline uint32_t Pack(int r, int g, int b, int a = 255) {
  return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16 |
         static_cast<uint32_t>(a) << 24;
}

struct Rgb {
  int r, g, b;
};

// The pixel at display (x, y), as read back from the frame being drawn.
inline uint32_t PixelAt(int x, int y) { return GrabPixmap(x, y, 1, 1).pixels.at(0); }

inline Rgb At(int x, int y) {
  const uint32_t v = PixelAt(x, y);
  return {static_cast<int>(v & 255), static_cast<int>(v >> 8 & 255), static_cast<int>(v >> 16 & 255)};
}

// Within 2 of the expected colour in every channel (blending rounds).
inline ::testing::AssertionResult Near(const Rgb& got, int r, int g, int b) {
  if (std::abs(got.r - r) <= 2 && std::abs(got.g - g) <= 2 && std::abs(got.b - b) <= 2)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b << "), want (" << r << ", "
                                       << g << ", " << b << ")";
}

// Each spot (x, y) shows its colour, as Near judges it.
struct Spot {
  int x, y;
  Rgb want;
};
inline void ExpectSpots(std::initializer_list<Spot> spots) {
  for (const Spot& s : spots)
    EXPECT_TRUE(Near(At(s.x, s.y), s.want.r, s.want.g, s.want.b)) << "at " << s.x << ", " << s.y;
}

// An image made in memory, pixels given per frame (RGBA, R lowest).
inline int MakeImage(int w, int h, std::vector<std::vector<uint32_t>> frames, float hx = 0, float hy = 0) {
  auto img = std::make_unique<ImageData>();
  img->width = w;
  img->height = h;
  img->frames = static_cast<int>(frames.size());
  img->handleX = hx;
  img->handleY = hy;
  img->pixels = std::move(frames);
  return StoreImage(std::move(img));
}

// An SDL virtual joystick of 6 axes, 16 buttons and a hat, attached and
// opened for the test's length; each change reaches SDL's state at once.
struct VirtualPad {
  int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 6, 16, 1);
  SDL_Joystick* pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  VirtualPad() = default;
  VirtualPad(const VirtualPad&) = delete;  // it detaches once, on leaving
  ~VirtualPad() { Detach(); }

  void Detach() {
    if (pad) SDL_JoystickClose(pad);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    pad = nullptr;
    index = -1;
  }
  void Axis(int axis, Sint16 value) {
    SDL_JoystickSetVirtualAxis(pad, axis, value);
    SDL_JoystickUpdate();
  }
  void Hat(Uint8 value) {
    SDL_JoystickSetVirtualHat(pad, 0, value);
    SDL_JoystickUpdate();
  }
  void Button(int button, bool down) {
    SDL_JoystickSetVirtualButton(pad, button, down ? SDL_PRESSED : SDL_RELEASED);
    SDL_JoystickUpdate();
  }
};

}  // namespace gl
