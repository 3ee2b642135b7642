// sine.cpp — the sine the game's rules use, the same on every build. The
// system libraries round some sines differently (mingw's and Emscripten's
// are a bit off in the last place), and a hero's height truncated to a pixel
// then differs. Here the sine of the radian argument is worked out in twice
// the precision of a double with plain additions and multiplications, which
// every IEEE machine does alike, and rounded once: the correctly rounded
// result, which is also what glibc gives.
#include <cmath>
#include <numbers>

#include "media/media.h"

namespace {

// A value as an unevaluated sum hi + lo, |lo| at most half an ulp of hi.
struct Dd {
  double hi = 0, lo = 0;
};

Dd TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

Dd QuickTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// Dekker's exact product, without relying on a fused multiply-add.
Dd TwoProduct(double a, double b) {
  constexpr double kSplit = 134217729.0;  // 2^27 + 1
  const double p = a * b;
  const double ta = kSplit * a, tb = kSplit * b;
  const double ah = ta - (ta - a), al = a - ah;
  const double bh = tb - (tb - b), bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

Dd Add(Dd a, Dd b) {
  Dd s = TwoSum(a.hi, b.hi);
  s.lo += a.lo + b.lo;
  return QuickTwoSum(s.hi, s.lo);
}

Dd Mul(Dd a, Dd b) {
  Dd p = TwoProduct(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return QuickTwoSum(p.hi, p.lo);
}

Dd Div(Dd a, double d) {  // by a small whole number
  const double q1 = a.hi / d;
  const Dd back = TwoProduct(q1, d);
  const double q2 = ((a.hi - back.hi) - back.lo + a.lo) / d;
  return QuickTwoSum(q1, q2);
}

// pi / 2 to about 160 bits, in three parts.
constexpr double kHalfPi1 = 1.5707963267948966, kHalfPi2 = 6.123233995736766e-17, kHalfPi3 = -1.4973849048591698e-33;

// sin y (cosine: false) or cos y (true) for |y| <= pi / 4, by the series to
// well past the precision kept.
Dd Series(Dd y, bool cosine) {
  const Dd y2 = Mul(y, y);
  Dd term = cosine ? Dd{1, 0} : y;
  Dd sum = term;
  for (int n = cosine ? 0 : 1; n < 40; n += 2) {
    term = Div(Mul(term, y2), -static_cast<double>((n + 1) * (n + 2)));
    sum = Add(sum, term);
    if (std::fabs(term.hi) < 1e-40) break;
  }
  return sum;
}

double ExactSin(double r) {
  // r less the nearest multiple of pi / 2, in double-double.
  const double k = std::nearbyint(r / kHalfPi1);
  const Dd k1 = TwoProduct(-k, kHalfPi1), k2 = TwoProduct(-k, kHalfPi2);
  Dd y = Add(Dd{r, 0}, k1);
  y = Add(y, k2);
  y = Add(y, Dd{-k * kHalfPi3, 0});
  const int quarter = static_cast<int>(std::fmod(std::fmod(k, 4.0) + 4.0, 4.0));
  Dd v = Series(y, quarter % 2 == 1);
  if (quarter >= 2) v = {-v.hi, -v.lo};
  return v.hi + v.lo;
}

}  // namespace

double SinDeg(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  // Reduced first so whole quarter turns come out exact (sin 180 = 0).
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360;
  if (d == 0 || d == 180) return 0;
  if (d == 90) return 1;
  if (d == 270) return -1;
  return ExactSin(d * (std::numbers::pi / 180.0));
}
