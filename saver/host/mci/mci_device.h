#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

struct MciResult {
    std::int32_t code = 0;  // 0 or an MCI error code
    std::string reply;      // the reply text when code is 0
};

enum class MciTimeFormat { kMilliseconds, kMsf, kTmsf };

enum class MciStatusItem {
    kMode,
    kPosition,
    kLength,
    kCurrentTrack,
    kNumberOfTracks,
    kMediaPresent,
    kReady,
    kTimeFormat,
};

struct MciStatusQuery {
    MciStatusItem item = MciStatusItem::kMode;
    std::optional<std::int32_t> track;  // "position track N", "length track N"
};

// The replies that status commands give in words.
inline constexpr std::string_view kModePlaying = "playing";
inline constexpr std::string_view kModeStopped = "stopped";
inline constexpr std::string_view kModePaused = "paused";
inline constexpr std::string_view kModeNotReady = "not ready";
inline constexpr std::string_view kReplyTrue = "true";
inline constexpr std::string_view kReplyFalse = "false";

inline std::string_view TimeFormatName(MciTimeFormat format) {
    switch (format) {
        case MciTimeFormat::kMilliseconds:
            return "milliseconds";
        case MciTimeFormat::kMsf:
            return "msf";
        case MciTimeFormat::kTmsf:
            return "tmsf";
    }
    return {};
}

// One open device. The command layer has parsed and checked the command's words; positions
// arrive as written, since only the device knows its time format.
class MciDevice {
  public:
    virtual ~MciDevice() = default;

    virtual std::int32_t Play(const std::optional<std::string>& from,
                              const std::optional<std::string>& to) = 0;
    virtual std::int32_t Stop() = 0;
    virtual std::int32_t Pause() = 0;
    virtual std::int32_t Resume() = 0;
    virtual MciResult Status(const MciStatusQuery& query) = 0;
    virtual std::int32_t SetTimeFormat(MciTimeFormat format) = 0;
};

struct MciOpening {
    std::int32_t code = 0;
    std::unique_ptr<MciDevice> device;  // set when code is 0
};

}  // namespace velmora
