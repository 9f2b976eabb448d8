#include "saver/command/face_pictures.h"

#include <array>

namespace velmora {

const ImageBuffer& FacePicture(Face face) {
    static const std::array<ImageBuffer, kFaceCount> pictures = [] {
        std::array<ImageBuffer, kFaceCount> result;
        for (std::size_t i = 0; i < result.size(); ++i) {
            result[i] = ImageBuffer(kFacePictureWidth, kFacePictureHeight,
                                    FacePicturePixels(static_cast<Face>(i)));
        }
        return result;
    }();
    return pictures.at(static_cast<std::size_t>(face));
}

}  // namespace velmora
