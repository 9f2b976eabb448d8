#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace velmora {

// Why a bitmap file gives no picture; each reason has its own message for the user.
enum class DibFailure { kCannotOpen, kUnknownFormat, kOutOfMemory, kConversionError };

inline constexpr std::uint32_t kCoreHeaderSize = 12;
inline constexpr std::uint32_t kInfoHeaderSize = 40;

// The compression field of a 40-byte header (a 12-byte header has none: kRgb).
inline constexpr std::uint32_t kCompressionRgb = 0;
inline constexpr std::uint32_t kCompressionRle8 = 1;
inline constexpr std::uint32_t kCompressionRle4 = 2;
inline constexpr std::uint32_t kCompressionBitFields = 3;

// An info header in its 40-byte form. A 12-byte core header is read into the same fields (width
// and height zero-extended, the fields it lacks left 0) and keeps its size of 12.
struct DibInfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bit_count = 0;
    std::uint32_t compression = kCompressionRgb;
    std::uint32_t image_size = 0;
    std::int32_t x_pixels_per_metre = 0;
    std::int32_t y_pixels_per_metre = 0;
    std::uint32_t colours_used = 0;
    std::uint32_t colours_important = 0;
};

// Number of colour-table entries: the colours-used field of a 40-byte header when it is set
// (its low 16 bits), else 2, 16 or 256 for 1, 4 or 8 bits per pixel, else 0.
std::uint16_t dib_palette_entries(const DibInfoHeader& header);

struct PaletteColour {
    std::uint8_t red = 0, green = 0, blue = 0;
};

// A bitmap file whose header has been checked and whose pieces are known to lie inside it.
struct DibLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;  // number of rows, always positive
    bool top_down = false;    // the file stores the top row first
    std::uint16_t bit_count = 0;
    std::uint32_t compression = kCompressionRgb;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue bits of a 16- or 32-bit pixel
    std::vector<PaletteColour> palette;
    // Uncompressed: the rows, each padded to 4 bytes (the last may lack its padding).
    // Run-length compressed: the coded data.
    std::span<const std::uint8_t> pixel_data;
};

// Reads and checks the file header, the info header, the bit-field masks and the colour table,
// and finds the pixel data, never reading outside file.
std::variant<DibLayout, DibFailure> ParseDib(std::span<const std::uint8_t> file);

// Bytes of one stored row of an uncompressed picture: width × bit count rounded up to 4 bytes.
std::uint64_t DibRowStride(std::int32_t width, std::uint16_t bit_count);

}  // namespace velmora
