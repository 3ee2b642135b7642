// settings.cpp — the settings panel that slides down over any screen on Tab.
// FinishFrame calls it once per frame, visible or not.
#include "shell/shell.h"
#include "tools/tools.h"

void SettingsMenu() {
  // The hits are consumed here whether or not the panel shows.
  MouseClick1 = MouseHit(1);
  MouseClick2 = MouseHit(2);

  if (SettingsOpen == 1 && SettingsSlide < 0) SettingsSlide += 32;
  if (SettingsOpen == 0 && SettingsSlide > -300) SettingsSlide -= 32;
  if (SettingsSlide <= -300) return;
  // The panel's contents are drawn here once they are built.
}
