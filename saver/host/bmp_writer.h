#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "saver/pictures.h"

namespace velmora {

// Windows bitmap files: the 14-byte file header, a 40-byte information header, the palette
// where the depth needs one, then uncompressed rows from the bottom, each padded to 4 bytes.
std::vector<std::uint8_t> EncodeBmp(const RgbPicture& picture);
std::vector<std::uint8_t> EncodeBmp(const IndexedPicture& picture);

// How a screen image stores a pixel: 2, 3 or 4 bytes, most or least significant byte first, each
// colour where its mask says (of any width up to 16 bits).
struct ScreenPixelLayout {
    int bytes_per_pixel = 4;
    bool most_significant_first = false;
    std::uint32_t red_mask = 0xFF0000;
    std::uint32_t green_mask = 0x00FF00;
    std::uint32_t blue_mask = 0x0000FF;
};

// A screen image, rows from the top bytes_per_line apart, straight into the 24-bit file that
// EncodeBmp(MirrorLeftToRight(...)) writes of it: turned left to right, in one pass. Nothing when
// the layout is not one of those described, or the rows are too short for it.
std::optional<std::vector<std::uint8_t>> EncodeMirroredBmp(std::span<const std::uint8_t> rows,
                                                           std::size_t bytes_per_line, int width,
                                                           int height,
                                                           const ScreenPixelLayout& layout);

// Replaces the file in one step (a new file beside it, then a rename), readable by this user
// only. False when it could not be written; the old file is then left as it was.
bool WritePrivateFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace velmora
