#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// Flags of SoundPlayer::Play, with the values the system sound player gives them.
inline constexpr std::uint32_t kSoundAsync = 0x0001;  // return at once, play in the background
inline constexpr std::uint32_t kSoundLoop = 0x0008;   // repeat until stopped; needs kSoundAsync

// The system sound player: one sound at a time from a file.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;

    // The number of sound output devices; 0 when nothing can be played.
    virtual std::uint32_t DeviceCount() = 0;

    // Stops the current sound and starts the file; false when it cannot be played.
    virtual bool Play(const std::string& file, std::uint32_t flags) = 0;

    // Stops the current sound, if any.
    virtual bool Stop() = 0;
};

}  // namespace velmora
