// setup.cpp — "Setup.ini": the player's display, audio and control choices
// between runs, the settings start values, and the start-up choice of the
// audio back end.
//
// One table, kSetupRows, lists every line of the file once: its section, key,
// slot, start value and how it is read and written. The defaults, the reader
// and the writer all walk it, so a new setting is one row.
//
// The reader is forgiving (keys in any case, unknown lines skipped); the
// writer replaces the file whole, and only once the new one is safely on disk.
#include <algorithm>
#include <array>

#include "shell/shell.h"
#include "tools/tools.h"

namespace {

// How a row's value is read and written.
enum SetupKind {
  SETUP_NUMBER,       // "Key<separator><number>"; read as an absolute value
  SETUP_CHOICE,       // one word per value; only the words after the first are read back
  SETUP_MARK,         // written only while the slot is 1; read: the key alone sets it
  SETUP_AUDIODRIVER,  // the back end's name, then every name as a comment
  SETUP_KEYS,         // one "Key=index,code" line per bound slot of Keys
};

constexpr int kMaxChoices = 3;

struct SetupRow {
  const char* section;  // written before this row ("[Graphics]"), or nullptr
  SetupKind kind;
  int slot;                                    // in Settings; 0 for the rows without one
  int start;                                   // the slot's start value
  const char* key;                             // as written; the reader takes it in any case
  const char* alias;                           // another spelling the reader accepts, or nullptr
  const char* separator;                       // between key and value as written
  std::array<const char*, kMaxChoices> words;  // CHOICE: per value; MARK: the text written after the key
  std::array<const char*, kMaxChoices> also;   // CHOICE: another word read as that value
  std::array<const char*, kMaxChoices> logs;   // logged when the value is read
};

const SetupRow kSetupRows[] = {
    {"[Graphics]",
     SETUP_CHOICE,
     SET_FULLSCREEN,
     0,
     "Fullscreen",
     nullptr,
     " = ",
     {"False", "True"},
     {nullptr, "On"},
     {nullptr, "\tSetting to Fullscreen"}},
    {nullptr,
     SETUP_CHOICE,
     SET_GFXENGINE,
     0,
     "GFX Engine",
     "GFXEngine",
     " = ",
     {"OpenGL", "DX9", "DX7"},
     {},
     {nullptr, "\tDirectX 9 Mode", "\tDirectX 7 Mode"}},
    {nullptr, SETUP_NUMBER, SET_WIDTH, 800, "Width", nullptr, "=", {}, {}, {}},
    {nullptr, SETUP_NUMBER, SET_HEIGHT, 600, "Height", nullptr, "=", {}, {}, {}},
    {nullptr,
     SETUP_MARK,
     SET_SLOWSYSTEM,
     0,
     "ESS",
     nullptr,
     "=",
     {"1 ; This is a slow system, and things must run a wee bit slower for it.  Awww.."},
     {},
     {"\tAssuming Emergency Slow System values."}},
    {"[Audio]", SETUP_NUMBER, SET_MASTER, 50, "Master", nullptr, " = ", {}, {}, {}},
    {nullptr, SETUP_NUMBER, SET_SOUND, 50, "Sound", nullptr, " = ", {}, {}, {}},
    {nullptr, SETUP_NUMBER, SET_MUSIC, 50, "Music", nullptr, " = ", {}, {}, {}},
    {nullptr, SETUP_AUDIODRIVER, SET_AUDIODRIVER, 0, "AudioDriver", nullptr, " = ", {}, {}, {}},
    {"[Controls]", SETUP_KEYS, 0, 0, "Key", nullptr, "=", {}, {}, {}},
};

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

bool SameWord(const char* word, const std::string& upperText) { return word && Upper(word) == upperText; }

void ReadRow(const SetupRow& row, const std::string& value) {
  switch (row.kind) {
    case SETUP_NUMBER: Settings[row.slot] = AbsNumber(value); break;
    case SETUP_CHOICE: {
      // The first word is the start value and is not read back: a line that
      // names it leaves an earlier choice as it was.
      std::string v = Upper(value);
      for (int i = 1; i < kMaxChoices; i++)
        if (SameWord(row.words[i], v) || SameWord(row.also[i], v)) {
          Settings[row.slot] = i;
          if (row.logs[i]) WriteLog(row.logs[i]);
        }
      break;
    }
    case SETUP_MARK:
      Settings[row.slot] = 1;  // the key alone decides
      if (row.logs[0]) WriteLog(row.logs[0]);
      break;
    case SETUP_AUDIODRIVER:
      AudioDriverNamed = true;
      for (size_t i = 0; i < AudioDriverNames.size(); i++)
        if (value == AudioDriverNames[i]) Settings[row.slot] = static_cast<int>(i);
      break;
    case SETUP_KEYS: {
      int index = AbsNumber(FieldOf(value, ",", 1));
      int code = AbsNumber(FieldOf(value, ",", 2));
      if (index >= 0 && index <= 99) Keys[index] = code;
      break;
    }
  }
}

void ReadSetupLine(const std::string& line) {
  std::string key = Upper(Trim(FieldOf(line, "=", 1)));
  for (const SetupRow& row : kSetupRows)
    if (SameWord(row.key, key) || SameWord(row.alias, key)) return ReadRow(row, Trim(FieldOf(line, "=", 2)));
}

void WriteRow(TextFile* file, const SetupRow& row) {
  const std::string head = std::string(row.key) + row.separator;
  switch (row.kind) {
    case SETUP_NUMBER: WriteLine(file, head + Str(Settings[row.slot])); break;
    case SETUP_CHOICE: {
      int value = Settings[row.slot];  // a value with no word writes no line
      if (value >= 0 && value < kMaxChoices && row.words[value]) WriteLine(file, head + row.words[value]);
      break;
    }
    case SETUP_MARK:
      if (Settings[row.slot] == 1) WriteLine(file, head + row.words[0]);
      break;
    case SETUP_AUDIODRIVER: {
      int pos = AudioDriverPosition();
      WriteLine(file, head + (pos >= 0 ? AudioDriverNames[pos] : std::string()));
      const std::string offered = "; " + head;
      for (const std::string& name : AudioDriverNames) WriteLine(file, offered + name);
      break;
    }
    case SETUP_KEYS:
      for (int i = 0; i <= 99; i++)
        if (Keys[i] > 0) WriteLine(file, head + Str(i) + "," + Str(Keys[i]));
      break;
  }
}

}  // namespace

void SetDefaultSettings() {
  std::fill(std::begin(Settings), std::end(Settings), 0);
  for (const SetupRow& row : kSetupRows)
    if (row.slot > 0) Settings[row.slot] = row.start;
}

void ReadSetup() {
  // A file we could not read (or read only in part) may hold choices we never
  // saw: it is never written over.
  TextFile* file = ReadKeptFile(SetupFileState, PlayerPath(kSetupFile));
  WriteLog("\tReading Setup File");
  AudioDriverNamed = false;
  if (!file) return;
  // The first line is read before the first end test: an empty file is one empty line.
  do {
    ReadSetupLine(ReadLine(file));
  } while (!Eof(file));
  EndReadingKeptFile(SetupFileState, file);
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
    // OpenAL is set only once it could be enabled.
    if (AudioDriverExists(name) && (!StartsWith(name, "OPENAL") || EnableOpenALAudio())) SetAudioDriver(name);
  }
  WriteLog("Set Audio Driver");
  WriteLog("");
}

void WriteSetup() {
  // A safe save: a crash or a full disk leaves the previous Setup.ini as it
  // was. A file pinned read-only is the player's choice and stays as it is.
  const std::string path = PlayerPath(kSetupFile);
  TextFile* file = ReplaceKeptFile(SetupFileState, path);
  if (!file) return;
  for (const SetupRow& row : kSetupRows) {
    if (row.section && &row != kSetupRows) WriteLine(file, "");  // a blank line between sections
    if (row.section) WriteLine(file, row.section);
    WriteRow(file, row);
  }
  CloseKeptFile(SetupFileState, path, file);
}
