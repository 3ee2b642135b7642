// headless.h — the headless/ room: the test back end and its controls,
// linked into the tests and benchmarks (the wenhod_headless library), never
// into the program. It owns its virtual clock, scripted input and the
// records of what was drawn and played, and sees no platform library.
//
// With UseHeadlessBackend() active there is no window and no sound device:
// - the clock is virtual and advances only when the program sleeps (Delay),
//   so a test plays thousands of frames in milliseconds;
// - input is scripted with the calls below;
// - every draw call is recorded with its full drawing state;
// - sound calls are recorded with cue, volume, pan and rate;
// - images keep their real pixels, so the overlap test is the real one.
// Screens are loops that never return: a test steers them from the present
// hook and leaves by throwing from it (any exception type of its own).
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "media/media.h"

// Thrown by EndProcess on the headless back end instead of exiting.
void UseHeadlessBackend();  // no window, virtual clock, scripted input, recorded draws
bool HeadlessActive();      // true while the headless back end is in use

struct HeadlessExit {
  int status = 0;
};

struct DrawRecord {
  enum Kind { RECT, LINE, TEXT, IMAGE, CLEAR, PRESENT } kind = RECT;
  float x = 0, y = 0, w = 0, h = 0;  // RECT: x y w h; LINE: x y (w, h = x2, y2); TEXT, IMAGE: x y
  std::string text;                  // TEXT
  int image = 0, frame = 0;          // IMAGE (handle)
  int font = 0;                      // TEXT (handle, 0 built-in)
  int r = 255, g = 255, b = 255;
  float alpha = 1;
  int blend = MASKBLEND;
  float rotation = 0, scaleX = 1, scaleY = 1;
};

struct SoundRecord {
  enum Kind { CUE, RESUME, STOP, VOLUME, PAN, RATE } kind = CUE;
  int channel = 0;
  int sound = 0;    // CUE: the sound handle
  float value = 0;  // VOLUME, PAN, RATE
  uint32_t ms = 0;  // virtual clock at the call
};

// Recorded output.
const std::vector<DrawRecord>& HeadlessDraws();  // since the last clear
void HeadlessClearDraws();
std::vector<DrawRecord> HeadlessLastFrame();  // draws between the last two PRESENTs
int HeadlessPresentCount();                   // frames presented since start
const std::vector<SoundRecord>& HeadlessSounds();
void HeadlessClearSounds();
std::string HeadlessTitle();
bool HeadlessDisplayOpen();
DisplayMode HeadlessOpenMode();  // the mode last opened
bool HeadlessPointerShown();     // system pointer visible (ShowPointer / HidePointer)

// Scripted input. Key presses count a hit on the down edge.
void HeadlessKey(int code, bool down);
void HeadlessType(int ch);  // one typed character
void HeadlessMouseMove(float displayX, float displayY);
void HeadlessMouseButton(int button, bool down);
void HeadlessRequestClose();
void HeadlessDropFile(const std::string& file);         // a file dropped on the window
void HeadlessSetJoysticks(int count);                   // attach count joysticks, centred, no buttons held
                                                        // ("Virtual Joystick", 16 buttons and a hat until set up)
void HeadlessJoyAxis(int port, int axis, float value);  // axis: 0 X, 1 Y, 2 Z, 3 R, 4 U, 5 V
void HeadlessJoyHat(int port, float value);
void HeadlessJoyButton(int port, int button, bool down);
void HeadlessJoySetup(int port, const std::string& name, int buttonMask, bool hasHat);
// On-screen controls: shown or not, and one held (a press counts a hit).
void HeadlessTouchShown(bool shown);
void HeadlessTouch(int control, bool down);
bool HeadlessTouchOffered(int control);  // as the program last offered it
bool HeadlessTextEntryOn();              // the program asked for a text field

// No display opens while set, as on a machine without one (until HeadlessReset);
// with a width, only displays of that width are refused.
void HeadlessRefuseDisplay(bool refuse, int width = 0);

// Display modes offered (default: 640x480, 800x600, 1024x768, 1280x720,
// 1280x960, 1600x900 and 1920x1080, each at depths 16 and 32 and 60 Hz).
void HeadlessSetModes(const std::vector<DisplayMode>& modes);

// Time.
void HeadlessSetClock(uint32_t ms);
void HeadlessSetDate(std::time_t moment);            // the calendar clock dates read (0: the system's)
void HeadlessSetDrawCost(double msPerDraw);          // virtual time charged per draw call
void HeadlessOnPresent(std::function<void()> hook);  // called after every PresentFrame
void HeadlessOnDelay(std::function<void()> hook);    // called inside every Delay

// Back to a fresh state: no draws, no input, clock 0, default modes, no hooks,
// no images, fonts or sounds loaded, the drawing state and mid-handles as at start.
void HeadlessReset();
