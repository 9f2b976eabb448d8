#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "saver/command/image_buffer.h"
#include "saver/pictures.h"

namespace velmora {

// The pictures the settings dialog keeps: the brushed-metal strip that tiles its panel, the two
// radio marks and the window icon. The pixels are made at build time by tools/dialog_pictures.

inline constexpr int kMetalStripWidth = 556;
inline constexpr int kMetalStripHeight = 20;
inline constexpr std::size_t kMetalStripBytes =
    static_cast<std::size_t>(kMetalStripWidth) * kMetalStripHeight * 3;

inline constexpr int kRadioMarkSide = 12;
inline constexpr std::size_t kRadioMarkBytes =
    static_cast<std::size_t>(kRadioMarkSide) * kRadioMarkSide * 3;

inline constexpr int kIconSide = 32;
inline constexpr std::size_t kIconPixels = static_cast<std::size_t>(kIconSide) * kIconSide;
inline constexpr std::size_t kIconPaletteBytes = 256 * 3;

enum class RadioMark : std::uint8_t { Unselected = 0, Selected = 1 };

// Red-green-blue bytes, rows from the top.
std::span<const std::uint8_t, kMetalStripBytes> MetalStripPixels();
std::span<const std::uint8_t, kRadioMarkBytes> RadioMarkPixels(RadioMark mark);
// One palette index per pixel, rows from the top, and the 256 palette colours as red, green,
// blue.
std::span<const std::uint8_t, kIconPixels> IconIndices();
std::span<const std::uint8_t, kIconPaletteBytes> IconPalette();

const ImageBuffer& MetalStripPicture();
const ImageBuffer& RadioMarkPicture(RadioMark mark);
IndexedPicture IconPicture();

}  // namespace velmora
