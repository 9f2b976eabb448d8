#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "saver/host/mci/cd_disc.h"

namespace velmora {

// Names the drive (such as /dev/sr1) or the disc image (.cue, .toc or .nrg) that the "cdaudio"
// device plays, in place of the system's default drive.
inline constexpr const char* kCdSourceVariable = "VELMORA_CDROM";

struct CdDriveOpening {
    std::int32_t code = 0;  // 0 or an MCI error code
    std::unique_ptr<CdDrive> drive;
};

// Opens a drive or disc image through libcdio and reads its table of contents. An empty source
// means the one that VELMORA_CDROM names, or else the default drive. A drive without a readable
// disc opens and reports no table of contents.
CdDriveOpening OpenCdioDrive(const std::string& source);

}  // namespace velmora
