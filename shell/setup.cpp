// setup.cpp — "Setup.ini": the player's display, audio and control choices
// between runs, the settings start values, and the start-up choice of the
// audio back end.
//
// The reader is forgiving (keys in any case, unknown lines skipped); the
// writer replaces the file whole, and only once the new one is safely on disk.
#include <algorithm>

#include "shell/shell.h"
#include "tools/tools.h"

namespace {

const char* const kSetupFile = "Setup.ini";
const char* const kSetupTemp = "Setup.ini.tmp";

// ToInt saturates at the int range and SafeAbs maps INT_MIN to INT_MAX, so
// "Width=-2147483648" or a hundred digits give a large value, never overflow.
int AbsNumber(const std::string& text) { return SafeAbs(ToInt(text)); }

bool StartsWith(const std::string& name, const std::string& upperPrefix) {
  return Upper(Left(name, static_cast<int>(upperPrefix.size()))) == upperPrefix;
}

// Position in AudioDriverNames that slot 14 stands for: out of range reads
// as the first entry; -1 when the list is empty.
int AudioDriverPosition() {
  if (AudioDriverNames.empty()) return -1;
  int pos = Settings[SET_AUDIODRIVER];
  if (pos < 0 || pos >= static_cast<int>(AudioDriverNames.size())) return 0;
  return pos;
}

void ReadSetupLine(const std::string& line) {
  std::string key = Upper(Trim(FieldOf(line, "=", 1)));
  std::string value = Trim(FieldOf(line, "=", 2));

  if (key == "AUDIODRIVER") {
    AudioDriverNamed = true;
    for (size_t i = 0; i < AudioDriverNames.size(); i++)
      if (value == AudioDriverNames[i]) Settings[SET_AUDIODRIVER] = static_cast<int>(i);
  } else if (key == "FULLSCREEN") {
    std::string v = Upper(value);
    if (v == "TRUE" || v == "ON") {
      Settings[SET_FULLSCREEN] = 1;
      WriteLog("\tSetting to Fullscreen");
    }
  } else if (key == "GFX ENGINE" || key == "GFXENGINE") {
    std::string v = Upper(value);
    if (v == "DX9") {
      Settings[SET_GFXENGINE] = 1;
      WriteLog("\tDirectX 9 Mode");
    } else if (v == "DX7") {
      Settings[SET_GFXENGINE] = 2;
      WriteLog("\tDirectX 7 Mode");
    }
  } else if (key == "WIDTH") {
    Settings[SET_WIDTH] = AbsNumber(value);
  } else if (key == "HEIGHT") {
    Settings[SET_HEIGHT] = AbsNumber(value);
  } else if (key == "ESS") {
    Settings[SET_SLOWSYSTEM] = 1;  // the key alone decides
    WriteLog("\tAssuming Emergency Slow System values.");
  } else if (key == "KEY") {
    int index = AbsNumber(FieldOf(value, ",", 1));
    int code = AbsNumber(FieldOf(value, ",", 2));
    if (index >= 0 && index <= 99) Keys[index] = code;
  } else if (key == "MASTER") {
    Settings[SET_MASTER] = AbsNumber(value);
  } else if (key == "SOUND") {
    Settings[SET_SOUND] = AbsNumber(value);
  } else if (key == "MUSIC") {
    Settings[SET_MUSIC] = AbsNumber(value);
  }
}

// Once a run on standard error: the settings were not saved, and why.
void SetupNotSaved(const std::string& why) {
  if (SetupNotSavedTold) return;
  SetupNotSavedTold = true;
  ReportError(CurrentDir() + "/" + kSetupFile + ": settings not saved: " + why);
}

}  // namespace

void SetDefaultSettings() {
  std::fill(std::begin(Settings), std::end(Settings), 0);
  Settings[SET_WIDTH] = 800;
  Settings[SET_HEIGHT] = 600;
  Settings[SET_FULLSCREEN] = 0;
  Settings[SET_SLOWSYSTEM] = 0;
  Settings[SET_MASTER] = 50;
  Settings[SET_SOUND] = 50;
  Settings[SET_MUSIC] = 50;
}

void ReadSetup() {
  TextFile* file = ReadFile(kSetupFile);
  WriteLog("\tReading Setup File");
  AudioDriverNamed = false;
  // A file we could not read (or read only in part) may hold choices we never
  // saw: it is never written over, as with the score file.
  if (!file) {
    SetupReadError = FileError();
    return;
  }
  // The first line is read before the first end test: an empty file is one empty line.
  do {
    ReadSetupLine(ReadLine(file));
  } while (!Eof(file));
  if (!CloseFile(file)) SetupReadError = FileError();
}

void ChooseAudioDriver() {
  if (!AudioDriverNamed) {
    // The last "Direct..." wins; without one, the first "OpenAL..." or "Free...".
    int picked = -1;
    for (size_t i = 0; i < AudioDriverNames.size(); i++) {
      const std::string& name = AudioDriverNames[i];
      if (StartsWith(name, "OPENAL") && picked < 0) picked = static_cast<int>(i);
      if (StartsWith(name, "FREE") && picked < 0) picked = static_cast<int>(i);
      if (StartsWith(name, "DIRECT")) picked = static_cast<int>(i);
    }
    if (picked >= 0) Settings[SET_AUDIODRIVER] = picked;
  }
  WriteLog("Setting Audio Driver");
  int pos = AudioDriverPosition();
  if (pos >= 0) {
    const std::string& name = AudioDriverNames[pos];
    if (AudioDriverExists(name)) {
      if (!StartsWith(name, "OPENAL")) {
        SetAudioDriver(name);
      } else if (EnableOpenALAudio()) {
        SetAudioDriver(name);
      }
    }
  }
  WriteLog("Set Audio Driver");
  WriteLog("");
}

bool EnterFilesFolder() { return ChangeDir(FilesFolder.empty() ? ".." : FilesFolder); }

void WriteSetup() {
  // Back to the folder we came from, not to "239/" by name: when the game
  // folder is missing, every save would otherwise climb one folder higher.
  const FolderGuard home;
  EnterFilesFolder();
  // Written beside the old file and renamed over it only when every byte is
  // out: a crash or a full disk leaves the previous Setup.ini as it was. A
  // file pinned read-only is the player's choice and stays as it is.
  if (!SetupReadError.empty()) return SetupNotSaved("it could not be read (" + SetupReadError + ")");
  TextFile* file = FileReplaceable(kSetupFile) ? WriteFile(kSetupTemp) : nullptr;
  if (!file) SetupNotSaved(FileError());
  if (file) {
    WriteLine(file, "[Graphics]");
    if (Settings[SET_FULLSCREEN] == 0) WriteLine(file, "Fullscreen = False");
    if (Settings[SET_FULLSCREEN] == 1) WriteLine(file, "Fullscreen = True");
    if (Settings[SET_GFXENGINE] == 0) WriteLine(file, "GFX Engine = OpenGL");
    if (Settings[SET_GFXENGINE] == 1) WriteLine(file, "GFX Engine = DX9");
    if (Settings[SET_GFXENGINE] == 2) WriteLine(file, "GFX Engine = DX7");
    WriteLine(file, "Width=" + Str(Settings[SET_WIDTH]));
    WriteLine(file, "Height=" + Str(Settings[SET_HEIGHT]));
    if (Settings[SET_SLOWSYSTEM] == 1)
      WriteLine(file, "ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..");
    WriteLine(file, "");
    WriteLine(file, "[Audio]");
    WriteLine(file, "Master = " + Str(Settings[SET_MASTER]));
    WriteLine(file, "Sound = " + Str(Settings[SET_SOUND]));
    WriteLine(file, "Music = " + Str(Settings[SET_MUSIC]));
    int pos = AudioDriverPosition();
    WriteLine(file, "AudioDriver = " + (pos >= 0 ? AudioDriverNames[pos] : std::string()));
    for (const std::string& name : AudioDriverNames) WriteLine(file, "; AudioDriver = " + name);
    WriteLine(file, "");
    WriteLine(file, "[Controls]");
    for (int i = 0; i <= 99; i++)
      if (Keys[i] > 0) WriteLine(file, "Key=" + Str(i) + "," + Str(Keys[i]));
    if (!CloseFile(file) || !RenameFile(kSetupTemp, kSetupFile)) {
      SetupNotSaved(FileError());
      DeleteFile(kSetupTemp);
    }
  }
}
