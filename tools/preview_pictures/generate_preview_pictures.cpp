// Renders the preview's two sample frames with the renderer's own scene and writes them as the
// JPEG files the saver carries: a sample desktop (as the saver would photograph and mirror it)
// and the saver's built-in flare go into a private picture folder, the renderer's window opens
// at a multiple of the preview's size, the scene is drawn the way the renderer draws it, and two
// frames of the camera's orbit are read back and shrunk to 152 x 112.
//
// Usage: generate_preview_pictures OUTPUT_FOLDER
// It needs an X display with OpenGL; tools/preview_pictures/generate runs it under Xvfb with
// Mesa's software renderer, so that every run makes the same pictures.

#include <GL/gl.h>
#include <stdlib.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/picture_folder.h"
#include "renderer/error_reporter.h"
#include "renderer/sdl_render_window.h"
#include "saver/host/bmp_writer.h"
#include "saver/pictures.h"

namespace velmora {
namespace {

constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;
// Drawn larger and shrunk, as a photograph of the running saver would be: the stars stay
// single points of light instead of a field of full-size pixels.
constexpr int kScale = 3;
constexpr int kJpegQuality = 90;

// Frames of the orbit to keep: the first looks across the floor from high up, the second from
// low down, where the floor tilts away under the stars.
constexpr int kBackgroundFrame = 60;
constexpr int kPictureFrame = 330;

constexpr int kDesktopWidth = 1024;
constexpr int kDesktopHeight = 768;

struct Colour {
    int red, green, blue;
};

class StderrReporter final : public ErrorReporter {
  public:
    void ShowError(const std::string& message) override {
        std::cerr << "renderer: " << message << '\n';
        failed = true;
    }
    bool failed = false;
};

void Fill(RgbPicture& picture, int left, int top, int width, int height, Colour colour) {
    for (int y = std::max(top, 0); y < std::min(top + height, picture.height); ++y) {
        for (int x = std::max(left, 0); x < std::min(left + width, picture.width); ++x) {
            const auto at = static_cast<std::size_t>((y * picture.width + x) * 3);
            picture.rgb[at] = static_cast<std::uint8_t>(colour.red);
            picture.rgb[at + 1] = static_cast<std::uint8_t>(colour.green);
            picture.rgb[at + 2] = static_cast<std::uint8_t>(colour.blue);
        }
    }
}

// A window: a title bar, a light client area with lines of "text".
void DrawWindow(RgbPicture& desktop, int left, int top, int width, int height, Colour title) {
    constexpr int kTitleHeight = 26;
    Fill(desktop, left - 1, top - 1, width + 2, height + 2, {60, 60, 70});
    Fill(desktop, left, top, width, kTitleHeight, title);
    Fill(desktop, left, top + kTitleHeight, width, height - kTitleHeight, {236, 236, 232});
    for (int line = top + kTitleHeight + 18; line < top + height - 12; line += 16) {
        const int length = width - 40 - ((line * 37) % (width / 3));
        Fill(desktop, left + 16, line, length, 3, {120, 120, 130});
    }
}

// A desktop as people leave theirs: a wallpaper falling from teal to deep blue, icons down the
// left, two windows and a task bar.
RgbPicture SampleDesktop() {
    RgbPicture desktop{kDesktopWidth, kDesktopHeight,
                       std::vector<std::uint8_t>(kDesktopWidth * kDesktopHeight * 3)};
    for (int y = 0; y < kDesktopHeight; ++y) {
        for (int x = 0; x < kDesktopWidth; ++x) {
            const double t = (x + 2.0 * y) / (kDesktopWidth + 2.0 * kDesktopHeight);
            Fill(desktop, x, y, 1, 1,
                 {static_cast<int>(20 + 30 * t), static_cast<int>(150 - 100 * t),
                  static_cast<int>(170 - 40 * t)});
        }
    }
    const Colour icons[] = {{230, 200, 60}, {90, 160, 230}, {220, 90, 80}, {120, 200, 110}};
    for (int row = 0; row < 4; ++row) {
        Fill(desktop, 24, 24 + row * 90, 48, 48, icons[row]);
        Fill(desktop, 18, 80 + row * 90, 60, 6, {240, 240, 240});
    }
    DrawWindow(desktop, 180, 90, 520, 380, {40, 90, 200});
    DrawWindow(desktop, 430, 260, 480, 360, {200, 110, 40});
    Fill(desktop, 0, kDesktopHeight - 34, kDesktopWidth, 34, {48, 52, 64});
    Fill(desktop, 6, kDesktopHeight - 28, 90, 22, {90, 170, 90});
    return desktop;
}

bool WritePictures(const std::filesystem::path& folder) {
    return PreparePictureFolder(folder) &&
           WritePrivateFile(folder / kDesktopPictureName,
                            EncodeBmp(MirrorLeftToRight(SampleDesktop()))) &&
           WritePrivateFile(folder / kFlarePictureName, EncodeBmp(FlarePicture()));
}

// The back buffer, rows from the top, shrunk by averaging each kScale x kScale block.
QImage ReadFrame() {
    constexpr int kWidth = kPreviewWidth * kScale;
    constexpr int kHeight = kPreviewHeight * kScale;
    std::vector<std::uint8_t> pixels(kWidth * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    QImage frame(kPreviewWidth, kPreviewHeight, QImage::Format_RGB888);
    for (int y = 0; y < kPreviewHeight; ++y) {
        for (int x = 0; x < kPreviewWidth; ++x) {
            int sum[3] = {0, 0, 0};
            for (int dy = 0; dy < kScale; ++dy) {
                // The GL's rows run from the bottom.
                const int row = kHeight - 1 - (y * kScale + dy);
                for (int dx = 0; dx < kScale; ++dx) {
                    const auto at = static_cast<std::size_t>((row * kWidth + x * kScale + dx) * 3);
                    for (int channel = 0; channel < 3; ++channel) {
                        sum[channel] += pixels[at + static_cast<std::size_t>(channel)];
                    }
                }
            }
            constexpr int kBlock = kScale * kScale;
            frame.setPixel(x, y,
                           qRgb((sum[0] + kBlock / 2) / kBlock, (sum[1] + kBlock / 2) / kBlock,
                                (sum[2] + kBlock / 2) / kBlock));
        }
    }
    return frame;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path output = argv[1];
    char cache_template[] = "/tmp/velmora-preview-XXXXXX";
    if (mkdtemp(cache_template) == nullptr) {
        std::cerr << argv[0] << ": cannot make a temporary folder\n";
        return 1;
    }
    const std::filesystem::path cache = cache_template;
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    int status = 1;
    if (!WritePictures(PictureFolder())) {
        std::cerr << argv[0] << ": cannot write the sample pictures\n";
    } else {
        StderrReporter reporter;
        SdlRenderWindow window(reporter);
        if (!window.render_window_open("Velmora_Preview", kPreviewWidth * kScale,
                                       kPreviewHeight * kScale, 32, false) ||
            reporter.failed) {
            std::cerr << argv[0] << ": cannot open the renderer's window (is DISPLAY set?)\n";
        } else {
            window.scene().scene_build();
            QImage background, picture;
            for (int frame = 1; frame <= kPictureFrame; ++frame) {
                window.scene().frame_draw();
                if (frame == kBackgroundFrame) {
                    background = ReadFrame();
                } else if (frame == kPictureFrame) {
                    picture = ReadFrame();
                }
            }
            window.render_window_close();
            if (background.save(QString::fromStdString(output / "preview_background.jpg"), "JPG",
                                kJpegQuality) &&
                picture.save(QString::fromStdString(output / "preview_picture.jpg"), "JPG",
                             kJpegQuality)) {
                status = 0;
            } else {
                std::cerr << argv[0] << ": cannot write into " << output << '\n';
            }
        }
    }
    std::filesystem::remove_all(cache);
    return status;
}
