#include "saver/host/bmp_writer.h"

#include <bit>
#include <string_view>

#include "common/replace_file.h"

namespace velmora {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dpi

class LittleEndianWriter {
  public:
    explicit LittleEndianWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void u8(std::uint8_t value) { out_.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }

  private:
    std::vector<std::uint8_t>& out_;
};

std::uint32_t RowBytes(int width, int bits) {
    return (static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits) + 31) / 32 * 4;
}

// Headers and palette for a picture; the caller appends the rows.
std::vector<std::uint8_t> Headers(int width, int height, int bits, std::uint32_t palette_entries) {
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + palette_entries * 4;
    const std::uint32_t image_size = RowBytes(width, bits) * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(offset + image_size);
    LittleEndianWriter out(bytes);
    out.u8('B');
    out.u8('M');
    out.u32(offset + image_size);
    out.u32(0);
    out.u32(offset);
    out.u32(kInfoHeaderSize);
    out.u32(static_cast<std::uint32_t>(width));
    out.u32(static_cast<std::uint32_t>(height));
    out.u16(1);
    out.u16(static_cast<std::uint16_t>(bits));
    out.u32(0);  // uncompressed
    out.u32(image_size);
    out.u32(kPixelsPerMetre);
    out.u32(kPixelsPerMetre);
    out.u32(palette_entries);
    out.u32(0);
    return bytes;
}

// One colour of a screen pixel, scaled to 8 bits with rounding as the renderer's loader scales
// the colours of masked pixels.
class ChannelScale {
  public:
    explicit ChannelScale(std::uint32_t mask)
        : mask_(mask),
          shift_(std::countr_zero(mask)),
          maximum_(mask == 0 ? 1 : mask >> std::countr_zero(mask)) {}

    // A run of at most 16 bits that a pixel of bytes bytes can hold.
    bool usable(int bytes) const {
        return mask_ != 0 && maximum_ <= 0xFFFF && std::has_single_bit(maximum_ + 1) &&
               (bytes == 4 || mask_ >> (8 * bytes) == 0);
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        const std::uint32_t value = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((value * 255 + maximum_ / 2) / maximum_);
    }

  private:
    std::uint32_t mask_;
    int shift_;
    std::uint32_t maximum_;
};

std::uint32_t ScreenPixel(const std::uint8_t* bytes, int count, bool most_significant_first) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[most_significant_first ? i : count - 1 - i];
        value = (value << 8) | byte;
    }
    return value;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeMirroredBmp(std::span<const std::uint8_t> rows,
                                                           std::size_t bytes_per_line, int width,
                                                           int height,
                                                           const ScreenPixelLayout& layout) {
    const ChannelScale red(layout.red_mask), green(layout.green_mask), blue(layout.blue_mask);
    const int depth = layout.bytes_per_pixel;
    if (width <= 0 || height <= 0 || depth < 2 || depth > 4 || !red.usable(depth) ||
        !green.usable(depth) || !blue.usable(depth) ||
        bytes_per_line < static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) ||
        rows.size() / bytes_per_line < static_cast<std::size_t>(height)) {
        return std::nullopt;
    }
    // The common screen: four bytes, blue first, 8 bits a colour, copied as they are.
    const bool blue_green_red = depth == 4 && !layout.most_significant_first &&
                                layout.red_mask == 0xFF0000 && layout.green_mask == 0x00FF00 &&
                                layout.blue_mask == 0x0000FF;
    auto bytes = Headers(width, height, 24, 0);
    const std::size_t row_bytes = RowBytes(width, 24);
    bytes.resize(bytes.size() + row_bytes * static_cast<std::size_t>(height));
    std::uint8_t* out = bytes.data() + bytes.size() - row_bytes * static_cast<std::size_t>(height);
    const auto step = static_cast<std::size_t>(depth);
    // The file's rows run from the bottom, each from the screen's right edge.
    for (int row = height - 1; row >= 0; --row, out += row_bytes) {
        const std::uint8_t* line = rows.data() + static_cast<std::size_t>(row) * bytes_per_line;
        std::uint8_t* target = out;
        for (auto x = static_cast<std::size_t>(width); x > 0; --x, target += 3) {
            const std::uint8_t* pixel = line + (x - 1) * step;
            if (blue_green_red) {
                target[0] = pixel[0];
                target[1] = pixel[1];
                target[2] = pixel[2];
            } else {
                const std::uint32_t value =
                    ScreenPixel(pixel, depth, layout.most_significant_first);
                target[0] = blue(value);
                target[1] = green(value);
                target[2] = red(value);
            }
        }
    }
    return bytes;
}

std::vector<std::uint8_t> EncodeBmp(const RgbPicture& picture) {
    auto bytes = Headers(picture.width, picture.height, 24, 0);
    const std::size_t padding = RowBytes(picture.width, 24) - picture.width * 3u;
    for (int row = picture.height - 1; row >= 0; --row) {
        const std::uint8_t* pixel =
            picture.rgb.data() + static_cast<std::size_t>(row) * picture.width * 3u;
        for (int x = 0; x < picture.width; ++x, pixel += 3) {
            bytes.insert(bytes.end(), {pixel[2], pixel[1], pixel[0]});
        }
        bytes.insert(bytes.end(), padding, 0);
    }
    return bytes;
}

std::vector<std::uint8_t> EncodeBmp(const IndexedPicture& picture) {
    auto bytes = Headers(picture.width, picture.height, 8, 256);
    for (const PaletteEntry& entry : picture.palette) {
        bytes.insert(bytes.end(), {entry.blue, entry.green, entry.red, 0});
    }
    const std::size_t padding =
        RowBytes(picture.width, 8) - static_cast<std::size_t>(picture.width);
    for (int row = picture.height - 1; row >= 0; --row) {
        const auto start =
            picture.indices.begin() + static_cast<std::ptrdiff_t>(row) * picture.width;
        bytes.insert(bytes.end(), start, start + picture.width);
        bytes.insert(bytes.end(), padding, 0);
    }
    return bytes;
}

bool WritePrivateFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    return ReplaceFile(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), 0600);
}

}  // namespace velmora
