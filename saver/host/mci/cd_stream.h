#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

#include "saver/host/mci/cd_disc.h"
#include "saver/host/mci/pcm_output.h"

namespace velmora {

// Plays a run of CD sectors into the sound output. Its own reader thread, the only user of the
// drive, keeps a short buffer filled and the output's thread takes from it, so a slow drive
// holds up neither the sound nor the caller: play, stop and the queries never wait for a read.
// Only destruction waits for the read in progress.
class CdStream final : public PcmSource {
  public:
    // Nothing plays until Play; Position() reads `position` until then.
    CdStream(CdDrive& drive, std::int32_t position);
    CdStream(const CdStream&) = delete;
    CdStream& operator=(const CdStream&) = delete;
    ~CdStream();

    // Plays the sectors [first, end) in place of what played before.
    void Play(std::int32_t first, std::int32_t end);
    // Stops; Position() keeps the sector reached.
    void Stop();
    void Pause();
    void Resume();

    // True from Play until the last sector has been heard or Stop; paused or not.
    bool Playing() const;
    bool Paused() const;
    // The sector being heard.
    std::int32_t Position() const;

    void MixInto(std::span<std::int16_t> samples) noexcept override;

  private:
    void Read(const std::stop_token& stop);

    CdDrive& drive_;
    mutable std::mutex mutex_;
    std::condition_variable_any room_;  // signalled when the output has taken samples
    std::vector<std::int16_t> buffer_;  // a ring of samples read but not yet heard
    std::size_t buffer_start_ = 0;
    std::size_t buffer_count_ = 0;
    std::int32_t first_ = 0;
    std::int32_t end_ = 0;
    std::int32_t next_read_ = 0;
    std::int64_t frames_heard_ = 0;
    bool playing_ = false;
    bool paused_ = false;
    std::uint64_t generation_ = 0;  // counts plays and stops; a read begun before one is dropped
    std::jthread reader_;           // last, so that it ends before the state it uses goes
};

}  // namespace velmora
