// voices.h — inside the media layer: the channel bookkeeping both sound
// outputs share. Channel ids are index + 1.
//
// Callers hand out channel ids freely and drop the ones that finished, so
// finished channels are recycled: the one cued longest ago goes first, and a
// small pool is always grown before any reuse so that a channel that ended
// this very frame is not handed out again while someone may still hold it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

enum class VoiceState { FRESH, CUED, STARTED, STOPPED };

// Voice is the output's own record with `VoiceState state` and
// `uint64_t cueSeq` among its fields.
template <typename Voice>
class VoicePool {
 public:
  explicit VoicePool(size_t maxVoices) : max_(maxVoices) {}

  std::vector<Voice>& All() { return voices_; }

  Voice* Find(int channel) {
    if (channel < 1 || static_cast<size_t>(channel) > voices_.size()) return nullptr;
    return &voices_[static_cast<size_t>(channel) - 1];
  }

  int Channel(const Voice& v) const { return static_cast<int>(&v - voices_.data()) + 1; }

  // The voice for a new channel, 0 when none: a new one from make() (a
  // std::optional<Voice>; empty when the device has no more) while the pool
  // is small or nothing has finished, else the finished voice cued longest
  // ago. sounding(v) tells whether a started voice still sounds.
  template <typename Make, typename Sounding>
  Voice* Pick(Make make, Sounding sounding) {
    Voice* pick = voices_.size() >= kPoolBeforeReuse ? OldestFinished(sounding) : nullptr;
    if (!pick && voices_.size() < max_) {
      if (std::optional<Voice> fresh = make()) {
        voices_.push_back(std::move(*fresh));
        pick = &voices_.back();
      }
    }
    if (!pick) pick = OldestFinished(sounding);  // out of voices: reuse after all
    return pick;
  }

  void Cued(Voice& v) {
    v.state = VoiceState::CUED;
    v.cueSeq = ++seq_;
  }
  // True when it was cued and now counts as started.
  static bool Start(Voice& v) {
    if (v.state != VoiceState::CUED) return false;
    v.state = VoiceState::STARTED;
    return true;
  }
  static void Stop(Voice& v) {
    if (v.state != VoiceState::FRESH) v.state = VoiceState::STOPPED;
  }

 private:
  static constexpr size_t kPoolBeforeReuse = 32;

  template <typename Sounding>
  Voice* OldestFinished(Sounding sounding) {
    Voice* best = nullptr;
    for (Voice& v : voices_) {
      const bool finished = v.state == VoiceState::STOPPED || (v.state == VoiceState::STARTED && !sounding(v));
      if (finished && (!best || v.cueSeq < best->cueSeq)) best = &v;
    }
    return best;
  }

  std::vector<Voice> voices_;
  size_t max_;
  uint64_t seq_ = 0;
};
