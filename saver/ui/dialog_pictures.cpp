#include "saver/ui/dialog_pictures.h"

#include <algorithm>
#include <array>

namespace velmora {

const ImageBuffer& MetalStripPicture() {
    static const ImageBuffer picture(kMetalStripWidth, kMetalStripHeight, MetalStripPixels());
    return picture;
}

const ImageBuffer& RadioMarkPicture(RadioMark mark) {
    static const std::array<ImageBuffer, 2> pictures{
        ImageBuffer(kRadioMarkSide, kRadioMarkSide, RadioMarkPixels(RadioMark::Unselected)),
        ImageBuffer(kRadioMarkSide, kRadioMarkSide, RadioMarkPixels(RadioMark::Selected))};
    return pictures.at(static_cast<std::size_t>(mark));
}

IndexedPicture IconPicture() {
    IndexedPicture icon{kIconSide, kIconSide, {IconIndices().begin(), IconIndices().end()}, {}};
    const auto palette = IconPalette();
    for (std::size_t i = 0; i < icon.palette.size(); ++i) {
        icon.palette[i] = {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]};
    }
    return icon;
}

}  // namespace velmora
