#include "renderer/picture_files.h"

#include <fcntl.h>
#include <unistd.h>

#include "common/picture_folder.h"
#include "common/window_id.h"
#include "renderer/dib_loader.h"

namespace velmora {

namespace {

std::string desktop_picture_name = kDesktopPictureName;

}  // namespace

void UseDesktopPictureOfWindow(unsigned long window) {
    desktop_picture_name = WindowDesktopPictureName(window);
}

std::string DesktopPicturePath() {
    return (PictureFolder() / desktop_picture_name).string();
}

std::string FlarePicturePath() {
    return (PictureFolder() / kFlarePictureName).string();
}

std::unique_ptr<RgbImage> bitmap_file_load(const std::string& path, ErrorReporter& reporter) {
    // Without waiting: opening a FIFO for reading would block until someone writes to it.
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return nullptr;
    }
    close(file);
    return dib_load(path, reporter);
}

}  // namespace velmora
