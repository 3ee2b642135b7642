// Feeds arbitrary bytes to the PNG decoder: it must answer false, never crash.
#include <cstddef>
#include <cstdint>

#include "media/backend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int w = 0, h = 0;
  std::vector<uint32_t> rgba;
  if (DecodePngMemory(data, size, w, h, rgba)) {
    // Use the pixels so the decode cannot be optimised away.
    uint32_t sum = 0;
    for (uint32_t p : rgba) sum += p;
    if (rgba.size() != static_cast<size_t>(w) * h) __builtin_trap();
    return static_cast<int>(sum & 0);
  }
  return 0;
}
