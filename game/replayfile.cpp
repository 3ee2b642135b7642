// replayfile.cpp — the replay file: fixed-width little-endian fields, the
// inputs as runs, the events, and a checksum over everything before it. The
// reader trusts nothing: every count is checked against the bytes left, the
// frames against the ceiling of an hour's play, and the runs must cover
// exactly the frames the header gives.
#include <cstring>

#include "game/replay.h"

namespace {

constexpr char kMagic[4] = {'W', 'H', 'R', 'P'};
constexpr uint8_t kVersion = 1;
constexpr size_t kMinRunBytes = 2, kEventBytes = 13;

uint32_t Checksum(const std::string& bytes, size_t length) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < length; ++i) {
    h ^= static_cast<uint8_t>(bytes[i]);
    h *= 16777619u;
  }
  return h;
}

struct Writer {
  std::string out;
  void U8(uint8_t v) { out += static_cast<char>(v); }
  void U16(uint16_t v) {
    for (int i = 0; i < 2; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Varint(uint32_t v) {  // seven bits a byte, low first
    while (v >= 0x80) {
      U8(static_cast<uint8_t>(v | 0x80));
      v >>= 7;
    }
    U8(static_cast<uint8_t>(v));
  }
};

struct Reader {
  const std::string& in;
  size_t at = 0;
  size_t end;
  bool Has(size_t n) const { return end - at >= n; }
  uint64_t Bytes(int n) {
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= uint64_t{static_cast<uint8_t>(in[at + static_cast<size_t>(i)])} << (8 * i);
    at += static_cast<size_t>(n);
    return v;
  }
  uint8_t U8() { return static_cast<uint8_t>(Bytes(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Bytes(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Bytes(4)); }
  uint64_t U64() { return Bytes(8); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // False for a number cut short or longer than five bytes.
  bool Varint(uint32_t& v) {
    v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      if (!Has(1)) return false;
      const uint8_t b = U8();
      v |= static_cast<uint32_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return true;
    }
    return false;
  }
};

constexpr size_t kHeaderBytes = 4 + 1 + 3 + 4 + 4 + 4 + 4 + 1 + 8 + 8 + 4 + 4;

bool Fail(std::string& why, const char* reason) {
  why = reason;
  return false;
}

}  // namespace

std::string EncodeReplay(const Replay& r) {
  Writer w;
  w.out.append(kMagic, 4);
  w.U8(kVersion);
  w.U8(r.difficulty);
  w.U8(r.widescreen);
  w.U8(r.slowSystem);
  w.U16(r.width);
  w.U16(r.height);
  w.I32(r.seed);
  w.I32(r.spriteLimit);
  w.U32(r.frames);
  w.U8(r.endState);
  w.I32(r.scores[0]);
  w.I32(r.scores[1]);
  w.U64(r.endHash);
  w.U32(static_cast<uint32_t>(r.runs.size()));
  w.U32(static_cast<uint32_t>(r.events.size()));
  for (const ReplayRun& run : r.runs) {
    w.U8(run.input);
    w.Varint(run.frames);
  }
  for (const ReplayEvent& e : r.events) {
    w.U32(e.frame);
    w.I32(e.rng);
    w.U16(e.width);
    w.U16(e.height);
    w.U8(e.quit);
  }
  w.U32(Checksum(w.out, w.out.size()));
  return w.out;
}

bool DecodeReplay(const std::string& bytes, Replay& out, std::string& why) {
  out = Replay{};
  if (bytes.size() < 4 || std::memcmp(bytes.data(), kMagic, 4) != 0) return Fail(why, "not a replay of this game");
  if (bytes.size() > kReplayMaxBytes) return Fail(why, "too large to be a replay");
  if (bytes.size() < kHeaderBytes + 4) return Fail(why, "the replay is cut short");
  Reader in{bytes, 4, bytes.size() - 4};
  if (in.U8() != kVersion) return Fail(why, "a replay of another version of the game");
  const size_t checked = bytes.size() - 4;
  Reader sum{bytes, checked, bytes.size()};
  if (sum.U32() != Checksum(bytes, checked)) return Fail(why, "the replay is damaged");

  Replay r;
  r.difficulty = in.U8();
  r.widescreen = in.U8();
  r.slowSystem = in.U8();
  r.width = in.U16();
  r.height = in.U16();
  r.seed = in.I32();
  r.spriteLimit = in.I32();
  r.frames = in.U32();
  r.endState = in.U8();
  r.scores[0] = in.I32();
  r.scores[1] = in.I32();
  r.endHash = in.U64();
  const uint32_t runs = in.U32(), events = in.U32();
  if (r.difficulty > 3 || r.widescreen > 1 || r.slowSystem > 1 || r.width < 320 || r.width > 4096 || r.height < 240 ||
      r.height > 4096 || r.frames == 0 || (r.endState != 1 && r.endState != 99)) {
    return Fail(why, "the replay is damaged");
  }
  if (r.frames > kReplayMaxFrames) return Fail(why, "the replay claims more than an hour of play");
  // Counts are checked against the bytes there before anything is reserved.
  if (uint64_t{runs} * kMinRunBytes + uint64_t{events} * kEventBytes > in.end - in.at)
    return Fail(why, "the replay is damaged");
  r.runs.reserve(runs);
  uint64_t covered = 0;
  for (uint32_t i = 0; i < runs; ++i) {
    ReplayRun run;
    if (!in.Has(kMinRunBytes)) return Fail(why, "the replay is damaged");
    run.input = in.U8();
    if (!in.Varint(run.frames)) return Fail(why, "the replay is damaged");
    covered += run.frames;
    if (run.frames == 0 || run.input >= 1 << (2 * kReplayPlayerShift) || covered > r.frames)
      return Fail(why, "the replay is damaged");
    r.runs.push_back(run);
  }
  if (covered != r.frames || uint64_t{events} * kEventBytes != in.end - in.at)
    return Fail(why, "the replay is damaged");
  r.events.reserve(events);
  for (uint32_t i = 0; i < events; ++i) {
    ReplayEvent e;
    e.frame = in.U32();
    e.rng = in.I32();
    e.width = in.U16();
    e.height = in.U16();
    e.quit = in.U8();
    const bool ordered = r.events.empty() || r.events.back().frame < e.frame;
    if (!ordered || e.frame >= r.frames || e.quit > 1 || e.width < 320 || e.width > 4096 || e.height < 240 ||
        e.height > 4096)
      return Fail(why, "the replay is damaged");
    r.events.push_back(e);
  }
  out = std::move(r);
  why.clear();
  return true;
}
