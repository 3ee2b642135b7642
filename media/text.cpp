// text.cpp — the string and number helpers. Strings hold one byte per
// character (ISO 8859-1); positions are 1-based.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "media/backend.h"

std::string Mid(const std::string& s, int pos, int len) {
  // The window [pos, pos + len) clipped to the text, in 64 bits so huge
  // arguments cannot overflow.
  int64_t n = static_cast<int64_t>(s.size());
  int64_t first = pos;
  int64_t last = len < 0 ? n + 1 : first + len;  // one past the end, 1-based
  if (first < 1) first = 1;
  if (last > n + 1) last = n + 1;
  if (last <= first) return {};
  return s.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first));
}

std::string Left(const std::string& s, int n) {
  if (n <= 0) return {};
  return s.substr(0, static_cast<size_t>(n));
}

std::string Right(const std::string& s, int n) {
  if (n <= 0) return {};
  if (static_cast<size_t>(n) >= s.size()) return s;
  return s.substr(s.size() - static_cast<size_t>(n));
}

int Instr(const std::string& s, const std::string& sub, int start) {
  if (start < 1) start = 1;
  if (static_cast<size_t>(start) - 1 > s.size()) return 0;
  size_t at = s.find(sub, static_cast<size_t>(start) - 1);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Replace(const std::string& s, const std::string& from, const std::string& to) {
  if (from.empty()) return s;
  std::string out;
  size_t at = 0;
  for (;;) {
    size_t next = s.find(from, at);
    if (next == std::string::npos) break;
    out.append(s, at, next - at);
    out += to;
    at = next + from.size();
  }
  out.append(s, at, std::string::npos);
  return out;
}

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= 32) ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= 32) --b;
  return s.substr(a, b - a);
}

// ISO 8859-1 case: a-z and the accented letters 224..254 except the
// division sign 247 pair with the code 32 below.
std::string Upper(const std::string& s) {
  std::string out = s;
  for (char& ch : out) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 224 && c <= 254 && c != 247)) ch = static_cast<char>(c - 32);
  }
  return out;
}

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& ch : out) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215)) ch = static_cast<char>(c + 32);
  }
  return out;
}

int Asc(const std::string& s) { return s.empty() ? -1 : static_cast<unsigned char>(s[0]); }

// Codes above 255 keep their low byte, as when written to a file.
std::string Chr(int code) { return std::string(1, static_cast<char>(code & 0xFF)); }

std::string Str(int64_t n) { return std::to_string(n); }

int64_t ToInt64(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n' || s[i] == '\v' || s[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const uint64_t cap = static_cast<uint64_t>(INT64_MAX) + 1;  // |INT64_MIN|
  uint64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    const auto digit = static_cast<uint64_t>(s[i] - '0');
    v = v > (cap - digit) / 10 ? cap : v * 10 + digit;  // saturated; further digits change nothing
  }
  if (negative) return v == cap ? INT64_MIN : -static_cast<int64_t>(v);
  return v >= cap ? INT64_MAX : static_cast<int64_t>(v);
}

int ToInt(const std::string& s) { return static_cast<int>(std::clamp<int64_t>(ToInt64(s), INT_MIN, INT_MAX)); }

std::string ZeroPad(int64_t n, int digits) {
  return Right(std::string(static_cast<size_t>(std::max(digits, 0)), '0') + Str(n), digits);
}

int SafeAbs(int n) {
  if (n == INT_MIN) return INT_MAX;
  return n < 0 ? -n : n;
}

int TruncInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT_MAX;
  if (v <= -2147483648.0) return INT_MIN;
  return static_cast<int>(v);
}

void SinCosDeg(double degrees, double& s, double& c) {
  s = 0;
  c = 1;
  if (!std::isfinite(degrees)) return;
  // Reduced first so whole quarter turns come out exact (sin 180 = 0), and
  // 90 and 180 degree placements land on whole pixels.
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360;
  if (d == 0) return;
  if (d == 90) {
    s = 1;
    c = 0;
    return;
  }
  if (d == 180) {
    s = 0;
    c = -1;
    return;
  }
  if (d == 270) {
    s = -1;
    c = 0;
    return;
  }
  const double r = d * (std::numbers::pi / 180.0);
  s = std::sin(r);
  c = std::cos(r);
}

std::string FieldOf(const std::string& text, const std::string& sep, int n) {
  // An empty separator is never found: the text is one field.
  auto find = [&sep](const std::string& t, int from) { return sep.empty() ? 0 : Instr(t, sep, from); };
  std::string t = Trim(text);
  int start = 1, last = 0;
  bool missing = false;
  // Once a field is missing every later one is too, so the walk can stop.
  for (int k = 1; k < n && !missing; k++) {
    int p = find(t, start) + 1;
    if (p <= last) {
      missing = true;
    } else {
      last = p;
    }
    start = last;
  }
  if (missing) return "-+-";
  int length = find(t, start) - start;
  return Mid(t, start, length);
}

// Back ends get typed text as UTF-8; the program's text is one byte per
// character, so only code points up to 255 are kept.
void TypeUtf8(const char* utf8, InputState& in) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p) {
    unsigned cp;
    int extra;
    if (*p < 0x80) {
      cp = *p;
      extra = 0;
    } else if ((*p & 0xE0) == 0xC0) {
      cp = *p & 0x1F;
      extra = 1;
    } else if ((*p & 0xF0) == 0xE0) {
      cp = *p & 0x0F;
      extra = 2;
    } else if ((*p & 0xF8) == 0xF0) {
      cp = *p & 0x07;
      extra = 3;
    } else {
      ++p;
      continue;
    }
    ++p;
    bool ok = true;
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = cp << 6 | (*p & 0x3F);
    }
    if (ok && cp >= 32 && cp <= 255) in.typed.push_back(static_cast<int>(cp));
  }
}
