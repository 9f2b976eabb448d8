#include "renderer/dib_format.h"

#include <bit>
#include <limits>

#include "common/byte_cursor.h"

namespace velmora {
namespace {

constexpr std::uint8_t kSignatureFirst = 'B';
constexpr std::uint8_t kSignatureSecond = 'M';
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kPixelOffsetOffset = 10;
constexpr std::size_t kCoreColourBytes = 3;  // blue, green, red
constexpr std::size_t kInfoColourBytes = 4;  // blue, green, red, unused

// 8192 × 8192 pixels: far beyond any screen, and 192 MiB of converted picture.
constexpr std::uint64_t kMaxPixelCount = std::uint64_t{1} << 26;

std::uint32_t MaxColoursUsed(std::uint16_t bit_count) {
    // A colour table beyond 8 bits per pixel only helps palette displays; its count must still
    // fit the 16-bit entry count.
    return bit_count <= 8 ? std::uint32_t{1} << bit_count
                          : std::numeric_limits<std::uint16_t>::max();
}

bool KnownBitCount(const DibInfoHeader& header) {
    switch (header.bit_count) {
        case 1:
        case 4:
        case 8:
        case 24:
            return true;
        case 16:
        case 32:
            return header.size == kInfoHeaderSize;
        default:
            return false;
    }
}

bool KnownCompression(const DibInfoHeader& header) {
    switch (header.compression) {
        case kCompressionRgb:
            return true;
        case kCompressionRle8:
            return header.bit_count == 8;
        case kCompressionRle4:
            return header.bit_count == 4;
        case kCompressionBitFields:
            return header.bit_count == 16 || header.bit_count == 32;
        default:
            return false;
    }
}

bool IsRunLength(std::uint32_t compression) {
    return compression == kCompressionRle8 || compression == kCompressionRle4;
}

// Values that no real bitmap has; the picture is refused as a format it does not know. Planes
// and densities play no part in the pixels, so whatever they hold is let be.
bool PlausibleHeader(const DibInfoHeader& header) {
    return KnownBitCount(header) && KnownCompression(header) && header.width > 0 &&
           header.height != 0 && header.height != std::numeric_limits<std::int32_t>::min() &&
           (header.height > 0 || !IsRunLength(header.compression)) &&
           header.colours_used <= MaxColoursUsed(header.bit_count);
}

// Each colour takes one unbroken run of bits inside the pixel, and no bit serves two colours.
bool UsableMasks(const std::array<std::uint32_t, 3>& masks, std::uint16_t bit_count) {
    const std::uint64_t pixel_bits = (std::uint64_t{1} << bit_count) - 1;
    for (const std::uint32_t mask : masks) {
        if (mask == 0 || mask > pixel_bits) {
            return false;
        }
        const std::uint64_t run = std::uint64_t{mask} >> std::countr_zero(mask);
        if ((run & (run + 1)) != 0) {
            return false;
        }
    }
    return (masks[0] & masks[1]) == 0 && (masks[0] & masks[2]) == 0 && (masks[1] & masks[2]) == 0;
}

DibInfoHeader ReadInfoHeader(ByteCursor& cursor, std::uint32_t size) {
    DibInfoHeader header;
    header.size = size;
    if (size == kCoreHeaderSize) {
        header.width = cursor.u16();
        header.height = cursor.u16();
        header.planes = cursor.u16();
        header.bit_count = cursor.u16();
        return header;
    }
    header.width = cursor.i32();
    header.height = cursor.i32();
    header.planes = cursor.u16();
    header.bit_count = cursor.u16();
    header.compression = cursor.u32();
    header.image_size = cursor.u32();
    header.x_pixels_per_metre = cursor.i32();
    header.y_pixels_per_metre = cursor.i32();
    header.colours_used = cursor.u32();
    header.colours_important = cursor.u32();
    return header;
}

std::array<std::uint32_t, 3> DefaultMasks(std::uint16_t bit_count) {
    if (bit_count == 16) {
        return {0x7C00, 0x03E0, 0x001F};  // 5 bits each, the top bit unused
    }
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

}  // namespace

std::uint16_t dib_palette_entries(const DibInfoHeader& header) {
    if (header.size != kCoreHeaderSize && header.colours_used != 0) {
        return static_cast<std::uint16_t>(header.colours_used & 0xFFFF);
    }
    switch (header.bit_count) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

std::uint64_t DibRowStride(std::int32_t width, std::uint16_t bit_count) {
    return (static_cast<std::uint64_t>(width) * bit_count + 31) / 32 * 4;
}

std::variant<DibLayout, DibFailure> ParseDib(std::span<const std::uint8_t> file) {
    if (file.empty()) {
        return DibFailure::kCannotOpen;
    }
    ByteCursor cursor(file);
    const bool has_file_header =
        file.size() >= 2 && file[0] == kSignatureFirst && file[1] == kSignatureSecond;
    std::uint64_t pixel_offset = 0;
    if (has_file_header) {
        // The file size field is not read: files that state it wrongly are common, and the real
        // length bounds every piece below.
        cursor.seek(kPixelOffsetOffset);
        pixel_offset = cursor.u32();
        if (cursor.failed()) {
            return DibFailure::kConversionError;
        }
        cursor.seek(kFileHeaderSize);
    }

    const std::uint32_t header_size = cursor.u32();
    if (cursor.failed() && !has_file_header) {
        return DibFailure::kUnknownFormat;
    }
    if (cursor.failed()) {
        return DibFailure::kConversionError;
    }
    if (header_size != kCoreHeaderSize && header_size != kInfoHeaderSize) {
        return DibFailure::kUnknownFormat;
    }
    const DibInfoHeader header = ReadInfoHeader(cursor, header_size);
    if (cursor.failed()) {
        return DibFailure::kConversionError;
    }
    if (!PlausibleHeader(header)) {
        return DibFailure::kUnknownFormat;
    }

    DibLayout layout;
    layout.width = header.width;
    layout.top_down = header.height < 0;
    layout.height = layout.top_down ? -header.height : header.height;
    layout.bit_count = header.bit_count;
    layout.compression = header.compression;
    layout.masks = DefaultMasks(header.bit_count);
    if (header.compression == kCompressionBitFields) {
        for (std::uint32_t& mask : layout.masks) {
            mask = cursor.u32();
        }
        if (cursor.failed()) {
            return DibFailure::kConversionError;
        }
        if (!UsableMasks(layout.masks, header.bit_count)) {
            return DibFailure::kUnknownFormat;
        }
    }
    if (static_cast<std::uint64_t>(layout.width) * static_cast<std::uint64_t>(layout.height) >
        kMaxPixelCount) {
        return DibFailure::kOutOfMemory;
    }

    const std::uint16_t entries = dib_palette_entries(header);
    const std::size_t colour_bytes =
        header_size == kCoreHeaderSize ? kCoreColourBytes : kInfoColourBytes;
    const auto table = cursor.take(entries * colour_bytes);
    if (cursor.failed()) {
        return DibFailure::kConversionError;
    }
    // Only pixels of up to 8 bits index the table; deeper pixels carry their own colour.
    if (header.bit_count <= 8) {
        ByteCursor colours(table);
        layout.palette.resize(entries);
        for (PaletteColour& colour : layout.palette) {
            colour.blue = colours.u8();
            colour.green = colours.u8();
            colour.red = colours.u8();
            colours.skip(colour_bytes - kCoreColourBytes);
        }
    }
    if (!has_file_header) {
        pixel_offset = cursor.position();
    }

    if (pixel_offset > file.size()) {
        return DibFailure::kConversionError;
    }
    const auto rest = file.subspan(static_cast<std::size_t>(pixel_offset));
    // Run-length data is as long as the image size says, when it says; uncompressed rows have
    // their length from width, height and depth, whatever the image size field holds.
    if (IsRunLength(header.compression)) {
        if (header.image_size > rest.size()) {
            return DibFailure::kConversionError;
        }
        layout.pixel_data = header.image_size != 0 ? rest.first(header.image_size) : rest;
        return layout;
    }
    const std::uint64_t row_bytes =
        (static_cast<std::uint64_t>(layout.width) * layout.bit_count + 7) / 8;
    const std::uint64_t needed = DibRowStride(layout.width, layout.bit_count) *
                                     static_cast<std::uint64_t>(layout.height - 1) +
                                 row_bytes;
    if (needed > rest.size()) {
        return DibFailure::kConversionError;
    }
    layout.pixel_data = rest.first(static_cast<std::size_t>(needed));
    return layout;
}

}  // namespace velmora
