#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "saver/host/mci/pcm_output.h"

namespace velmora {

// The sound output through SDL2_mixer: opened on first use at the CD's rate and layout (SDL
// converts for the device), with the attached streams mixed in after the mixer's own music
// and channels. Everything but the mixing runs on the caller's one thread.
class SdlMixerOutput final : public PcmOutput {
  public:
    SdlMixerOutput() = default;
    SdlMixerOutput(const SdlMixerOutput&) = delete;
    SdlMixerOutput& operator=(const SdlMixerOutput&) = delete;
    // Every device and the sound player using the output must be gone by now.
    ~SdlMixerOutput() override;

    bool Start() override;
    void Attach(PcmSource& source) override;
    void Detach(PcmSource& source) override;

    // The number of output devices that SDL lists; where it cannot list them, 1 when the
    // output opens and 0 when it does not.
    std::uint32_t DeviceCount();

    // The mixer has one music stream; the device that started it last owns it.
    void ClaimMusic(const void* owner) noexcept { music_owner_ = owner; }
    bool OwnsMusic(const void* owner) const noexcept { return music_owner_ == owner; }

  private:
    bool InitAudio();
    static void MixSources(void* output, std::uint8_t* stream, int length);

    bool audio_initialised_ = false;
    bool open_ = false;
    std::mutex sources_mutex_;  // between Attach/Detach and the mixing thread
    std::vector<PcmSource*> sources_;
    const void* music_owner_ = nullptr;
};

}  // namespace velmora
