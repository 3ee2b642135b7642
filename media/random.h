// random.h — the one program-wide pseudo-random generator.
//
// Minimal-standard multiplicative generator (multiplier 48271, modulus
// 2^31 - 1) computed without overflow. The game's feel and the pause menu's
// picture depend on its exact sequence, so the arithmetic here is fixed.
#pragma once

#include <cstdint>

void SeedRnd(int32_t seed);        // top bit cleared; 0 and 2^31-1 become 4660
int32_t RndState();                // current state (4660 at start)
double Rnd();                      // real in [0, 1)
double Rnd(double lo, double hi);  // real between the bounds, either order
int Rand(int lo, int hi);          // integer between the bounds inclusive, either order
