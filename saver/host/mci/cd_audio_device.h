#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "saver/host/mci/cd_disc.h"
#include "saver/host/mci/cd_stream.h"
#include "saver/host/mci/mci_device.h"
#include "saver/host/mci/pcm_output.h"

namespace velmora {

// The "cdaudio" device. The disc is played digitally: its audio sectors are read and mixed into
// the sound output, so a disc image plays as a disc does. Only audio tracks sound: a start in a
// data track moves on to the next audio track, and play ends where the audio ends. Without a
// disc, or once the disc has been taken out or changed, the device reports "not ready".
class CdAudioDevice final : public MciDevice {
  public:
    // `output` has been started; the device sounds through it until it is closed.
    CdAudioDevice(std::unique_ptr<CdDrive> drive, PcmOutput& output);
    CdAudioDevice(const CdAudioDevice&) = delete;
    CdAudioDevice& operator=(const CdAudioDevice&) = delete;
    ~CdAudioDevice() override;

    // Without "from", play goes on from the current position, or from the first audio track
    // once the disc has been played to its end.
    std::int32_t Play(const std::optional<std::string>& from,
                      const std::optional<std::string>& to) override;
    std::int32_t Stop() override;
    std::int32_t Pause() override;
    std::int32_t Resume() override;
    MciResult Status(const MciStatusQuery& query) override;
    std::int32_t SetTimeFormat(MciTimeFormat format) override;

  private:
    // The table of contents, or null when there is no disc (any more).
    const CdToc* Disc() const;

    PcmOutput& output_;
    const std::optional<CdToc> toc_;  // read once, when the device opened
    CdStream stream_;
    MciTimeFormat format_ = MciTimeFormat::kMsf;
};

}  // namespace velmora
