#include "renderer/dib_pixels.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/byte_cursor.h"
#include "renderer/large_buffer.h"

namespace velmora {
namespace {

constexpr std::size_t kBytesPerPixel = 3;

// Run-length escapes: a zero count followed by one of these.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

// One colour of a masked pixel, scaled to 8 bits with rounding (a 5-bit 31 becomes 255).
class ChannelScale {
  public:
    explicit ChannelScale(std::uint32_t mask)
        : mask_(mask),
          shift_(std::countr_zero(mask)),
          maximum_((std::uint64_t{mask} >> std::countr_zero(mask))) {}

    std::uint8_t operator()(std::uint32_t pixel) const {
        const std::uint64_t value = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((value * 255 + maximum_ / 2) / maximum_);
    }

  private:
    std::uint32_t mask_;
    int shift_;
    std::uint64_t maximum_;
};

class PixelWriter {
  public:
    PixelWriter(RgbImage& image, const std::vector<PaletteColour>& palette)
        : image_(image), palette_(palette) {}

    std::uint8_t* Row(std::int32_t row) {
        return image_.pixels.data() + static_cast<std::size_t>(row) *
                                          static_cast<std::size_t>(image_.width) * kBytesPerPixel;
    }

    // False for an index that the colour table does not have.
    bool PutIndex(std::uint8_t*& out, unsigned index) const {
        if (index >= palette_.size()) {
            return false;
        }
        const PaletteColour& colour = palette_[index];
        Put(out, colour.red, colour.green, colour.blue);
        return true;
    }

    static void Put(std::uint8_t*& out, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        out[0] = red;
        out[1] = green;
        out[2] = blue;
        out += kBytesPerPixel;
    }

  private:
    RgbImage& image_;
    const std::vector<PaletteColour>& palette_;
};

bool ConvertIndexedRow(ByteCursor& row, std::uint8_t* out, const DibLayout& layout,
                       const PixelWriter& writer) {
    const unsigned bits = layout.bit_count;
    const unsigned per_byte = 8 / bits;
    const unsigned index_mask = (1u << bits) - 1;
    std::uint8_t byte = 0;
    for (std::int32_t x = 0; x < layout.width; ++x) {
        const unsigned slot = static_cast<unsigned>(x) % per_byte;
        if (slot == 0) {
            byte = row.u8();
        }
        // The leftmost pixel sits in the highest bits of its byte.
        const unsigned index = (byte >> (8 - bits * (slot + 1))) & index_mask;
        if (!writer.PutIndex(out, index)) {
            return false;
        }
    }
    return true;
}

void ConvertMaskedRow(ByteCursor& row, std::uint8_t* out, const DibLayout& layout) {
    const ChannelScale red(layout.masks[0]);
    const ChannelScale green(layout.masks[1]);
    const ChannelScale blue(layout.masks[2]);
    for (std::int32_t x = 0; x < layout.width; ++x) {
        const std::uint32_t pixel = layout.bit_count == 16 ? row.u16() : row.u32();
        PixelWriter::Put(out, red(pixel), green(pixel), blue(pixel));
    }
}

// The row holds exactly width pixels of blue, green, red (ConvertRows took that many bytes).
void ConvertTrueColourRow(std::span<const std::uint8_t> row, std::uint8_t* out) {
    for (std::size_t i = 0; i + 2 < row.size(); i += kBytesPerPixel) {
        out[i] = row[i + 2];
        out[i + 1] = row[i + 1];
        out[i + 2] = row[i];
    }
}

bool ConvertRows(const DibLayout& layout, PixelWriter& writer) {
    const std::uint64_t stride = DibRowStride(layout.width, layout.bit_count);
    const std::size_t row_bytes =
        (static_cast<std::size_t>(layout.width) * layout.bit_count + 7) / 8;
    ByteCursor rows(layout.pixel_data);
    for (std::int32_t stored = 0; stored < layout.height; ++stored) {
        rows.seek(static_cast<std::size_t>(stride * static_cast<std::uint64_t>(stored)));
        const auto row_span = rows.take(row_bytes);
        if (rows.failed()) {
            return false;
        }
        ByteCursor row(row_span);
        std::uint8_t* out = writer.Row(layout.top_down ? layout.height - 1 - stored : stored);
        if (layout.bit_count <= 8) {
            if (!ConvertIndexedRow(row, out, layout, writer)) {
                return false;
            }
        } else if (layout.bit_count == 24) {
            ConvertTrueColourRow(row_span, out);
        } else {
            ConvertMaskedRow(row, out, layout);
        }
    }
    return true;
}

// Decodes run-length data, bottom row first. Every run must stay inside its row and every
// pixel inside the picture; the data must end with the end-of-bitmap mark.
class RunLengthDecoder {
  public:
    RunLengthDecoder(const DibLayout& layout, PixelWriter& writer)
        : layout_(layout), writer_(writer), data_(layout.pixel_data) {}

    bool Decode() {
        while (true) {
            const std::uint8_t count = data_.u8();
            const std::uint8_t value = data_.u8();
            if (data_.failed()) {
                return false;
            }
            if (count > 0) {
                if (!Repeat(count, value)) {
                    return false;
                }
                continue;
            }
            switch (value) {
                case kEndOfLine:
                    x_ = 0;
                    ++y_;
                    break;
                case kEndOfBitmap:
                    return true;
                case kDelta:
                    if (!Move()) {
                        return false;
                    }
                    break;
                default:
                    if (!Literal(value)) {
                        return false;
                    }
                    break;
            }
        }
    }

  private:
    bool Rle4() const { return layout_.compression == kCompressionRle4; }

    bool Put(unsigned index) {
        if (x_ >= layout_.width || y_ >= layout_.height) {
            return false;
        }
        std::uint8_t* out = writer_.Row(y_) + static_cast<std::size_t>(x_) * kBytesPerPixel;
        ++x_;
        return writer_.PutIndex(out, index);
    }

    // A run of one index, or for 4 bits of the two indices of value in turn.
    bool Repeat(unsigned count, std::uint8_t value) {
        for (unsigned i = 0; i < count; ++i) {
            const unsigned index = !Rle4() ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F);
            if (!Put(index)) {
                return false;
            }
        }
        return true;
    }

    // Indices stored one by one, padded to a whole number of 16-bit words.
    bool Literal(unsigned count) {
        const std::size_t bytes = Rle4() ? (count + 1) / 2 : count;
        ByteCursor literal(data_.take(bytes));
        if (data_.failed()) {
            return false;
        }
        std::uint8_t byte = 0;
        for (unsigned i = 0; i < count; ++i) {
            unsigned index = 0;
            if (!Rle4()) {
                index = literal.u8();
            } else {
                if (i % 2 == 0) {
                    byte = literal.u8();
                }
                index = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
            }
            if (!Put(index)) {
                return false;
            }
        }
        if (bytes % 2 != 0) {
            data_.skip(1);
        }
        return !data_.failed();
    }

    // Skips pixels rightwards and rows upwards; the skipped pixels stay black.
    bool Move() {
        const std::uint8_t right = data_.u8();
        const std::uint8_t up = data_.u8();
        x_ += right;
        y_ += up;
        return !data_.failed() && x_ <= layout_.width && y_ < layout_.height;
    }

    const DibLayout& layout_;
    PixelWriter& writer_;
    ByteCursor data_;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
};

}  // namespace

std::variant<RgbImage, DibFailure> ConvertDibPixels(const DibLayout& layout) {
    RgbImage image;
    image.width = layout.width;
    image.height = layout.height;
    ResizeLargeBuffer(image.pixels, static_cast<std::size_t>(layout.width) *
                                        static_cast<std::size_t>(layout.height) * kBytesPerPixel);
    PixelWriter writer(image, layout.palette);
    const bool converted =
        layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4
            ? RunLengthDecoder(layout, writer).Decode()
            : ConvertRows(layout, writer);
    if (!converted) {
        return DibFailure::kConversionError;
    }
    return image;
}

}  // namespace velmora
