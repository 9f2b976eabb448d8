// Any bytes as a bitmap file: the loader gives a whole picture or a failure, never reads outside
// the bytes (AddressSanitizer) and never hangs.
#include <cstddef>
#include <cstdint>
#include <span>

#include "renderer/dib_loader.h"

namespace {

// A few bytes of run-length data may describe a picture of many megabytes; clearing that much
// for every input would leave little time for anything else.
constexpr std::size_t kMaxFuzzedPixels = std::size_t{1} << 20;

bool SmallEnough(std::span<const std::uint8_t> file) {
    const auto parsed = velmora::ParseDib(file);
    const auto* layout = std::get_if<velmora::DibLayout>(&parsed);
    return layout == nullptr ||
           static_cast<std::size_t>(layout->width) * static_cast<std::size_t>(layout->height) <=
               kMaxFuzzedPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    if (!SmallEnough(file)) {
        return 0;
    }
    auto result = velmora::DecodeDib(file);
    if (const auto* image = std::get_if<velmora::RgbImage>(&result)) {
        const bool whole = image->width > 0 && image->height > 0 &&
                           image->pixels.size() == static_cast<std::size_t>(image->width) *
                                                       static_cast<std::size_t>(image->height) * 3;
        if (!whole) {
            __builtin_trap();
        }
    }
    return 0;
}
