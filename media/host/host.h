// host.h — the host/ room: what differs between running as a desktop
// program and inside a browser page. desktop.cpp and browser.cpp each define
// these for their build; the rest of the media layer is the same. The page's
// own side is JavaScript here too: browser.js (called from browser.cpp),
// page.js (storage, locks, keys, frames), screen.js (canvas, touch controls)
// and replays.js (dropped files, replay checks). Sees Emscripten only (in the
// page); the desktop sleeps through sdl/services.h.
#pragma once

#include <string>
#include <vector>

#include "media/media.h"

// Sleep about ms milliseconds. newPicture: a frame was presented since the
// last sleep; a page then waits for the browser's next frame, when it shows
// the picture, instead of a timer.
void HostSleep(int ms, bool newPicture);

// Waits for the host's frame due periodMs after the last one it gave;
// newPicture as for HostSleep. False where the host has no frames (the
// desktop): the caller paces.
bool HostWaitForFrame(double periodMs, bool newPicture);

// Called through long loads (fonts, pictures, sounds, opening the display and
// the audio): a page that has held the browser's thread for a few
// milliseconds gives it back for a moment, so the page stays responsive while
// the game starts. Nothing on the desktop.
void HostBreathe();

// False while the host does not let sound start: a page until its first key,
// click or touch (a sound output made before then only stays paused, and
// making one holds the page up). Always true on the desktop.
bool HostSoundAllowed();

// True when the host offers OpenGL ES only (a page: WebGL 2).
bool HostGlesOnly();

// True when whatever the window holds is shown as soon as the program sleeps
// (a page: the browser shows the canvas then), so only presented frames may
// be put there.
bool HostSleepShowsWindow();

// A file the program writes was written, renamed or deleted: a page keeps it
// in the browser's persistent storage.
void HostFileChanged(const std::string& path);

// Several copies share a file (the scores) and the files beside it (the
// replays). A page takes the browser's lock for the full name, fetches the
// stored copies of the folder's files over its own and answers true; false
// where the system's file lock serves (the desktop).
bool HostLockShared(const std::string& path);
// A page stores the files changed under the lock, then lets the lock go and,
// when changed, tells its other tabs.
void HostUnlockShared(const std::string& path, bool changed);
// How many times other copies said they replaced path (a page's other tabs;
// 0 on the desktop, where the file itself tells).
int HostSharedChanges(const std::string& path);

// A file TakeDroppedFile gave is no longer needed: a page removes the copy
// it made of a file dropped on it; any other file stays (the desktop's
// dropped files are the player's own).
void HostDroppedFileDone(const std::string& path);

// A picture was saved as a PNG file: a page offers it as a download.
void HostPictureSaved(const std::string& path);

// The display modes the host offers; false when SDL's own list stands.
bool HostDisplayModes(std::vector<DisplayMode>& out);

// The program ends: a page says so and keeps its files.
void HostEnded();

// The display was opened at this size: a page fits its canvas to that aspect.
void HostDisplayOpened(int w, int h);
// The pixels the host shows the picture at, when it picks them itself (a
// page: its canvas matched to the device's pixels); false where the
// display's own size stands.
bool HostFrameSize(int& w, int& h);

// On-screen controls (media.h's TouchControl), where the host has them.
bool HostTouchShown();
bool HostTouchHeld(int control);
int HostTouchHits(int control);
void HostOfferTouch(int control, bool offered);
// The host's own text field: on with the text to show, or off.
void HostTextEntry(bool on, const std::string& text);
// The next character typed into it (8 Backspace, 13 Enter), 0 when none.
int HostNextTyped();
