#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "saver/host/mci/cd_disc.h"
#include "saver/host/mci/mci_device.h"

namespace velmora {

// Positions on a CD written in a time format: "tmsf" is track:minutes:seconds:frames within the
// track ("03:00:00:00" is the start of track 3); "msf" and milliseconds count from the start of
// the disc's lead-in, two seconds before the first sector.
std::string FormatCdPosition(const CdToc& toc, std::int32_t sector, MciTimeFormat format);

// A length: minutes:seconds:frames in both "msf" and "tmsf".
std::string FormatCdLength(std::int32_t sectors, MciTimeFormat format);

struct CdPositionReading {
    std::int32_t code = 0;  // 0 or an MCI error code
    std::int32_t sector = 0;
};

// Reads a position; "3" or "3:1" in tmsf name the start of track 3 or one minute into it. A
// position must lie on the disc, the lead-out included.
CdPositionReading ParseCdPosition(const CdToc& toc, std::string_view text, MciTimeFormat format);

}  // namespace velmora
