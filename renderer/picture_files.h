#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "renderer/error_reporter.h"
#include "renderer/rgb_image.h"
#include "renderer/texture_levels.h"

namespace velmora {

// The two pictures the saver leaves in the picture folder. Inside a screen-saver daemon's window
// the desktop picture is that window's own, once the window is set here.
void UseDesktopPictureOfWindow(unsigned long window);
std::string DesktopPicturePath();
std::string FlarePicturePath();

// A picture file that cannot be opened at all gives null without a word (the saver may not
// have written it); any other failure is the loader's and it tells the user.
std::unique_ptr<RgbImage> bitmap_file_load(const std::string& path, ErrorReporter& reporter);

// A picture file loaded and made into mipmap levels, work that needs no GL and so runs beside
// the window's start. What the loader has to tell the user waits in messages for the thread
// that may show it.
struct PreparedPicture {
    std::vector<std::string> messages;
    bool loaded = false;
    // None when the levels do not fit in memory: the texture then stays without texels, as it
    // did when GLU gave up.
    std::optional<TextureLevels> levels;
};
PreparedPicture PreparePicture(const std::string& path);

}  // namespace velmora
