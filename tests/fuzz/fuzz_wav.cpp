// Feeds arbitrary bytes to the WAV decoder, as a file by name (the way the
// game loads its sounds) and as a memory block: it must answer false or give
// whole frames, never crash, and both ways must read the same.
#include <cstddef>
#include <cstdint>

#include "media/backend.h"

#include "fuzz_support.h"

const char* const kFuzzTarget = "wav";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SoundData snd, fromFile;
  const bool ok = DecodeWavMemory(data, size, snd);
  Check(DecodeWav(InputFile(data, size), fromFile) == ok, "the file and the memory block read differently");
  if (ok) {
    Check(snd.samples.size() % static_cast<size_t>(snd.channels) == 0, "a part frame");
    Check(snd.samples == fromFile.samples && snd.channels == fromFile.channels && snd.rate == fromFile.rate,
          "the file and the memory block gave different sounds");
  }
  return 0;
}
