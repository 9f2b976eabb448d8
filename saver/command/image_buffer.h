#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

// A retained 24-bit picture that controls draw into and their widgets show: rows from the top,
// red-green-blue bytes, no padding.
class ImageBuffer {
  public:
    struct Pixel {
        std::uint8_t red, green, blue;
        bool operator==(const Pixel&) const = default;
    };

    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // One end of a gradient: a position in pixels and 16-bit channel values (the colour byte in
    // the high 8 bits), as the platform's gradient call takes them.
    struct GradientVertex {
        std::int32_t x = 0, y = 0;
        std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
    };

    ImageBuffer() = default;
    ImageBuffer(int width, int height, Pixel fill = {});
    // A picture from packed red-green-blue rows; missing bytes read as black.
    ImageBuffer(int width, int height, std::span<const std::uint8_t> rgb_rows);

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    Pixel at(int x, int y) const { return pixels_.at(Index(x, y)); }
    void set(int x, int y, Pixel pixel) { pixels_.at(Index(x, y)) = pixel; }
    // The rows as packed bytes, for handing to a toolkit's image type.
    const std::uint8_t* bytes() const noexcept;
    std::size_t bytes_per_line() const noexcept { return static_cast<std::size_t>(width_) * 3; }

    void Fill(Pixel colour);

    // Copies a rectangle of source onto a rectangle of this picture, stretching or shrinking
    // by nearest pixel when the sizes differ. Parts outside either picture are left out; an
    // empty or negative size copies nothing.
    void StretchCopy(const ImageBuffer& source, Rect from, Rect to);

    // Fills the rectangle between two vertices with a top-to-bottom gradient, as the
    // platform's vertical rectangle gradient does: the rectangle is normalised from the two
    // corners, excludes its right column and bottom row, and its top row takes the colour of
    // the vertex nearer the top.
    void GradientFillVertical(const GradientVertex& first, const GradientVertex& second);

  private:
    std::size_t Index(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

static_assert(sizeof(ImageBuffer::Pixel) == 3, "pixels are handed out as packed bytes");

}  // namespace velmora
