#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace velmora {

// The multimedia command-string interface: commands such as "play cdaudio from 3" go in as text,
// replies come back as text in the caller's buffer.
class MediaCommands {
  public:
    virtual ~MediaCommands() = default;

    // Carries out one command. A reply is written into `reply` NUL-terminated and cut to fit;
    // an empty span asks for no reply. Returns 0 or an MCI error code.
    virtual std::int32_t SendString(std::string_view command, std::span<char> reply) = 0;

    // Writes the text of an MCI error code into `text`, NUL-terminated and cut to fit; false
    // when the code has no text or the buffer is empty.
    virtual bool GetErrorString(std::int32_t code, std::span<char> text) = 0;
};

}  // namespace velmora
