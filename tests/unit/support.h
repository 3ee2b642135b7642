// support.h — what the unit tests share: a fresh headless program in a
// private folder for every test, temporary folders, small files (bytes, CR LF
// lines, PNG, WAV), the staged data tree, and helpers to look through what
// was drawn. Key codes are the media layer's own names (media/keys.h).
//
// Screens are loops that never return: a test steers them from the headless
// present hook and leaves by throwing StopScreen from it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "media/headless/headless.h"
#include "media/random.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "tests/unit/os.h"
#include "tools/tools.h"

namespace support {

namespace fs = std::filesystem;

// Thrown from a present hook to leave a screen's endless loop.
struct StopScreen {};

//------------------------------------------------------------------------------
// Files
//------------------------------------------------------------------------------

// A fresh folder for this test, removed afterwards with everything in it,
// even what a test made read-only.
struct TempDir {
  fs::path path;
  explicit TempDir(const std::string& kind = "test") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = fs::temp_directory_path() / ("wenhod-" + kind + "-" + std::to_string(getpid()) + "-" +
                                        (info ? std::string(info->test_suite_name()) + "." + info->name() : "none"));
    Remove();
    fs::create_directories(path);
  }
  ~TempDir() { Remove(); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const { return (path / name).string(); }

 private:
  static void Writable(const fs::path& dir) {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_directory(ec) && !it->is_symlink(ec)) Writable(it->path());
  }
  void Remove() {
    std::error_code ec;
    if (!fs::exists(path, ec)) return;
    Writable(path);
    fs::remove_all(path, ec);
  }
};

inline std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Runs `read` as an ordinary user would: the superuser reads anything, so it
// lends itself the rights of "nobody" for the moment.
template <class F>
void AsOrdinaryUser(F read) {
  const bool lent = LendNobodysRights();
  read();
  if (lent) TakeBackRootsRights();
}

// Lines of a file written with CR LF endings.
inline std::vector<std::string> ReadLines(const fs::path& file) {
  const std::string all = ReadBytes(file);
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(all.substr(at));
      break;
    }
    lines.push_back(all.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// Is `want` a subsequence of `have` (in order, gaps allowed)?
inline bool InOrder(const std::vector<std::string>& have, const std::vector<std::string>& want) {
  size_t i = 0;
  for (const std::string& line : have)
    if (i < want.size() && line == want[i]) ++i;
  return i == want.size();
}

inline uint32_t Rgba(int r, int g, int b, int a = 255) {
  return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16 |
         static_cast<uint32_t>(a) << 24;
}

// Writes a w x h PNG whose pixel (x, y) is f(x, y); answers the file name.
template <typename F>
std::string WritePng(const std::string& file, int w, int h, F f) {
  Pixmap pm;
  pm.width = w;
  pm.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pm.pixels.push_back(f(x, y));
  EXPECT_EQ(SavePixmapPNG(pm, file, 6), 1) << file;
  return file;
}

template <typename F>
std::string WritePng(const TempDir& dir, const std::string& name, int w, int h, F f) {
  return WritePng(dir / name, w, h, f);
}

// A RIFF WAVE file holding PCM samples as given.
inline std::string WavBytes(int channels, int rate, int bits, const std::string& data) {
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  std::string fmt = u16(1) + u16(static_cast<uint16_t>(channels)) + u32(rate) + u32(rate * channels * bits / 8) +
                    u16(static_cast<uint16_t>(channels * bits / 8)) + u16(static_cast<uint16_t>(bits));
  std::string body =
      "WAVE" + std::string("fmt ") + u32(16) + fmt + "data" + u32(static_cast<uint32_t>(data.size())) + data;
  return "RIFF" + u32(static_cast<uint32_t>(body.size())) + body;
}

// A mono 16-bit square wave of the given length at 8000 Hz.
inline void WriteWav(const fs::path& file, int ms) {
  const uint32_t samples = 8000 * static_cast<uint32_t>(ms) / 1000;
  std::string data;
  for (uint32_t i = 0; i < samples; ++i) {
    const uint16_t v = (i % 40) < 20 ? 8000 : static_cast<uint16_t>(-8000);
    data += {char(v), char(v >> 8)};
  }
  WriteBytes(file, WavBytes(1, 8000, 16, data));
}

// The build's staged data tree ("" when none).
inline std::string DataDir() {
#ifdef WENHOD_DATA_DIR
  return WENHOD_DATA_DIR;
#else
  return "";
#endif
}

inline bool HaveStagedFile(const std::string& rel) {
  return !DataDir().empty() && fs::exists(fs::path(DataDir()) / rel);
}

//------------------------------------------------------------------------------
// What was drawn
//------------------------------------------------------------------------------

inline const DrawRecord* FindText(const std::vector<DrawRecord>& frame, const std::string& text) {
  for (const DrawRecord& r : frame)
    if (r.kind == DrawRecord::TEXT && r.text == text) return &r;
  return nullptr;
}

// What `f` draws, from a cleared list.
template <typename F>
std::vector<DrawRecord> DrawnBy(F f) {
  HeadlessClearDraws();
  f();
  return HeadlessDraws();
}

// Every drawing of one kind, in order.
inline std::vector<DrawRecord> OfKind(const std::vector<DrawRecord>& draws, DrawRecord::Kind kind) {
  std::vector<DrawRecord> out;
  for (const DrawRecord& r : draws)
    if (r.kind == kind) out.push_back(r);
  return out;
}

// Every rectangle of a size, and the first of them (nullptr when none).
inline std::vector<DrawRecord> RectsOfSize(const std::vector<DrawRecord>& draws, float w, float h) {
  std::vector<DrawRecord> out;
  for (const DrawRecord& r : draws)
    if (r.kind == DrawRecord::RECT && r.w == w && r.h == h) out.push_back(r);
  return out;
}
inline const DrawRecord* FindRect(const std::vector<DrawRecord>& draws, float w, float h) {
  for (const DrawRecord& r : draws)
    if (r.kind == DrawRecord::RECT && r.w == w && r.h == h) return &r;
  return nullptr;
}

// Every text drawn, or every drawing of one text.
inline std::vector<DrawRecord> Texts(const std::vector<DrawRecord>& draws, const std::string& text = {}) {
  std::vector<DrawRecord> out;
  for (const DrawRecord& r : draws)
    if (r.kind == DrawRecord::TEXT && (text.empty() || r.text == text)) out.push_back(r);
  return out;
}

inline int CountKind(const std::vector<DrawRecord>& frame, DrawRecord::Kind kind) {
  int n = 0;
  for (const DrawRecord& r : frame) n += r.kind == kind;
  return n;
}

// The status `f` ended the program with; -1 when it did not end it.
template <typename F>
int ExitStatus(F f) {
  try {
    f();
  } catch (const HeadlessExit& e) {
    return e.status;
  }
  return -1;
}

// What `f` wrote on standard error.
template <typename F>
std::string Said(F f) {
  testing::internal::CaptureStderr();
  f();
  return testing::internal::GetCapturedStderr();
}

// Standard error said one line, and it holds `text`.
inline void ExpectSaidOnce(const std::string& said, const std::string& text) {
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find(text), std::string::npos) << said;
}

// A key pressed and let go before the next frame: one hit.
inline void TapKey(int code) {
  HeadlessKey(code, true);
  HeadlessKey(code, false);
}

//------------------------------------------------------------------------------
// Fixtures
//------------------------------------------------------------------------------

// The media layer alone, fresh: no draws, input, hooks or resources, the
// drawing state as at start; a private folder in `dir`.
class MediaTest : public ::testing::Test {
 protected:
  TempDir dir{"media"};
  void SetUp() override {
    UseHeadlessBackend();
    HeadlessReset();
  }
  void TearDown() override { HeadlessReset(); }
};

// As at start-up, before StartUp: the headless back end fresh, the game's
// hooks registered as main does, every global at its start value.
inline void FreshProgram() {
  UseHeadlessBackend();
  HeadlessReset();
  RegisterGameHooks();
  ResetGlobals();
  SetFileRoots("", "");  // names taken from the current folder until a test or StartUp says otherwise
}

// A fresh program for every test with a private folder, `temp`; the log, the
// current folder and every global are put back afterwards.
class ProgramTest : public ::testing::Test {
 protected:
  fs::path startDir = fs::current_path();
  TempDir temp{"unit"};

  void SetUp() override { FreshProgram(); }
  void TearDown() override {
    if (LogFile) CloseFile(LogFile);
    HeadlessReset();
    ResetGlobals();
    fs::current_path(startDir);
  }

  // A window as ApplyGraphics leaves it (ScreenWidth and the drawing area
  // set, GraphicsReady), without loading anything.
  static void OpenTestDisplay(int w = 800, int h = 600) {
    ScreenWidth = w;
    ScreenHeight = h;
    OpenDisplay(w, h, 0, 60, 0);
    SetVirtualResolution(static_cast<float>(VirtualWidth), static_cast<float>(VirtualHeight));
    GraphicsReady = 1;
  }

  // Settings slots given values, as the panel or the setup file would.
  static void SetSettings(std::initializer_list<std::pair<int, int>> slots) {
    for (auto [slot, value] : slots) Settings[slot] = value;
  }

  // A 1280 x 960 window showing the 1280 x 960 drawing area one to one.
  static void OpenDrawingArea() {
    OpenDisplay(1280, 960, 0, 60, 0);
    SetVirtualResolution(1280, 960);
  }
};

// The shell as after start-up: a private tree <temp>/Files/{Common,239} with
// an empty Common/, the current folder at Files/239/, the default keys and
// settings.
class ShellTest : public ProgramTest {
 protected:
  fs::path root = temp.path, files = root / "Files", game = files / "239";

  // Common/ becomes the build's staged fonts and pictures: a link, or a copy
  // where links cannot be made (Windows).
  void UseStagedCommon() {
    fs::remove_all(files / "Common");
    std::error_code ec;
    fs::create_directory_symlink(fs::path(DataDir()) / "Common", files / "Common", ec);
    if (ec) fs::copy(fs::path(DataDir()) / "Common", files / "Common", fs::copy_options::recursive);
  }

  void SetUp() override {
    ProgramTest::SetUp();
    SetDefaultKeys();
    SetDefaultSettings();
    AudioDriverNames = AudioDriverList();
    fs::create_directories(files / "Common");
    fs::create_directories(game);
    ChangeDir(game.string());
    SetFileRoots(files.string(), files.string());
    LastFrameTime = Millisecs();
  }

  // Every cleared frame costs 50 ms more, found at the next sleep: the engine
  // test then ends after 16 frames, and other waits keep their length.
  static void SlowMachine() {
    HeadlessOnDelay([] {
      if (CountKind(HeadlessDraws(), DrawRecord::CLEAR) == 0) return;
      HeadlessClearDraws();
      HeadlessSetClock(static_cast<uint32_t>(Millisecs() + 50));
    });
  }

  // The log of this test, written in Files/ like the program's.
  void OpenLog() { LogFile = WriteFile((files / "Debug.txt").string()); }
  std::vector<std::string> CloseLog() {
    CloseFile(LogFile);
    LogFile = nullptr;
    return ReadLines(files / "Debug.txt");
  }
};

// The score table's screens: a 1280 x 960 drawing area, the test's folder as
// the game folder.
class ScoresTest : public ProgramTest {
 protected:
  const fs::path& dir = temp.path;

  void SetUp() override {
    ProgramTest::SetUp();
    OpenDrawingArea();
    ASSERT_TRUE(ChangeDir(dir.string()));
  }
  void WriteBytes(const std::string& name, const std::string& bytes) { support::WriteBytes(dir / name, bytes); }
  std::string ReadBytes(const std::string& name) { return support::ReadBytes(dir / name); }
};

inline Scores Record(int64_t score, int64_t stamp, const std::string& name = "Wen", int mode = 1) {
  Scores s;
  s.Score = score;
  s.Timestamp = stamp;
  s.Name = name;
  s.GameMode = mode;
  return s;
}

// A folder of this test process's own, removed when the process ends: the
// hand-made art is drawn once per process.
inline const std::string& ProcessDir() {
  static std::string dir;
  if (!dir.empty()) return dir;
  dir = (fs::temp_directory_path() / ("wenhod-game-" + std::to_string(getpid()))).string();
  fs::create_directories(dir);
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  });
  return dir;
}

// A 4 x 4 sheet of square cells, each holding an opaque box of the given size
// centred in the cell.
inline void WriteSheet(const std::string& file, int cell, int box) {
  const int lo = (cell - box) / 2;
  WritePng(file, cell * 4, cell * 4, [&](int x, int y) {
    const int cx = x % cell, cy = y % cell;
    return cx >= lo && cx < lo + box && cy >= lo && cy < lo + box ? Rgba(255, 0, 0) : 0u;
  });
}

// Hand-made sheets: heroes fill their 64-pixel cells, birds their 128-pixel
// cells, blocks (scenery) and pickups are boxes of half their cell, so the
// contact geometry is easy to reason about. Written once per process.
inline std::string MakeTestArt() {
  static bool made = false;
  std::string dir = JoinPath(ProcessDir(), GameFolder());
  dir.pop_back();  // the slash
  if (made) return dir;
  fs::create_directories(dir);
  for (const char* f : {"wenhod.png", "wenhodVarno.png", "wenhod2.png", "wenhodVarno2.png"})
    WriteSheet(dir + "/" + f, 64, 64);
  for (const char* f : {"Gullwick.png", "GullwickVarno.png", "Gullwick2.png", "GullwickVarno2.png"})
    WriteSheet(dir + "/" + f, 128, 128);
  WriteSheet(dir + "/scenery.png", 128, 64);
  WriteSheet(dir + "/gets.png", 64, 32);
  WriteSheet(dir + "/inavarnocostume.png", 64, 64);
  made = true;
  return dir;
}

// The data root whose game folder is dir (a "239" folder); the player root stays.
inline void UseGameFolder(const std::string& dir) { SetFileRoots(fs::path(dir).parent_path().string(), PlayerRoot()); }

// The staged art folder, or "" when the build has not staged it.
inline std::string StagedArt() {
  const std::string dir = DataDir() + "/239";
  for (const char* f : {"wenhod.png", "Gullwick.png", "scenery.png", "gets.png"})
    if (DataDir().empty() || FileType(dir + "/" + f) != 1) return "";
  return dir;
}

// The game's own tests: a 1280 x 960 drawing area, full volumes, a sprite
// budget that never drops a draw, a round in play.
class GameTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    SetDefaultKeys();
    Settings[SET_MASTER] = 100;
    Settings[SET_SOUND] = 100;
    SpriteLimit[1] = SpriteLimit[2] = SpriteLimit[3] = 50000;
    OpenDrawingArea();
    GameState = 1;
    ChangeDir(temp.path.string());  // a one-player round saves the score list here
  }

  // Loads the game's sheets from a game folder with the game's image loader.
  static void LoadSheets(const std::string& dir) {
    AutoMidHandle(true);
    const std::string data = DataRoot();
    UseGameFolder(dir);
    LoadGameImages();
    SetFileRoots(data, PlayerRoot());
  }

  // Every effect number 1 to 15 gets the same short beep.
  void LoadTestSounds() {
    const std::string wav = temp / "beep.wav";
    WriteWav(wav, 100);
    for (int i = 1; i <= 15; i++) Sounds[i] = LoadSound(wav, 0);
    ASSERT_NE(Sounds[1], 0);
  }

  // A round past its opening: heroes under control, the world in costume.
  static void StartPlaying(int difficulty) {
    Difficulty = difficulty;
    StartRound();
    Round.walker = VirtualWidth / 2;
    Round.opening = 90;
    Round.fade = 1;
    int k = 0;
    for (ayer& h : HeroList) {
      h.x = k++ == 0 ? VirtualWidth / 2 : VirtualWidth / 2 + 200;
      h.y = VirtualHeight - 126;
    }
  }

  // The same without birds; answers the first hero.
  static ayer& StartAlone(int difficulty) {
    StartPlaying(difficulty);
    BirdList.clear();
    return HeroList.front();
  }

  // Effect numbers played since the last sound clear, in order.
  static std::vector<int> PlayedSounds() {
    std::vector<int> out;
    for (const SoundRecord& r : HeadlessSounds()) {
      if (r.kind != SoundRecord::CUE) continue;
      for (int i = 1; i <= 200; i++) {
        if (Sounds[i] == r.sound) {
          out.push_back(i);
          break;
        }
      }
    }
    return out;
  }

  static void Frames(int n) {
    for (int i = 0; i < n; i++) RoundFrame();
  }
};

}  // namespace support
