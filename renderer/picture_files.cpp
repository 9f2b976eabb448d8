#include "renderer/picture_files.h"

#include <cstdio>

#include "common/picture_folder.h"
#include "renderer/dib_loader.h"

namespace velmora {

std::string DesktopPicturePath() {
    return (PictureFolder() / kDesktopPictureName).string();
}

std::string FlarePicturePath() {
    return (PictureFolder() / kFlarePictureName).string();
}

std::unique_ptr<RgbImage> bitmap_file_load(const std::string& path, ErrorReporter& reporter) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return nullptr;
    }
    std::fclose(file);
    return dib_load(path, reporter);
}

}  // namespace velmora
