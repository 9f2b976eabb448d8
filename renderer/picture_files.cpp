#include "renderer/picture_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <new>

#include "common/picture_folder.h"
#include "common/window_id.h"
#include "renderer/dib_loader.h"

namespace velmora {
namespace {

class DeferredReporter : public ErrorReporter {
  public:
    explicit DeferredReporter(std::vector<std::string>& messages) : messages_(messages) {}
    void ShowError(const std::string& message) override { messages_.push_back(message); }

  private:
    std::vector<std::string>& messages_;
};

}  // namespace

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

PreparedPicture PreparePicture(const std::string& path) {
    PreparedPicture prepared;
    DeferredReporter reporter(prepared.messages);
    auto picture = bitmap_file_load(path, reporter);
    if (picture == nullptr) {
        return prepared;
    }
    prepared.loaded = true;
    if (picture->width < 1 || picture->height < 1) {
        return prepared;  // no texture has such a size
    }
    const int width = GluPowerOfTwo(picture->width);
    const int height = GluPowerOfTwo(picture->height);
    try {
        prepared.levels.emplace(std::move(*picture), width, height);
    } catch (const std::bad_alloc&) {
        prepared.levels.reset();
    }
    return prepared;
}

}  // namespace velmora
