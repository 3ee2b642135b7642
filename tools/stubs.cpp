// Placeholders until the tools are built; each goes as its real one lands.
#include "tools/tools.h"
JoyRecord JoySlot[5];
int JoySlotCount;
void SetDefaultKeys() {}
int ControlDown(int, int) { return 0; }
int CodeDown(int) { return 0; }
int DetectInput() { return 0; }
std::string KeyName(int) { return ""; }
void DiscoverJoysticks() {}
std::string FieldOf(const std::string& text, const std::string&, int) { return text; }
int PauseMenu() { return 1; }
void TakeScreenshot() {}
