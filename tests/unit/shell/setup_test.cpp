// The setup file: the exact bytes written, the forgiving reader, the round
// trip, the audio back-end choice, and never losing the old file.
#include <algorithm>
#include <climits>

#include "tests/unit/support.h"

using namespace support;

namespace {

// A fresh "Files/239/" tree in a temp folder; the test runs inside "Files/"
// (where the reader is called) and the log goes to a file of its own.
class Setup : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    SetDefaultSettings();
    SetDefaultKeys();
    fs::create_directories(files_ / "239");
    ASSERT_TRUE(ChangeDir(files_.string()));
    SetFileRoots(files_.string(), files_.string());
    LogFile = WriteFile((root_ / "log.txt").string());
    ASSERT_NE(LogFile, nullptr);
  }

  std::string Log() {
    CloseFile(LogFile);
    std::string text = ReadBytes(root_ / "log.txt");
    LogFile = WriteFile((root_ / "log.txt").string());
    return text;
  }

  // Reads a file holding exactly these bytes, from defaults.
  void ReadText(const std::string& bytes) {
    WriteBytes(files_ / "Setup.ini", bytes);
    ReadSetup();
  }

  void WriteFromGameFolder() {
    ASSERT_TRUE(ChangeDir("239"));
    WriteSetup();
    EXPECT_EQ(fs::current_path(), fs::canonical(files_ / "239"));
    ASSERT_TRUE(ChangeDir(".."));
  }

  fs::path root_ = temp.path, files_ = root_ / "Files";
};

TEST_F(Setup, DefaultsGiveExactFile) {
  AudioDriverNames = {"OpenAL", "FreeAudio"};
  Settings[SET_AUDIODRIVER] = 1;
  WriteFromGameFolder();
  const std::string expected =
      "[Graphics]\r\nFullscreen = False\r\nGFX Engine = OpenGL\r\nWidth=800\r\nHeight=600\r\n\r\n"
      "[Audio]\r\nMaster = 50\r\nSound = 50\r\nMusic = 50\r\nAudioDriver = FreeAudio\r\n"
      "; AudioDriver = OpenAL\r\n; AudioDriver = FreeAudio\r\n\r\n"
      "[Controls]\r\nKey=0,38\r\nKey=3,37\r\nKey=5,39\r\nKey=8,40\r\nKey=10,90\r\n"
      "Key=20,87\r\nKey=23,65\r\nKey=25,68\r\nKey=28,83\r\nKey=30,74\r\n";
  EXPECT_EQ(ReadBytes(files_ / "Setup.ini"), expected);
  EXPECT_FALSE(fs::exists(files_ / "Setup.ini.tmp"));
  EXPECT_FALSE(fs::exists(files_ / "239" / "Setup.ini"));
}

TEST_F(Setup, OptionalLinesAndOddSlots) {
  SetSettings({{SET_FULLSCREEN, 1}, {SET_GFXENGINE, 2}, {SET_SLOWSYSTEM, 1}});
  AudioDriverNames.clear();  // nothing to name: an empty value, no list
  WriteFromGameFolder();
  std::string text = ReadBytes(files_ / "Setup.ini");
  EXPECT_NE(text.find("\r\nFullscreen = True\r\nGFX Engine = DX7\r\n"), std::string::npos);
  EXPECT_NE(
      text.find("\r\nESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..\r\n\r\n"),
      std::string::npos);
  EXPECT_NE(text.find("\r\nAudioDriver = \r\n\r\n[Controls]"), std::string::npos);

  // Values outside the known sets write no line; slot 14 past the list names the first entry.
  SetSettings({{SET_FULLSCREEN, 2}, {SET_GFXENGINE, 3}, {SET_SLOWSYSTEM, 2}, {SET_AUDIODRIVER, 7}});
  AudioDriverNames = {"OpenAL", "FreeAudio"};
  WriteFromGameFolder();
  text = ReadBytes(files_ / "Setup.ini");
  EXPECT_EQ(text.find("Fullscreen"), std::string::npos);
  EXPECT_EQ(text.find("GFX Engine"), std::string::npos);
  EXPECT_EQ(text.find("ESS"), std::string::npos);
  EXPECT_NE(text.find("\r\nAudioDriver = OpenAL\r\n"), std::string::npos);
  Settings[SET_AUDIODRIVER] = -1;
  WriteFromGameFolder();
  EXPECT_NE(ReadBytes(files_ / "Setup.ini").find("\r\nAudioDriver = OpenAL\r\n"), std::string::npos);
}

TEST_F(Setup, FullscreenWordsAndEngines) {
  const std::pair<const char*, int> fullscreen[] = {{"fullscreen = on", 1},   {"FullScreen=TRUE", 1},
                                                    {"FULLSCREEN = True", 1}, {"Fullscreen = False", 0},
                                                    {"Fullscreen = 1", 0},    {"Fullscreen", 0}};
  for (auto [line, want] : fullscreen) {
    Settings[SET_FULLSCREEN] = 0;
    ReadText(std::string(line) + "\r\n");
    EXPECT_EQ(Settings[SET_FULLSCREEN], want) << line;
  }
  std::string log = Log();
  EXPECT_NE(log.find("\tReading Setup File\r\n\tSetting to Fullscreen\r\n"), std::string::npos);

  ReadText("gfxengine=dx7");
  EXPECT_EQ(Settings[SET_GFXENGINE], 2);
  ReadText("GFX Engine = DX9\n");
  EXPECT_EQ(Settings[SET_GFXENGINE], 1);
  ReadText("GFX Engine = OpenGL\n");
  EXPECT_EQ(Settings[SET_GFXENGINE], 1);  // any other value changes nothing
  ReadText("ESS=0\n");
  EXPECT_EQ(Settings[SET_SLOWSYSTEM], 1);  // the key alone decides
  log = Log();
  EXPECT_NE(log.find("\tDirectX 7 Mode\r\n"), std::string::npos);
  EXPECT_NE(log.find("\tDirectX 9 Mode\r\n"), std::string::npos);
  EXPECT_NE(log.find("\tAssuming Emergency Slow System values.\r\n"), std::string::npos);
}

TEST_F(Setup, KeyLines) {
  ReadText("Key=0,65\nKey=-3,65\nKey=4\nKey=100,65\nkey = 12 , 300 \nKey=99,7\nKey=13,-40\nKey=14,abc\n");
  EXPECT_EQ(Keys[0], 65);
  EXPECT_EQ(Keys[3], 65);  // the index is taken as an absolute value
  EXPECT_EQ(Keys[4], 4);   // no comma: field 2 is the whole value
  EXPECT_EQ(Keys[12], 300);
  EXPECT_EQ(Keys[99], 7);
  EXPECT_EQ(Keys[13], 40);
  EXPECT_EQ(Keys[14], 0);
  EXPECT_EQ(Keys[100], 0);  // "Key=100,65" is ignored
  EXPECT_EQ(Keys[10], 90);  // untouched defaults stay
}

TEST_F(Setup, NumbersReadAsFarAsTheyGo) {
  ReadText("Width=1024=768\r\nHeight=600px\r\nMaster=abc\r\nSound=-70\r\nMusic= 250 \r\n");
  EXPECT_EQ(Settings[SET_WIDTH], 1024);
  EXPECT_EQ(Settings[SET_HEIGHT], 600);
  EXPECT_EQ(Settings[SET_MASTER], 0);
  EXPECT_EQ(Settings[SET_SOUND], 70);
  EXPECT_EQ(Settings[SET_MUSIC], 250);  // no upper bound when reading
  ReadText("Width=1024px");
  EXPECT_EQ(Settings[SET_WIDTH], 1024);
}

TEST_F(Setup, HugeNumbersSaturate) {
  const std::string digits(100, '9');
  ReadText(
      "Key=2147483648,77\nKey=-2147483648,77\nKey=5,2147483648\nKey=6,-2147483648\n"
      "Width=-2147483648\nHeight=" +
      digits + "\nMaster=-" + digits + "\nSound=2147483647\n");
  // Huge indices are out of range: no slot takes the code.
  for (int i = 0; i <= 100; i++) EXPECT_NE(Keys[i], 77) << i;
  EXPECT_EQ(Keys[5], INT_MAX);
  EXPECT_EQ(Keys[6], INT_MAX);
  EXPECT_EQ(Settings[SET_WIDTH], INT_MAX);
  EXPECT_EQ(Settings[SET_HEIGHT], INT_MAX);
  EXPECT_EQ(Settings[SET_MASTER], INT_MAX);
  EXPECT_EQ(Settings[SET_SOUND], INT_MAX);
}

TEST_F(Setup, WriterHeadersCommentsAndJunkPassThrough) {
  int before[100];
  std::copy(std::begin(Settings), std::end(Settings), before);
  int keysBefore[101];
  std::copy(std::begin(Keys), std::end(Keys), keysBefore);
  ReadText(
      "[Graphics]\r\n; Width = 1\r\n\r\nUnknown=5\r\n=\r\n==,\r\n   \r\nWidthx=3\r\n; AudioDriver = FreeAudio\r\n"
      "Key\r\nKey=\r\n");
  // "Key" alone binds slot 0 to code 0 (both fields read as 0), and "Key=" likewise.
  keysBefore[0] = 0;
  EXPECT_TRUE(std::equal(std::begin(Settings), std::end(Settings), before));
  EXPECT_TRUE(std::equal(std::begin(Keys), std::end(Keys), keysBefore));
  EXPECT_FALSE(AudioDriverNamed);

  ReadText("");  // an empty file is one empty line
  EXPECT_TRUE(std::equal(std::begin(Settings), std::end(Settings), before));
  EXPECT_NE(Log().find("\tReading Setup File\r\n"), std::string::npos);
}

TEST_F(Setup, RoundTripRestoresStoredSlots) {
  AudioDriverNames = {"OpenAL", "FreeAudio", "DirectSound"};
  SetSettings({{SET_FULLSCREEN, 1},
               {SET_GFXENGINE, 1},
               {SET_WIDTH, 1600},
               {SET_HEIGHT, 900},
               {SET_SLOWSYSTEM, 1},
               {SET_MASTER, 0},
               {SET_SOUND, 100},
               {SET_MUSIC, 7},
               {SET_AUDIODRIVER, 2},
               {SET_WIDESCREEN, 1},
               {SET_RESOLUTION, 4}});  // the last two are not stored
  for (int i = 0; i <= 99; i++) Keys[i] = (i * 37) % 11 == 0 ? 0 : 10 + i * 4;
  Keys[0] = 0;   // unbound: comes back as its default
  Keys[3] = -5;  // negative: not written either
  Keys[99] = 349;
  int wantSettings[100];
  std::copy(std::begin(Settings), std::end(Settings), wantSettings);
  wantSettings[SET_WIDESCREEN] = 0;
  wantSettings[SET_RESOLUTION] = 0;
  int wantKeys[101];
  std::copy(std::begin(Keys), std::end(Keys), wantKeys);
  WriteFromGameFolder();

  SetDefaultSettings();
  SetDefaultKeys();
  int defaults[101];
  std::copy(std::begin(Keys), std::end(Keys), defaults);
  ReadSetup();
  for (int i = 0; i < 100; i++) EXPECT_EQ(Settings[i], wantSettings[i]) << "slot " << i;
  for (int i = 0; i <= 100; i++) EXPECT_EQ(Keys[i], wantKeys[i] > 0 ? wantKeys[i] : defaults[i]) << "key " << i;
  EXPECT_TRUE(AudioDriverNamed);
}

// Every word each choice slot can be written with reads back as the same value.
TEST_F(Setup, EveryChoiceWordReadsBack) {
  const std::pair<int, int> choices[] = {{SET_FULLSCREEN, 2}, {SET_GFXENGINE, 3}, {SET_SLOWSYSTEM, 2}};
  for (auto [slot, count] : choices)
    for (int value = 0; value < count; value++) {
      SetDefaultSettings();
      Settings[slot] = value;
      WriteFromGameFolder();
      SetDefaultSettings();
      ReadSetup();
      EXPECT_EQ(Settings[slot], value) << "slot " << slot;
    }
}

TEST_F(Setup, AutomaticAudioChoice) {
  struct Case {
    std::vector<std::string> names;
    int want;
  };
  const Case cases[] = {
      {{"FreeAudio", "OpenAL", "DirectSound"}, 2},
      {{"FreeAudio", "OpenAL"}, 0},
      {{"OpenAL", "FreeAudio"}, 0},
      {{"Null", "openal soft", "DirectSound", "DirectSound 2", "FreeAudio"}, 3},  // the last "Direct" wins
      {{"DirectSound", "OpenAL"}, 0},
      {{"Null", "Other"}, 0},
      {{}, 0},
  };
  for (const Case& c : cases) {
    AudioDriverNames = c.names;
    AudioDriverNamed = false;
    Settings[SET_AUDIODRIVER] = 0;
    ChooseAudioDriver();
    EXPECT_EQ(Settings[SET_AUDIODRIVER], c.want) << c.names.size() << " names";
  }
  EXPECT_NE(Log().find("Setting Audio Driver\r\nSet Audio Driver\r\n\r\n"), std::string::npos);
}

TEST_F(Setup, NamedDriverSkipsTheAutomaticChoice) {
  AudioDriverNames = {"FreeAudio", "OpenAL", "DirectSound"};
  ReadText("[Audio]\nAudioDriver = Ghost\n");
  EXPECT_TRUE(AudioDriverNamed);
  EXPECT_EQ(Settings[SET_AUDIODRIVER], 0);
  ChooseAudioDriver();
  EXPECT_EQ(Settings[SET_AUDIODRIVER], 0);

  ReadText("AudioDriver = OpenAL\n");
  EXPECT_EQ(Settings[SET_AUDIODRIVER], 1);
  ReadText("AudioDriver = directsound\n");  // names match exactly
  EXPECT_EQ(Settings[SET_AUDIODRIVER], 1);
  ChooseAudioDriver();
  EXPECT_EQ(Settings[SET_AUDIODRIVER], 1);

  // A slot outside the list selects nothing out of range.
  Settings[SET_AUDIODRIVER] = 50;
  ChooseAudioDriver();
  EXPECT_EQ(Settings[SET_AUDIODRIVER], 50);
}

TEST_F(Setup, FailedWriteKeepsOldFile) {
  const std::string old = "[Graphics]\r\nWidth=1024\r\n";
  WriteBytes(files_ / "Setup.ini", old);

  // The temporary file cannot be opened.
  fs::create_directory(files_ / "Setup.ini.tmp");
  WriteFromGameFolder();
  EXPECT_EQ(ReadBytes(files_ / "Setup.ini"), old);
  fs::remove(files_ / "Setup.ini.tmp");

  // Every write fails, as on a full disk: only the close can tell.
  if (fs::exists("/dev/full")) {
    fs::create_symlink("/dev/full", files_ / "Setup.ini.tmp");
    WriteFromGameFolder();
    EXPECT_EQ(ReadBytes(files_ / "Setup.ini"), old);
    fs::remove(files_ / "Setup.ini.tmp");
  }

  // A temporary left by a crash is simply written over.
  WriteBytes(files_ / "Setup.ini.tmp", "half a fi");
  Settings[SET_WIDTH] = 640;
  WriteFromGameFolder();
  EXPECT_NE(ReadBytes(files_ / "Setup.ini").find("Width=640\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(files_ / "Setup.ini.tmp"));
  Settings[SET_WIDTH] = 800;
  WriteBytes(files_ / "Setup.ini", old);

  // A folder the program may not write to (root may write anywhere).
  if (FolderModesBind()) {
    fs::permissions(files_, fs::perms::owner_read | fs::perms::owner_exec);
    WriteFromGameFolder();
    fs::permissions(files_, fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(files_ / "Setup.ini"), old);
  }

  // And once writing works again the file is replaced whole.
  WriteFromGameFolder();
  EXPECT_NE(ReadBytes(files_ / "Setup.ini").find("Width=800\r\n"), std::string::npos);
}

TEST_F(Setup, APinnedReadOnlyFileIsReadButNeverReplaced) {
  const std::string pinned = "Width=1024\r\nHeight=768\r\nMaster=7\r\n";
  WriteBytes(files_ / "Setup.ini", pinned);
  fs::permissions(files_ / "Setup.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  ReadSetup();
  EXPECT_EQ(Settings[SET_WIDTH], 1024);
  EXPECT_EQ(Settings[SET_MASTER], 7);

  Settings[SET_MASTER] = 60;
  // Tab toggles save every time: said only once.
  const std::string said = Said([this] {
    WriteFromGameFolder();
    WriteFromGameFolder();
  });
  EXPECT_EQ(ReadBytes(files_ / "Setup.ini"), pinned);
  EXPECT_FALSE(fs::exists(files_ / "Setup.ini.tmp"));
  ExpectSaidOnce(said, (files_ / "Setup.ini").string() + ": settings not saved: Permission denied");
  EXPECT_EQ(Log().find("not saved"), std::string::npos);  // the log keeps to its own lines

  // Made writable again, it is replaced as usual.
  fs::permissions(files_ / "Setup.ini", fs::perms::owner_write, fs::perm_options::add);
  WriteFromGameFolder();
  EXPECT_NE(ReadBytes(files_ / "Setup.ini").find("Master = 60\r\n"), std::string::npos);
}

// One that cannot be read (mode 200, say) may hold choices we never saw.
TEST_F(Setup, AFileThatCannotBeReadIsNeverReplaced) {
  SKIP_UNLESS_MODES_FORBID_READING();
  const std::string hidden = "Width=1024\r\nMaster=7\r\n";
  WriteBytes(files_ / "Setup.ini", hidden);
  fs::permissions(files_ / "Setup.ini", fs::perms::owner_write);
  AsOrdinaryUser(ReadSetup);
  EXPECT_EQ(Settings[SET_WIDTH], 800);  // the game plays on with its defaults

  const std::string said = Said([this] {
    WriteFromGameFolder();
    WriteFromGameFolder();
  });
  fs::permissions(files_ / "Setup.ini", fs::perms::owner_read, fs::perm_options::add);
  EXPECT_EQ(ReadBytes(files_ / "Setup.ini"), hidden);
  EXPECT_FALSE(fs::exists(files_ / "Setup.ini.tmp"));
  ExpectSaidOnce(said,
                 (files_ / "Setup.ini").string() + ": settings not saved: it could not be read (Permission denied)");
}

}  // namespace

// With no game folder, saving twice writes under the player root both times,
// never in a folder above it, and the current folder stays where it was.
TEST_F(Setup, SavingWithoutGameFolderStaysPut) {
  fs::remove_all(files_ / "239");
  WriteSetup();
  WriteSetup();
  EXPECT_EQ(fs::current_path(), fs::canonical(files_));
  EXPECT_TRUE(fs::exists(files_ / "Setup.ini"));
  EXPECT_FALSE(fs::exists(root_ / "Setup.ini"));
  EXPECT_FALSE(fs::exists(files_ / "Setup.ini.tmp"));
  EXPECT_EQ(ReadBytes(files_ / "Setup.ini").rfind("[Graphics]\r\n", 0), 0u);
}
