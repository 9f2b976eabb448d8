#include "renderer/texture_levels.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <thread>

#include "renderer/large_buffer.h"

namespace velmora {
namespace {

constexpr int kComponents = 3;
// Below this many texels a second thread costs more than it saves.
constexpr std::size_t kThreadedTexels = std::size_t{1} << 18;

RgbImage Blank(int width, int height) {
    RgbImage image;
    image.width = width;
    image.height = height;
    ResizeLargeBuffer(image.pixels, static_cast<std::size_t>(width) *
                                        static_cast<std::size_t>(height) * kComponents);
    return image;
}

// Where one output texel's box starts and ends along one side, in input texels: whole texels
// plus a fraction, stepped as GLU steps them (a float fraction that carries into the integer).
struct BoxEdge {
    int low_int = 0;
    float low_float = 0;
    int high_int = 0;
    float high_float = 0;
};

// GLU clamps the box's far edge to the last row, but not to the last column.
std::vector<BoxEdge> BoxEdges(int in, int out, bool clamp) {
    const float conv = static_cast<float>(in) / static_cast<float>(out);
    const int conv_int = static_cast<int>(std::floor(conv));
    const float conv_float = conv - static_cast<float>(conv_int);
    std::vector<BoxEdge> edges(static_cast<std::size_t>(out));
    BoxEdge edge{0, 0, conv_int, conv_float};
    for (BoxEdge& stored : edges) {
        if (clamp && edge.high_int >= in) {
            edge.high_int = in - 1;
        }
        stored = edge;
        edge.low_int = edge.high_int;
        edge.low_float = edge.high_float;
        edge.high_int += conv_int;
        edge.high_float += conv_float;
        if (edge.high_float > 1) {
            edge.high_float -= 1.0f;
            ++edge.high_int;
        }
    }
    return edges;
}

// GLU's box filter over packed rows. Its reads past the end of a row land in the next row, as
// they do in GLU; reads past the end of the picture (weighted by nothing in practice) read 0.
class BoxFilter {
  public:
    BoxFilter(const RgbImage& in, RgbImage& out)
        : in_(in.pixels.data()),
          in_size_(in.pixels.size()),
          row_(static_cast<std::ptrdiff_t>(in.width) * kComponents),
          out_(out),
          columns_(BoxEdges(in.width, out.width, false)),
          rows_(BoxEdges(in.height, out.height, true)),
          area_((static_cast<float>(in.width) / static_cast<float>(out.width)) *
                (static_cast<float>(in.height) / static_cast<float>(out.height))) {}

    void Rows(int first, int end) const {
        for (int i = first; i < end; ++i) {
            std::uint8_t* out = out_.pixels.data() + static_cast<std::size_t>(i) *
                                                         static_cast<std::size_t>(out_.width) *
                                                         kComponents;
            const BoxEdge& y = rows_[static_cast<std::size_t>(i)];
            // No read of a box that ends before the picture's last row can leave the picture,
            // not even the one past the row's last texel: those rows need no check per read.
            if ((static_cast<std::ptrdiff_t>(y.high_int) + 2) * row_ <=
                static_cast<std::ptrdiff_t>(in_size_)) {
                for (const BoxEdge& x : columns_) {
                    Texel<false>(y, x, out);
                    out += kComponents;
                }
            } else {
                for (const BoxEdge& x : columns_) {
                    Texel<true>(y, x, out);
                    out += kComponents;
                }
            }
        }
    }

  private:
    // The three components side by side (the fourth is unused): each lane does exactly the
    // float operations GLU does for its component, in the same order.
    using Totals = float __attribute__((vector_size(4 * sizeof(float))));

    // Adds the texel at offset times weight, as GLU's loops do for each component.
    template <bool kChecked>
    void Add(Totals& totals, std::ptrdiff_t offset, float weight) const {
        totals += Texel3<kChecked>(offset) * weight;
    }

    template <bool kChecked>
    Totals Texel3(std::ptrdiff_t offset) const {
        return Totals{At<kChecked>(offset), At<kChecked>(offset + 1), At<kChecked>(offset + 2),
                      0.0f};
    }

    template <bool kChecked>
    float At(std::ptrdiff_t offset) const {
        if (kChecked && (offset < 0 || static_cast<std::size_t>(offset) >= in_size_)) {
            return 0;
        }
        return in_[offset];
    }

    // One output texel, the sums in GLU's order: the box's first row, its last row, its first
    // and last columns in between, then the whole texels inside.
    template <bool kChecked>
    void Texel(const BoxEdge& y, const BoxEdge& x, std::uint8_t* out) const {
        Totals totals = {0, 0, 0, 0};
        const std::ptrdiff_t x_index = static_cast<std::ptrdiff_t>(x.low_int) * kComponents;
        if (y.high_int > y.low_int && x.high_int > x.low_int) {
            float y_percent = 1 - y.low_float;
            std::ptrdiff_t temp = x_index + y.low_int * row_;
            Add<kChecked>(totals, temp, y_percent * (1 - x.low_float));
            std::ptrdiff_t left = temp;
            for (int l = x.low_int + 1; l < x.high_int; ++l) {
                temp += kComponents;
                Add<kChecked>(totals, temp, y_percent);
            }
            temp += kComponents;
            std::ptrdiff_t right = temp;
            Add<kChecked>(totals, temp, y_percent * x.high_float);

            y_percent = y.high_float;
            temp = x_index + y.high_int * row_;
            Add<kChecked>(totals, temp, y_percent * (1 - x.low_float));
            for (int l = x.low_int + 1; l < x.high_int; ++l) {
                temp += kComponents;
                Add<kChecked>(totals, temp, y_percent);
            }
            temp += kComponents;
            Add<kChecked>(totals, temp, y_percent * x.high_float);

            // GLU steps these by a whole texel per row besides the row itself; kept, as it
            // decides the texels of boxes more than two rows high.
            for (int m = y.low_int + 1; m < y.high_int; ++m) {
                left += row_;
                right += row_;
                totals += Texel3<kChecked>(left) * (1 - x.low_float) +
                          Texel3<kChecked>(right) * x.high_float;
                left += kComponents;
                right += kComponents;
            }
        } else if (y.high_int > y.low_int) {
            const float x_percent = x.high_float - x.low_float;
            std::ptrdiff_t temp = x_index + y.low_int * row_;
            Add<kChecked>(totals, temp, (1 - y.low_float) * x_percent);
            for (int m = y.low_int + 1; m < y.high_int; ++m) {
                temp += row_;
                Add<kChecked>(totals, temp, x_percent);
            }
            temp += row_;
            Add<kChecked>(totals, temp, x_percent * y.high_float);
        } else if (x.high_int > x.low_int) {
            const float y_percent = y.high_float - y.low_float;
            std::ptrdiff_t temp = x_index + y.low_int * row_;
            Add<kChecked>(totals, temp, (1 - x.low_float) * y_percent);
            for (int l = x.low_int + 1; l < x.high_int; ++l) {
                temp += kComponents;
                Add<kChecked>(totals, temp, y_percent);
            }
            temp += kComponents;
            Add<kChecked>(totals, temp, y_percent * x.high_float);
        } else {
            Add<kChecked>(totals, x_index + y.low_int * row_,
                          (y.high_float - y.low_float) * (x.high_float - x.low_float));
        }

        std::ptrdiff_t temp0 = x_index + kComponents + (y.low_int + 1) * row_;
        for (int m = y.low_int + 1; m < y.high_int; ++m) {
            std::ptrdiff_t temp = temp0;
            for (int l = x.low_int + 1; l < x.high_int; ++l) {
                totals += Texel3<kChecked>(temp);
                temp += kComponents;
            }
            temp0 += row_;
        }

        const Totals texel = totals / area_;
        for (int k = 0; k < kComponents; ++k) {
            // Truncated, as a C conversion from float does.
            out[k] = static_cast<std::uint8_t>(static_cast<int>(texel[k]));
        }
    }

    const std::uint8_t* in_;
    std::size_t in_size_;
    std::ptrdiff_t row_;
    RgbImage& out_;
    std::vector<BoxEdge> columns_;
    std::vector<BoxEdge> rows_;
    float area_;
};

// Runs rows [0, height) of work, split across the cores for large outputs.
template <typename Work>
void SplitRows(int height, std::size_t texels, const Work& work) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const int parts = texels < kThreadedTexels ? 1 : static_cast<int>(std::min(cores, 8u));
    if (parts == 1 || height < parts) {
        work(0, height);
        return;
    }
    std::vector<std::jthread> helpers;
    for (int part = 1; part < parts; ++part) {
        const int first = height * part / parts;
        const int end = height * (part + 1) / parts;
        try {
            helpers.emplace_back(work, first, end);
        } catch (const std::system_error&) {
            work(first, end);  // no thread to be had: this one does that part too
        }
    }
    work(0, height / parts);
}

}  // namespace

int GluPowerOfTwo(int side) {
    if (side <= 0) {
        return -1;
    }
    auto value = static_cast<unsigned>(side);
    int power = 1;
    while (value != 1 && value != 3) {
        value >>= 1;
        power *= 2;
    }
    return value == 3 ? power * 4 : power;
}

RgbImage ScaleLikeGlu(const RgbImage& picture, int width, int height) {
    if (picture.width == width * 2 && picture.height == height * 2) {
        return HalveLikeGlu(picture);
    }
    RgbImage scaled = Blank(width, height);
    const BoxFilter filter(picture, scaled);
    SplitRows(height, scaled.pixels.size() / kComponents,
              [&filter](int first, int end) { filter.Rows(first, end); });
    return scaled;
}

RgbImage HalveLikeGlu(const RgbImage& level) {
    const std::size_t row = static_cast<std::size_t>(level.width) * kComponents;
    const std::uint8_t* in = level.pixels.data();
    if (level.width == 1 || level.height == 1) {
        // Along the one side there is: pairs of neighbours, or of rows when it is a column.
        const std::size_t step = level.height == 1 ? kComponents : row;
        RgbImage half = Blank(std::max(level.width / 2, 1), std::max(level.height / 2, 1));
        std::uint8_t* out = half.pixels.data();
        const std::size_t pairs = static_cast<std::size_t>(std::max(level.width, level.height) / 2);
        for (std::size_t pair = 0; pair < pairs; ++pair, in += 2 * step) {
            for (int k = 0; k < kComponents; ++k) {
                *out++ = static_cast<std::uint8_t>((in[k] + in[step + k]) / 2);
            }
        }
        return half;
    }
    RgbImage half = Blank(level.width / 2, level.height / 2);
    SplitRows(half.height, half.pixels.size() / kComponents, [&](int first, int end) {
        for (int i = first; i < end; ++i) {
            const std::uint8_t* top = in + static_cast<std::size_t>(i) * 2 * row;
            const std::uint8_t* bottom = top + row;
            std::uint8_t* out = half.pixels.data() + static_cast<std::size_t>(i) *
                                                         static_cast<std::size_t>(half.width) *
                                                         kComponents;
            for (int x = 0; x < half.width;
                 ++x, top += 2 * kComponents, bottom += 2 * kComponents) {
                for (int k = 0; k < kComponents; ++k) {
                    *out++ = static_cast<std::uint8_t>(
                        (top[k] + top[kComponents + k] + bottom[k] + bottom[kComponents + k] + 2) /
                        4);
                }
            }
        }
    });
    return half;
}

TextureLevels::TextureLevels(RgbImage picture, int width, int height)
    : picture_(std::move(picture)),
      width_(width),
      height_(height),
      picture_is_level0_(picture_.width == width && picture_.height == height) {
    reduced_.reserve(
        static_cast<std::size_t>(std::bit_width(static_cast<unsigned>(std::max(width, height)))));
    if (!picture_is_level0_) {
        reduced_.push_back(ScaleLikeGlu(picture_, width, height));
    }
    const RgbImage* last = picture_is_level0_ ? &picture_ : &reduced_.back();
    while (last->width > 1 || last->height > 1) {
        reduced_.push_back(HalveLikeGlu(*last));
        last = &reduced_.back();
    }
}

const RgbImage& TextureLevels::level(std::size_t index) const {
    if (picture_is_level0_) {
        return index == 0 ? picture_ : reduced_[index - 1];
    }
    return reduced_[index];
}

}  // namespace velmora
