#include "saver/command/image_buffer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace velmora {
namespace {

// Where a destination pixel samples its source along one axis: the source pixel under the
// destination pixel's centre.
int SourceOffset(int destination_offset, int source_size, int destination_size) {
    const long long scaled =
        (2LL * destination_offset + 1) * source_size / (2LL * destination_size);
    return static_cast<int>(scaled);
}

std::uint8_t Channel(std::int64_t top, std::int64_t bottom, std::int64_t row, std::int64_t rows) {
    const std::int64_t value = top + (bottom - top) * row / rows;
    return static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

ImageBuffer::ImageBuffer(int width, int height, Pixel fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

ImageBuffer::ImageBuffer(int width, int height, std::span<const std::uint8_t> rgb_rows)
    : ImageBuffer(width, height) {
    const std::size_t count = std::min(pixels_.size(), rgb_rows.size() / 3);
    for (std::size_t i = 0; i < count; ++i) {
        pixels_[i] = {rgb_rows[3 * i], rgb_rows[3 * i + 1], rgb_rows[3 * i + 2]};
    }
}

const std::uint8_t* ImageBuffer::bytes() const noexcept {
    return reinterpret_cast<const std::uint8_t*>(pixels_.data());
}

std::size_t ImageBuffer::Index(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("pixel outside the picture");
    }
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
}

void ImageBuffer::Fill(Pixel colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour);
}

void ImageBuffer::StretchCopy(const ImageBuffer& source, Rect from, Rect to) {
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) {
        return;
    }
    const int first_row = std::max(to.y, 0);
    const int end_row =
        static_cast<int>(std::min<long long>(static_cast<long long>(to.y) + to.height, height_));
    const int first_column = std::max(to.x, 0);
    const int end_column =
        static_cast<int>(std::min<long long>(static_cast<long long>(to.x) + to.width, width_));
    for (int y = first_row; y < end_row; ++y) {
        const long long source_y =
            static_cast<long long>(from.y) + SourceOffset(y - to.y, from.height, to.height);
        if (source_y < 0 || source_y >= source.height_) {
            continue;
        }
        for (int x = first_column; x < end_column; ++x) {
            const long long source_x =
                static_cast<long long>(from.x) + SourceOffset(x - to.x, from.width, to.width);
            if (source_x < 0 || source_x >= source.width_) {
                continue;
            }
            pixels_[Index(x, y)] =
                source
                    .pixels_[source.Index(static_cast<int>(source_x), static_cast<int>(source_y))];
        }
    }
}

void ImageBuffer::GradientFillVertical(const GradientVertex& first, const GradientVertex& second) {
    const GradientVertex& top = first.y <= second.y ? first : second;
    const GradientVertex& bottom = first.y <= second.y ? second : first;
    const std::int64_t rows = static_cast<std::int64_t>(bottom.y) - top.y;
    const int left = std::max(std::min(first.x, second.x), 0);
    const int right = std::min(std::max(first.x, second.x), width_);
    // Only the rows that land in the picture are visited, however far apart the vertices lie.
    const std::int64_t first_row = std::max<std::int64_t>(0, -static_cast<std::int64_t>(top.y));
    const std::int64_t end_row = std::min<std::int64_t>(rows, height_ - std::int64_t{top.y});
    for (std::int64_t row = first_row; row < end_row; ++row) {
        const std::int64_t y = top.y + row;
        const Pixel colour{Channel(top.red, bottom.red, row, rows),
                           Channel(top.green, bottom.green, row, rows),
                           Channel(top.blue, bottom.blue, row, rows)};
        for (int x = left; x < right; ++x) {
            pixels_[Index(x, static_cast<int>(y))] = colour;
        }
    }
}

}  // namespace velmora
