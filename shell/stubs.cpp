// Placeholders until the shell is built; each goes as its real one lands.
#include "shell/shell.h"
void StartUp() {}
void TitleMenu() { EndProcess(); }
void CloseDown() { EndProcess(); }
void WriteLog(const std::string& text) { WriteLine(LogFile, text); }
void FillCredits() {}
void SetDefaultSettings() {}
void ReadSetup() {}
void ChooseAudioDriver() {}
void WriteSetup() {}
void ApplyGraphics() {}
void LoadCommonAssets() {}
bool AcceptedMode(int, int) { return false; }
int FinishFrame(int) { return 0; }
void ShowMessage(const std::string&, int) {}
void BeginFrame(int) {}
void DrawTextAligned(int, int, const std::string&, int, int) {}
void SetColorAlpha(double, double, double) {}
void SetColorAlpha(double, double, double, double) {}
void SetDrawScale(double) {}
void SetDrawScale(double, double) {}
void SetDrawRotation(double) {}
void ResetDrawState() {}
void SetBlendMode(int) {}
void DrawSprite(int, int, int, int, int) {}
double ClampFloat(double value, double low, double high) { return value < low ? low : value > high ? high : value; }
int MouseInRect(int, int, int, int) { return 0; }
