#include "tests/support/bmp_file.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace velmora::test {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value);
    Put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> BuildBmp(const BmpFields& bmp) {
    std::vector<std::uint8_t> info;
    Put32(info, bmp.header_size);
    if (bmp.header_size == kCoreHeaderSize) {
        Put16(info, static_cast<std::uint32_t>(bmp.width));
        Put16(info, static_cast<std::uint32_t>(bmp.height));
        Put16(info, bmp.planes);
        Put16(info, bmp.bit_count);
    } else {
        Put32(info, static_cast<std::uint32_t>(bmp.width));
        Put32(info, static_cast<std::uint32_t>(bmp.height));
        Put16(info, bmp.planes);
        Put16(info, bmp.bit_count);
        Put32(info, bmp.compression);
        Put32(info, bmp.image_size);
        Put32(info, 2835);  // 72 dots per inch
        Put32(info, 2835);
        Put32(info, bmp.colours_used);
        Put32(info, 0);
        info.resize(std::max<std::size_t>(info.size(), bmp.header_size), 0);
    }
    for (const std::uint32_t mask : bmp.masks) {
        Put32(info, mask);
    }
    for (const auto& colour : bmp.palette) {
        info.push_back(colour[2]);
        info.push_back(colour[1]);
        info.push_back(colour[0]);
        if (bmp.header_size != kCoreHeaderSize) {
            info.push_back(0);
        }
    }
    std::vector<std::uint8_t> file;
    if (bmp.file_header) {
        const auto offset = static_cast<std::uint32_t>(kFileHeaderSize + info.size());
        file.push_back('B');
        file.push_back('M');
        Put32(file, offset + static_cast<std::uint32_t>(bmp.pixels.size()));
        Put32(file, 0);
        Put32(file, offset);
    }
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), bmp.pixels.begin(), bmp.pixels.end());
    return file;
}

std::vector<std::uint8_t> Bmp24(std::int32_t width, std::int32_t height,
                                const std::vector<std::uint8_t>& rgb_rows) {
    const auto row_bytes = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (row_bytes + 3) / 4 * 4;
    BmpFields bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels.assign(stride * static_cast<std::size_t>(height), 0);
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            const std::uint8_t* rgb = &rgb_rows.at(row * row_bytes + x * 3);
            std::uint8_t* bgr = &bmp.pixels[row * stride + x * 3];
            bgr[0] = rgb[2];
            bgr[1] = rgb[1];
            bgr[2] = rgb[0];
        }
    }
    return BuildBmp(bmp);
}

std::vector<std::uint8_t> GreyBmp8() {
    constexpr int kSide = 128;
    BmpFields bmp;
    bmp.width = kSide;
    bmp.height = kSide;
    bmp.bit_count = 8;
    for (int i = 0; i < 256; ++i) {
        const auto grey = static_cast<std::uint8_t>(i);
        bmp.palette.push_back({grey, grey, grey});
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            bmp.pixels.push_back(static_cast<std::uint8_t>((x + y) % 256));
        }
    }
    return BuildBmp(bmp);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace velmora::test
