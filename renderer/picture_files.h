#pragma once

#include <memory>
#include <string>

#include "renderer/error_reporter.h"
#include "renderer/rgb_image.h"

namespace velmora {

// The two pictures the saver leaves in the picture folder. Inside a screen-saver daemon's window
// the desktop picture is that window's own, once the window is set here.
void UseDesktopPictureOfWindow(unsigned long window);
std::string DesktopPicturePath();
std::string FlarePicturePath();

// A picture file that cannot be opened at all gives null without a word (the saver may not
// have written it); any other failure is the loader's and it tells the user.
std::unique_ptr<RgbImage> bitmap_file_load(const std::string& path, ErrorReporter& reporter);

}  // namespace velmora
