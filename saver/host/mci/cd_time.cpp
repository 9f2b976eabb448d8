#include "saver/host/mci/cd_time.h"

#include <array>
#include <cstdio>
#include <vector>

#include "saver/host/mci/mci_errors.h"
#include "saver/host/mci/mci_words.h"

namespace velmora {
namespace {

// The lead-in before sector 0: "msf" 00:02:00 is the first sector of the disc.
constexpr std::int64_t kLeadInSectors = 2 * kCdSectorsPerSecond;
constexpr std::int32_t kSecondsPerMinute = 60;
constexpr std::int64_t kMillisecondsPerSecond = 1000;
// Each field of a time is stored in one byte.
constexpr std::int32_t kFieldLimit = 255;

std::string Msf(std::int64_t sectors) {
    const std::int64_t frames = sectors % kCdSectorsPerSecond;
    const std::int64_t seconds = sectors / kCdSectorsPerSecond % kSecondsPerMinute;
    const std::int64_t minutes = sectors / kCdSectorsPerSecond / kSecondsPerMinute;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%02lld:%02lld:%02lld", static_cast<long long>(minutes),
                  static_cast<long long>(seconds), static_cast<long long>(frames));
    return text.data();
}

std::string Milliseconds(std::int64_t sectors) {
    return std::to_string(sectors * kMillisecondsPerSecond / kCdSectorsPerSecond);
}

// Up to `count` fields separated by colons, each a number of one byte.
std::optional<std::vector<std::int32_t>> Fields(std::string_view text, std::size_t count) {
    std::vector<std::int32_t> fields;
    while (true) {
        const auto colon = text.find(':');
        const auto value = ParseMciInteger(text.substr(0, colon));
        if (!value || *value > kFieldLimit || fields.size() == count) {
            return std::nullopt;
        }
        fields.push_back(*value);
        if (colon == std::string_view::npos) {
            break;
        }
        text.remove_prefix(colon + 1);
    }
    fields.resize(count, 0);
    return fields;
}

// Minutes, seconds and frames as a count of sectors; nothing when seconds or frames overflow.
std::optional<std::int64_t> SectorsOf(std::int32_t minutes, std::int32_t seconds,
                                      std::int32_t frames) {
    if (seconds >= kSecondsPerMinute || frames >= kCdSectorsPerSecond) {
        return std::nullopt;
    }
    return (std::int64_t{minutes} * kSecondsPerMinute + seconds) * kCdSectorsPerSecond + frames;
}

}  // namespace

std::string FormatCdPosition(const CdToc& toc, std::int32_t sector, MciTimeFormat format) {
    switch (format) {
        case MciTimeFormat::kTmsf: {
            const CdTrack& track = toc.TrackAt(sector);
            std::array<char, 8> number{};
            std::snprintf(number.data(), number.size(), "%02d:", static_cast<int>(track.number));
            return number.data() + Msf(std::max(0, sector - track.start));
        }
        case MciTimeFormat::kMsf:
            return Msf(sector + kLeadInSectors);
        case MciTimeFormat::kMilliseconds:
            return Milliseconds(sector + kLeadInSectors);
    }
    return {};
}

std::string FormatCdLength(std::int32_t sectors, MciTimeFormat format) {
    return format == MciTimeFormat::kMilliseconds ? Milliseconds(sectors) : Msf(sectors);
}

CdPositionReading ParseCdPosition(const CdToc& toc, std::string_view text, MciTimeFormat format) {
    std::int64_t sector = 0;
    if (format == MciTimeFormat::kMilliseconds) {
        const auto milliseconds = ParseMciInteger(text);
        if (!milliseconds) {
            return {mci_error::kBadInteger, 0};
        }
        sector = *milliseconds * std::int64_t{kCdSectorsPerSecond} / kMillisecondsPerSecond -
                 kLeadInSectors;
    } else if (format == MciTimeFormat::kMsf) {
        const auto fields = Fields(text, 3);
        if (!fields) {
            return {mci_error::kBadInteger, 0};
        }
        const auto sectors = SectorsOf((*fields)[0], (*fields)[1], (*fields)[2]);
        if (!sectors) {
            return {mci_error::kOutOfRange, 0};
        }
        sector = *sectors - kLeadInSectors;
    } else {
        const auto fields = Fields(text, 4);
        if (!fields) {
            return {mci_error::kBadInteger, 0};
        }
        const CdTrack* track = toc.FindTrack((*fields)[0]);
        const auto sectors = SectorsOf((*fields)[1], (*fields)[2], (*fields)[3]);
        if (track == nullptr || !sectors) {
            return {mci_error::kOutOfRange, 0};
        }
        sector = track->start + *sectors;
    }
    if (sector < toc.tracks.front().start || sector > toc.leadout) {
        return {mci_error::kOutOfRange, 0};
    }
    return {0, static_cast<std::int32_t>(sector)};
}

}  // namespace velmora
