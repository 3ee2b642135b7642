// desktop.cpp — the desktop program: SDL sleeps, files stay where they
// are written, SDL lists the display modes, the window's pixels are the
// display's, and there are no on-screen controls or text fields.
#include "media/host/host.h"
#include "media/sdl/services.h"

void HostSleep(int ms, bool /*newPicture*/) { SdlDelay(ms); }
bool HostWaitForFrame(double /*periodMs*/, bool /*newPicture*/) { return false; }
void HostBreathe() {}
bool HostSoundAllowed() { return true; }
bool HostSleepShowsWindow() { return false; }
bool HostGlesOnly() { return false; }
void HostFileChanged(const std::string& /*path*/) {}
bool HostLockShared(const std::string& /*path*/) { return false; }
void HostUnlockShared(const std::string& /*path*/, bool /*changed*/) {}
int HostSharedChanges(const std::string& /*path*/) { return 0; }
void HostDroppedFileDone(const std::string& /*path*/) {}
void HostPictureSaved(const std::string& /*path*/) {}
bool HostDisplayModes(std::vector<DisplayMode>& /*out*/) { return false; }
void HostEnded() {}
void HostDisplayOpened(int /*w*/, int /*h*/) {}
bool HostFrameSize(int& /*w*/, int& /*h*/) { return false; }
bool HostTouchShown() { return false; }
bool HostTouchHeld(int /*control*/) { return false; }
int HostTouchHits(int /*control*/) { return 0; }
void HostOfferTouch(int /*control*/, bool /*offered*/) {}
void HostTextEntry(bool /*on*/, const std::string& /*text*/) {}
int HostNextTyped() { return 0; }
