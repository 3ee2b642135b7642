// Text helpers, field splitting, number conversion and the byte rules of text streams.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <clocale>
#include <cmath>
#include <numbers>
#include <tuple>

#include "media/backend.h"
#include "media/media.h"
#include "tests/unit/support.h"

using namespace support;

namespace fs = std::filesystem;

TEST(Text, Substrings) {
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 4), "def");
  EXPECT_EQ(Mid("abcdef", 4, -7), "def");
  EXPECT_EQ(Mid("abcdef", 0, 3), "ab");  // the window starts before the text
  EXPECT_EQ(Mid("abcdef", -5, 100), "abcdef");
  EXPECT_EQ(Mid("abcdef", 7, 2), "");
  EXPECT_EQ(Mid("abcdef", INT_MAX, INT_MAX), "");
  EXPECT_EQ(Mid("abcdef", 2, INT_MAX), "bcdef");
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 9), "abc");
  EXPECT_EQ(Left("abc", -1), "");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Right("abc", 9), "abc");
  EXPECT_EQ(Right("abc", 0), "");
}

TEST(Text, FindReplaceTrimCase) {
  EXPECT_EQ(Instr("hello world", "o"), 5);
  EXPECT_EQ(Instr("hello world", "o", 6), 8);
  EXPECT_EQ(Instr("hello world", "z"), 0);
  EXPECT_EQ(Instr("hello", "h", -3), 1);
  EXPECT_EQ(Instr("hello", "o", 99), 0);
  EXPECT_EQ(Replace("a,b,,c", ",", ";"), "a;b;;c");
  EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");  // no rescanning of the replacement
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Trim(std::string("\0\t  hi there \r\n", 15)), "hi there");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Upper("abz\xe9\xf7\xff"), "ABZ\xc9\xf7\xff");  // e-acute up, division sign and y-umlaut stay
  EXPECT_EQ(Lower("ABZ\xc9\xd7"), "abz\xe9\xd7");
  EXPECT_EQ(Asc(""), -1);
  EXPECT_EQ(Asc("\xe9x"), 233);
  EXPECT_EQ(Chr(65), "A");
  EXPECT_EQ(Asc(Chr(0x141)), 0x41);  // low byte kept
  EXPECT_EQ(Chr(0).size(), 1u);
}

TEST(Text, Numbers) {
  EXPECT_EQ(Str(-42), "-42");
  EXPECT_EQ(Str(INT64_MIN), "-9223372036854775808");
  const std::pair<std::string, int> toInt[] = {{"  -12ab", -12},
                                               {"abc", 0},
                                               {"", 0},
                                               {"+7", 7},
                                               {"- 7", 0},
                                               {"+-7", 0},
                                               {"\t\n 15", 15},
                                               {"99999999999", INT_MAX},
                                               {"-99999999999", INT_MIN},
                                               {"2147483647", INT_MAX},
                                               {"-2147483648", INT_MIN},
                                               {"2147483648", INT_MAX},
                                               {std::string(100, '9'), INT_MAX},
                                               {"-" + std::string(100, '9'), INT_MIN},
                                               {"000000000000000000000000000042", 42}};
  for (const auto& [text, want] : toInt) EXPECT_EQ(ToInt(text), want) << '"' << text << '"';
  EXPECT_EQ(SafeAbs(-5), 5);
  EXPECT_EQ(SafeAbs(INT_MIN), INT_MAX);
  EXPECT_EQ(TruncInt(2.9), 2);
  EXPECT_EQ(TruncInt(-2.9), -2);
  EXPECT_EQ(TruncInt(NAN), 0);
  EXPECT_EQ(TruncInt(1e20), INT_MAX);
  EXPECT_EQ(TruncInt(-1e20), INT_MIN);
  EXPECT_EQ(SinDeg(0), 0);
  EXPECT_EQ(SinDeg(90), 1);
  EXPECT_EQ(SinDeg(180), 0);
  EXPECT_EQ(SinDeg(-90), -1);
  EXPECT_EQ(SinDeg(450), 1);
  EXPECT_NEAR(SinDeg(30), 0.5, 1e-12);
  EXPECT_NEAR(SinDeg(-210), 0.5, 1e-12);
}

// The rules' sine is worked out by us so every build gets the same one: the
// correctly rounded sine. glibc's is a last place off now and then, but
// nowhere the rules look (jumps and pickups: quarter degrees from -6 to 180),
// so the picture of the Linux build stays as it was.
TEST(Numbers, SineIsGlibcsOwnAtEveryAngleTheGameUses) {
#if defined(__GLIBC__)
  auto library = [](double d) {
    double r = std::fmod(d, 360.0);
    if (r < 0) r += 360;
    return std::sin(r * (std::numbers::pi / 180.0));
  };
  for (int k = -24; k <= 720; ++k) {
    const double d = k * 0.25;
    if (std::fmod(d, 90.0) == 0) continue;  // exact at quarter turns, where the library is a hair off
    EXPECT_EQ(SinDeg(d), library(d)) << d;
  }
  // Any angle, as the pause menu's 0.4 steps give: a last place apart at most.
  uint32_t seed = 12345;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double d = seed / 4294967296.0 * 720.0 - 360.0, want = library(d);
    EXPECT_LE(std::fabs(SinDeg(d) - want), std::fabs(std::nextafter(want, 2.0) - want)) << d;
  }
#else
  GTEST_SKIP() << "compared with glibc's sine, which this build does not have";
#endif
}

// Row by row: FieldOf(text, separator, n) gives the field wanted.
static void ExpectFieldsOf(std::initializer_list<std::tuple<std::string, std::string, int, std::string>> rows) {
  for (const auto& [text, sep, n, want] : rows)
    EXPECT_EQ(FieldOf(text, sep, n), want) << text << " by " << sep << ", " << n;
}

TEST(FieldOf, FieldsBetweenSeparators) {
  ExpectFieldsOf({{"a=b=c", "=", 1, "a"},
                  {"a=b=c", "=", 2, "b"},
                  {"a=b=c", "=", 3, "c"},
                  {"a=b=c", "=", 4, "-+-"},
                  {"a==b", "=", 2, ""},
                  {"a==b", "=", 3, "b"},
                  {"a=", "=", 2, ""},
                  {"1,2", ",", 2, "2"},
                  // Outer blanks and control characters go first; inner spaces stay.
                  {"\t Key = 5 \r", "=", 1, "Key "},
                  {"\t Key = 5 \r", "=", 2, " 5"}});
}

TEST(FieldOf, TextWithoutSeparator) {
  ExpectFieldsOf({{"abc", "=", 1, "abc"},
                  {"abc", "=", 2, "abc"},  // field 2 with no separator is all of it
                  {"abc", "=", 3, "-+-"},
                  {"", "=", 1, ""},
                  {"", "=", 2, ""},
                  {"a=b", "=", 0, "a"},
                  {"a=b", "", 1, "a=b"},
                  {"a=b", "", 3, "-+-"},
                  {"a=b", "=", INT_MAX, "-+-"}});  // returns at once, no walk of two billion steps
}

TEST(TextFiles, ByteRulesOfLines) {
  TempDir dir;
  std::string f = dir / "t.txt";
  TextFile* w = WriteFile(f);
  ASSERT_NE(w, nullptr);
  WriteLine(w, "A");
  EXPECT_EQ(ReadBytes(f), "A\r\n");  // on disk at once: the log must outlive a crash
  WriteLine(w, "caf\xe9");
  EXPECT_TRUE(CloseFile(w));
  EXPECT_EQ(ReadBytes(f), "A\r\ncaf\xe9\r\n");

  // CR dropped anywhere, NUL ends a line, the last line needs no LF.
  WriteBytes(f, std::string("one\r\ntw\ro\nthree\0four\nlast", 25));
  TextFile* r = ReadFile(f);
  ASSERT_NE(r, nullptr);
  EXPECT_FALSE(Eof(r));
  EXPECT_EQ(ReadLine(r), "one");
  EXPECT_EQ(ReadLine(r), "two");
  EXPECT_EQ(ReadLine(r), "three");
  EXPECT_EQ(ReadLine(r), "four");
  EXPECT_FALSE(Eof(r));
  EXPECT_EQ(ReadLine(r), "last");
  EXPECT_TRUE(Eof(r));
  EXPECT_EQ(ReadLine(r), "");
  EXPECT_TRUE(CloseFile(r));

  // A trailing LF does not make an extra empty line.
  WriteBytes(f, "x\n");
  r = ReadFile(f);
  EXPECT_EQ(ReadLine(r), "x");
  EXPECT_TRUE(Eof(r));
  CloseFile(r);

  WriteBytes(f, "");
  r = ReadFile(f);
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(Eof(r));
  CloseFile(r);
}

TEST(TextFiles, NullStreamsAndFailures) {
  TempDir dir;
  EXPECT_EQ(ReadFile(dir / "missing.txt"), nullptr);
  EXPECT_EQ(ReadFile(dir.path.string()), nullptr);  // a folder is not a text file
  EXPECT_EQ(WriteFile(dir / "no/such/folder.txt"), nullptr);
  EXPECT_TRUE(Eof(nullptr));
  EXPECT_EQ(ReadLine(nullptr), "");
  WriteLine(nullptr, "ignored");
  EXPECT_FALSE(CloseFile(nullptr));

  // A full device: the write fails and closing says so.
  if (fs::exists("/dev/full")) {
    TextFile* w = WriteFile("/dev/full");
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 2000; ++i) WriteLine(w, std::string(100, 'x'));
    EXPECT_FALSE(CloseFile(w));
  }
}

TEST(Folders, TypesRenameDeleteAndChangeDir) {
  TempDir dir;
  std::string a = dir / "a.txt", b = dir / "b.txt";
  EXPECT_EQ(FileType(a), 0);
  EXPECT_EQ(FileType(dir.path.string()), 2);
  EXPECT_EQ(FileType(""), 0);
  WriteBytes(a, "new");
  WriteBytes(b, "old");
  EXPECT_EQ(FileType(a), 1);
  EXPECT_TRUE(RenameFile(a, b));  // replaces the old one
  EXPECT_EQ(FileType(a), 0);
  EXPECT_EQ(ReadBytes(b), "new");
  EXPECT_FALSE(RenameFile(a, b));
  EXPECT_FALSE(DeleteFile(dir.path.string()));  // folders are not deleted
  EXPECT_TRUE(DeleteFile(b));
  EXPECT_FALSE(DeleteFile(b));

  std::string before = CurrentDir();
  ASSERT_TRUE(ChangeDir(dir.path.string()));
  EXPECT_EQ(fs::path(CurrentDir()), fs::canonical(dir.path));
  EXPECT_FALSE(ChangeDir("no_such_folder"));
  EXPECT_FALSE(ChangeDir(""));
  ASSERT_TRUE(ChangeDir(before));
}

TEST(SystemText, DateAndTimeForms) {
  std::string d = CurrentDate();
  ASSERT_EQ(d.size(), 11u) << d;
  EXPECT_TRUE(isdigit(d[0]) && isdigit(d[1]) && d[2] == ' ' && d[6] == ' ');
  const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  EXPECT_EQ(months.find(d.substr(3, 3)) % 3, 0u) << d;
  EXPECT_NE(months.find(d.substr(3, 3)), std::string::npos) << d;
  std::string t = CurrentTime();
  ASSERT_EQ(t.size(), 8u) << t;
  EXPECT_EQ(t[2], ':');
  EXPECT_EQ(t[5], ':');
  EXPECT_LT(ToInt(t.substr(0, 2)), 24);

  // English whatever the locale asks for.
  const char* old = setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  if (setlocale(LC_ALL, "de_DE.UTF-8") || setlocale(LC_ALL, "fr_FR.UTF-8")) {
    EXPECT_NE(months.find(CurrentDate().substr(3, 3)), std::string::npos);
  }
  setlocale(LC_ALL, saved.c_str());

  EXPECT_GT(MemoryInUse(), 0);
  EXPECT_GE(ReleaseMemory(), 0);
}

// Typed UTF-8 keeps the characters the program's one-byte text can hold:
// printable ASCII and Latin-1; wider code points, control characters and
// broken sequences are dropped without losing what follows them.
TEST(Text, TypedUtf8KeepsLatin1) {
  InputState in;
  TypeUtf8(
      "a\xC3\xA9\xE2\x82\xAC\x01\xC3z\xF0\x9F\x98\x80\xFF"
      "b\xC3\xBF",
      in);
  const std::vector<int> typed(in.typed.begin(), in.typed.end());
  EXPECT_EQ(typed, (std::vector<int>{'a', 0xE9, 'z', 'b', 0xFF}));
}
