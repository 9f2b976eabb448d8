#include "renderer/dib_loader.h"

#include <new>

#include "common/file_bytes.h"
#include "renderer/dib_pixels.h"

namespace velmora {
namespace {

constexpr std::string_view kOpenFailurePrefix = "Failed to open DIB file ";
constexpr std::string_view kOpenFailureSuffix = ".\n";

// The longest start of text that is at most limit bytes and does not split a UTF-8 sequence.
std::string_view CutToFit(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

}  // namespace

std::string OpenFailureMessage(std::string_view file_name) {
    const std::size_t room =
        kMaxMessageBytes - kOpenFailurePrefix.size() - kOpenFailureSuffix.size();
    std::string message(kOpenFailurePrefix);
    message += CutToFit(file_name, room);
    message += kOpenFailureSuffix;
    return message;
}

std::string DibFailureMessage(DibFailure failure, std::string_view file_name) {
    switch (failure) {
        case DibFailure::kCannotOpen:
            return OpenFailureMessage(file_name);
        case DibFailure::kUnknownFormat:
            return std::string(kUnknownFormatMessage);
        case DibFailure::kOutOfMemory:
            return std::string(kOutOfMemoryMessage);
        case DibFailure::kConversionError:
            break;
    }
    return std::string(kConversionErrorMessage);
}

std::variant<RgbImage, DibFailure> DecodeDib(std::span<const std::uint8_t> file) {
    auto parsed = ParseDib(file);
    if (const auto* failure = std::get_if<DibFailure>(&parsed)) {
        return *failure;
    }
    try {
        return ConvertDibPixels(std::get<DibLayout>(parsed));
    } catch (const std::bad_alloc&) {
        return DibFailure::kOutOfMemory;
    }
}

std::unique_ptr<RgbImage> dib_load(const std::string& file_name, ErrorReporter& reporter) {
    std::variant<RgbImage, DibFailure> result = DibFailure::kCannotOpen;
    try {
        // Mapped, not copied: the pixels are converted straight from the file's pages. The
        // saver replaces these files whole, never in place.
        const MappedFile file = MappedFile::Map(file_name, kMaxDibFileBytes);
        if (file.status() == FileBytes::Status::kTooLarge) {
            result = DibFailure::kOutOfMemory;
        } else if (file.status() == FileBytes::Status::kRead) {
            result = DecodeDib(file.bytes());
        }
    } catch (const std::bad_alloc&) {
        result = DibFailure::kOutOfMemory;
    }
    if (auto* image = std::get_if<RgbImage>(&result)) {
        return std::make_unique<RgbImage>(std::move(*image));
    }
    reporter.ShowError(DibFailureMessage(std::get<DibFailure>(result), file_name));
    return nullptr;
}

}  // namespace velmora
