#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "saver/pictures.h"

namespace velmora {

// Windows bitmap files: the 14-byte file header, a 40-byte information header, the palette
// where the depth needs one, then uncompressed rows from the bottom, each padded to 4 bytes.
std::vector<std::uint8_t> EncodeBmp(const RgbPicture& picture);
std::vector<std::uint8_t> EncodeBmp(const IndexedPicture& picture);

// Replaces the file in one step (a new file beside it, then a rename), readable by this user
// only. False when it could not be written; the old file is then left as it was.
bool WritePrivateFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace velmora
