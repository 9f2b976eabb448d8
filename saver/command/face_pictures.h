#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "saver/command/image_buffer.h"

namespace velmora {

// The stored pictures a Command button shows, named after the image holders that keep them.
enum class Face : std::uint8_t { Normal, HighLight, Selected, HighLightSelect, Pressed, Disable };
inline constexpr std::size_t kFaceCount = 6;

inline constexpr int kFacePictureWidth = 64;
inline constexpr int kFacePictureHeight = 25;
inline constexpr std::size_t kFacePictureBytes =
    static_cast<std::size_t>(kFacePictureWidth) * kFacePictureHeight * 3;

// The dialog colour around the buttons: what a button's surface is cleared to, and the outer
// ring of the pressed and disabled faces.
inline constexpr ImageBuffer::Pixel kDialogFaceColour{236, 233, 216};

// A face's pixels, red-green-blue, rows from the top. The data is made at build time by
// tools/command_faces; HighLight and HighLightSelect share one picture.
std::span<const std::uint8_t, kFacePictureBytes> FacePicturePixels(Face face);

const ImageBuffer& FacePicture(Face face);

}  // namespace velmora
