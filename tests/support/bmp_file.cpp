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

std::vector<std::uint8_t> BuildBmp(const BmpSpec& spec) {
    std::vector<std::uint8_t> info;
    Put32(info, spec.header_size);
    if (spec.header_size == kCoreHeaderSize) {
        Put16(info, static_cast<std::uint32_t>(spec.width));
        Put16(info, static_cast<std::uint32_t>(spec.height));
        Put16(info, spec.planes);
        Put16(info, spec.bit_count);
    } else {
        Put32(info, static_cast<std::uint32_t>(spec.width));
        Put32(info, static_cast<std::uint32_t>(spec.height));
        Put16(info, spec.planes);
        Put16(info, spec.bit_count);
        Put32(info, spec.compression);
        Put32(info, spec.image_size);
        Put32(info, 2835);  // 72 dots per inch
        Put32(info, 2835);
        Put32(info, spec.colours_used);
        Put32(info, 0);
        info.resize(std::max<std::size_t>(info.size(), spec.header_size), 0);
    }
    for (const std::uint32_t mask : spec.masks) {
        Put32(info, mask);
    }
    for (const auto& colour : spec.palette) {
        info.push_back(colour[2]);
        info.push_back(colour[1]);
        info.push_back(colour[0]);
        if (spec.header_size != kCoreHeaderSize) {
            info.push_back(0);
        }
    }
    std::vector<std::uint8_t> file;
    if (spec.file_header) {
        const auto offset = static_cast<std::uint32_t>(kFileHeaderSize + info.size());
        file.push_back('B');
        file.push_back('M');
        Put32(file, offset + static_cast<std::uint32_t>(spec.pixels.size()));
        Put32(file, 0);
        Put32(file, offset);
    }
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), spec.pixels.begin(), spec.pixels.end());
    return file;
}

std::vector<std::uint8_t> Bmp24(std::int32_t width, std::int32_t height,
                                const std::vector<std::uint8_t>& rgb_rows) {
    const auto row_bytes = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (row_bytes + 3) / 4 * 4;
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixels.assign(stride * static_cast<std::size_t>(height), 0);
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            const std::uint8_t* rgb = &rgb_rows.at(row * row_bytes + x * 3);
            std::uint8_t* bgr = &spec.pixels[row * stride + x * 3];
            bgr[0] = rgb[2];
            bgr[1] = rgb[1];
            bgr[2] = rgb[0];
        }
    }
    return BuildBmp(spec);
}

std::vector<std::uint8_t> GreyBmp8() {
    constexpr int kSide = 128;
    BmpSpec spec;
    spec.width = kSide;
    spec.height = kSide;
    spec.bit_count = 8;
    for (int i = 0; i < 256; ++i) {
        const auto grey = static_cast<std::uint8_t>(i);
        spec.palette.push_back({grey, grey, grey});
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            spec.pixels.push_back(static_cast<std::uint8_t>((x + y) % 256));
        }
    }
    return BuildBmp(spec);
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
