#pragma once

#include <cstdint>
#include <span>

namespace velmora {

// The sound output runs at the CD's own rate and layout, so CD sectors go out unconverted:
// interleaved stereo, signed 16-bit samples in the machine's byte order, 44100 frames a second.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

// A stream that adds its sound to the output.
class PcmSource {
  public:
    // Adds up to samples.size() samples into `samples`, which already hold the rest of the
    // output. Runs on the output's own thread and must never wait long.
    virtual void MixInto(std::span<std::int16_t> samples) noexcept = 0;

  protected:
    ~PcmSource() = default;
};

// The sound output that streams are mixed into.
class PcmOutput {
  public:
    virtual ~PcmOutput() = default;

    // Opens the output if it is not open yet; false when there is no sound output.
    virtual bool Start() = 0;

    // A source attached to a started output is mixed in until it is detached; Detach returns
    // only when the source is no longer in use.
    virtual void Attach(PcmSource& source) = 0;
    virtual void Detach(PcmSource& source) = 0;
};

}  // namespace velmora
