#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmora {

// Sectors (frames) of an audio CD: 75 a second, each 588 stereo 16-bit samples at 44100 Hz,
// 2352 bytes, little-endian.
inline constexpr std::int32_t kCdSectorsPerSecond = 75;
inline constexpr std::size_t kCdFramesPerSector = 588;
inline constexpr std::size_t kCdSamplesPerSector = kCdFramesPerSector * 2;
inline constexpr std::size_t kCdBytesPerSector = kCdSamplesPerSector * 2;

struct CdTrack {
    std::int32_t number = 0;
    std::int32_t start = 0;  // first sector
    bool audio = true;
};

// The table of contents: at least one track, tracks in ascending order of number and start, and
// the lead-out, the sector after the last track.
struct CdToc {
    std::vector<CdTrack> tracks;
    std::int32_t leadout = 0;

    // The track that holds a sector; the last track for the lead-out, the first before it.
    const CdTrack& TrackAt(std::int32_t sector) const;
    const CdTrack* FindTrack(std::int32_t number) const;
    // The sector after the track.
    std::int32_t EndOf(const CdTrack& track) const;
};

// A drive, or a disc image, with the disc it holds.
class CdDrive {
  public:
    virtual ~CdDrive() = default;

    // The disc's table of contents; nothing when no readable disc is in the drive.
    virtual const std::optional<CdToc>& Toc() const = 0;

    // Reads bytes.size() / kCdBytesPerSector audio sectors from `first` on; false on a read
    // error. Called from one thread at a time.
    virtual bool ReadAudio(std::int32_t first, std::span<std::uint8_t> bytes) = 0;

    // Whether the disc whose table of contents was read has since been taken out or changed.
    // Called from the thread that reads.
    virtual bool DiscChanged() = 0;
};

}  // namespace velmora
