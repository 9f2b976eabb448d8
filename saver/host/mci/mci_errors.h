#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::mci_error {

// The codes that media commands fail with, numbered as the system's multimedia interface numbers
// them, so that a code seen in one build means the same in the other.
inline constexpr std::int32_t kUnrecognizedKeyword = 259;
inline constexpr std::int32_t kUnrecognizedCommand = 261;
inline constexpr std::int32_t kHardware = 262;
inline constexpr std::int32_t kInvalidDeviceName = 263;
inline constexpr std::int32_t kDeviceOpen = 265;
inline constexpr std::int32_t kMissingCommandString = 267;
inline constexpr std::int32_t kBadInteger = 270;
inline constexpr std::int32_t kMissingParameter = 273;
inline constexpr std::int32_t kUnsupportedFunction = 274;
inline constexpr std::int32_t kFileNotFound = 275;
inline constexpr std::int32_t kDeviceNotReady = 276;
inline constexpr std::int32_t kExtensionNotFound = 281;
inline constexpr std::int32_t kOutOfRange = 282;
inline constexpr std::int32_t kDuplicateAlias = 289;
inline constexpr std::int32_t kMissingDeviceName = 292;
inline constexpr std::int32_t kBadTimeFormat = 293;
inline constexpr std::int32_t kNoClosingQuote = 294;
inline constexpr std::int32_t kDuplicateFlags = 295;
inline constexpr std::int32_t kInvalidFile = 296;
inline constexpr std::int32_t kExtraCharacters = 305;
inline constexpr std::int32_t kDeviceNotInstalled = 306;

// The text of a code (0 included); nothing for a code this layer does not know.
std::optional<std::string_view> Text(std::int32_t code);

}  // namespace velmora::mci_error
