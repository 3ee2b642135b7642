// random.cpp — the program's one generator. The arithmetic is fixed: saved
// pictures (the pause menu's scattered titles) depend on the exact sequence.
#include "media/random.h"

#include "media/core.h"

namespace {
void Step() {
  // Schrage's method: 48271 * state mod (2^31 - 1) without overflow.
  int32_t hi = g_media.random / 44488;
  int32_t lo = g_media.random % 44488;
  int32_t next = 48271 * lo - 3399 * hi;
  if (next < 0) next += 2147483647;
  g_media.random = next;
}
}  // namespace

void SeedRnd(int32_t seed) {
  int32_t s = seed & 0x7FFFFFFF;
  g_media.random = (s == 0 || s == 2147483647) ? 4660 : s;
}

int32_t RndState() { return g_media.random; }

double Rnd() {
  Step();
  double a = g_media.random & 0x1FFFFFFC;
  Step();
  double b = g_media.random & 0x1FFFFFF8;
  return (a + b / 134217728.0) / 536870912.0;
}

double Rnd(double lo, double hi) {
  double r = Rnd();
  return hi > lo ? lo + r * (hi - lo) : hi + r * (lo - hi);
}

int Rand(int lo, int hi) {
  double r = Rnd();
  // In 64 bits: the bounds may span the whole int range.
  int64_t d = static_cast<int64_t>(hi) - lo;
  if (d > 0) return static_cast<int>(lo + static_cast<int64_t>(r * static_cast<double>(d + 1)));
  return static_cast<int>(hi + static_cast<int64_t>(r * static_cast<double>(1 - d)));
}
