#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>

#include "saver/host/mci/cd_disc.h"
#include "saver/host/mci/pcm_output.h"

namespace velmora {

// How long closing waits for a drive read in progress. A read that takes longer (a scratched
// disc, a drive that hangs) finishes on its own, and its thread then frees the drive.
inline constexpr std::chrono::milliseconds kCdCloseWait{200};

// Plays a run of CD sectors into the sound output. Its own reader thread, the only user of the
// drive, keeps a short buffer filled and the output's thread takes from it, so a slow drive
// holds up neither the sound nor the caller: play, stop and the queries never wait for a read,
// and destruction waits for one at most kCdCloseWait. After each read the reader asks the drive
// whether the disc is still the one it was; once it is not, nothing plays any more.
class CdStream final : public PcmSource {
  public:
    // Nothing plays until Play; Position() reads `position` until then.
    CdStream(std::unique_ptr<CdDrive> drive, std::int32_t position);
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
    // True once the disc has been found taken out or changed.
    bool DiscGone() const;

    void MixInto(std::span<std::int16_t> samples) noexcept override;

  private:
    // Everything the reader uses; it lives until both the stream and the reader have let go.
    struct State;
    static void Read(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
    std::thread reader_;
};

}  // namespace velmora
