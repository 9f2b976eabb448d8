#include "saver/host/bmp_writer.h"

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

}  // namespace

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
