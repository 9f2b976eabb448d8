#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// What a test bitmap file holds. The builder writes exactly these values, even nonsense ones.
struct BmpFields {
    bool file_header = true;         // the 14-byte "BM" header, with the file size and pixel offset
    std::uint32_t header_size = 40;  // 12 writes a core header; more than 40 pads with zeros
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bit_count = 24;
    std::uint32_t compression = 0;
    std::uint32_t image_size = 0;
    std::uint32_t colours_used = 0;
    std::vector<std::uint32_t> masks;                  // written right after the info header
    std::vector<std::array<std::uint8_t, 3>> palette;  // red, green, blue per entry
    std::vector<std::uint8_t> pixels;                  // the stored pixel data, as is
};

std::vector<std::uint8_t> BuildBmp(const BmpFields& bmp);

// A 24-bit picture from packed RGB rows (bottom row first), stored with its row padding.
std::vector<std::uint8_t> Bmp24(std::int32_t width, std::int32_t height,
                                const std::vector<std::uint8_t>& rgb_rows);

// A 128 × 128 8-bit picture with a grey palette (entry i is grey i) and pixel (x, y) = index
// (x + y) mod 256, like the flare picture the saver writes.
std::vector<std::uint8_t> GreyBmp8();

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace velmora::test
