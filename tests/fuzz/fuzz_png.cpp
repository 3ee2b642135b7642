// Feeds arbitrary bytes to the PNG decoder, as a file by name (the way the
// game loads its pictures) and as a memory block: it must answer false or
// give every pixel, never crash, and both ways must read the same.
//
// A changed byte inside a chunk almost always breaks its checksum, and libpng
// then stops at that chunk: the checksums are put right first, so changes
// reach the image data and the decoder behind it. The bytes as given are read
// too when that changed them, for the damaged-checksum path.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "media/backend.h"

#include "fuzz_support.h"

const char* const kFuzzTarget = "png";

namespace {

constexpr size_t kSignature = 8;

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

// Every whole chunk's CRC set to match its type and body.
std::vector<uint8_t> RightChecksums(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out(data, data + size);
  size_t at = kSignature;
  while (size >= kSignature && at + 12 <= size) {
    const size_t body = Get32(&out[at]);
    if (body > size - at - 12) break;
    const uLong crc = crc32(0, &out[at + 4], static_cast<uInt>(body + 4));
    for (int i = 0; i < 4; ++i) out[at + 8 + body + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + body;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> fixed = RightChecksums(data, size);
  if (size > 0 && std::memcmp(fixed.data(), data, size) != 0) {
    int w = 0, h = 0;
    std::vector<uint32_t> rgba;
    if (DecodePngMemory(data, size, w, h, rgba))
      Check(w > 0 && h > 0 && rgba.size() == static_cast<size_t>(w) * h, "pixel count");
  }
  int w = 0, h = 0, fileW = 0, fileH = 0;
  std::vector<uint32_t> rgba, fromFile;
  const bool ok = DecodePngMemory(fixed.data(), size, w, h, rgba);
  Check(DecodePng(InputFile(fixed.data(), size), fileW, fileH, fromFile) == ok,
        "the file and the memory block read differently");
  if (ok) {
    Check(w > 0 && h > 0 && rgba.size() == static_cast<size_t>(w) * h, "pixel count");
    Check(w == fileW && h == fileH && rgba == fromFile, "the file and the memory block gave different pictures");
  }
  return 0;
}
