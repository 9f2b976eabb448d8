#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "renderer/dib_format.h"
#include "renderer/error_reporter.h"
#include "renderer/rgb_image.h"

namespace velmora {

// The loader's messages to the user, one per failure.
inline constexpr std::string_view kUnknownFormatMessage = "Unknown DIB file format.";
inline constexpr std::string_view kOutOfMemoryMessage = "Out of memory.";
inline constexpr std::string_view kConversionErrorMessage = "Image file conversion error.";
// The open-failure text, "Failed to open DIB file <name>.\n", is at most this many bytes: a
// longer name is cut (at a character boundary) rather than the text.
inline constexpr std::size_t kMaxMessageBytes = 1023;
// Files beyond this are not read: no picture that fits the pixel limit needs more.
inline constexpr std::size_t kMaxDibFileBytes = std::size_t{512} << 20;

std::string OpenFailureMessage(std::string_view file_name);
std::string DibFailureMessage(DibFailure failure, std::string_view file_name);

// A whole bitmap file (with or without its 14-byte file header) to a picture.
std::variant<RgbImage, DibFailure> DecodeDib(std::span<const std::uint8_t> file);

// Loads a bitmap file. On failure shows exactly one message through reporter and returns null;
// never returns part of a picture.
std::unique_ptr<RgbImage> dib_load(const std::string& file_name, ErrorReporter& reporter);

}  // namespace velmora
