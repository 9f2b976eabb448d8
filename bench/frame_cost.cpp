// Draws a number of frames of one drawing on its own Xvfb and ends, for counting the
// instructions of a frame (bench/frame_instructions runs it under callgrind):
//   frame_cost scene|literal|clear WIDTH HEIGHT FRAMES
// It prints the wall time of the frames, swaps included. It builds against earlier versions of
// the renderer too (with bench_scene.*), to measure them the same way.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL2/SDL.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/bench_scene.h"
#include "common/picture_folder.h"
#include "common/renderer_window.h"
#include "renderer/picture_files.h"
#include "renderer/sdl_render_window.h"
#include "tests/e2e/support/xvfb_server.h"

namespace {

class PrintingReporter : public velmora::ErrorReporter {
  public:
    void ShowError(const std::string& message) override {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
};

// The literal drawing's own texture of a picture, made as the renderer first made it, so that
// this program builds against any version of the renderer.
unsigned LiteralTexture(const std::string& path, velmora::ErrorReporter& reporter) {
    const auto image = velmora::bitmap_file_load(path, reporter);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (image != nullptr) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                          image->pixels.data());
    }
    return texture;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string drawing = argc == 5 ? argv[1] : "";
    if (drawing != "scene" && drawing != "literal" && drawing != "clear") {
        std::fprintf(stderr, "usage: frame_cost scene|literal|clear WIDTH HEIGHT FRAMES\n");
        return 2;
    }
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    const int frames = std::atoi(argv[4]);

    const velmora::test::XvfbServer xvfb(1024, 768);
    const velmora::test::TemporaryFolder cache;
    velmora::bench::WritePictures(cache, 1024, 768);
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    PrintingReporter reporter;
    velmora::SdlRenderWindow window(reporter);
    if (!window.render_window_open(velmora::kRendererWindowTitle, width, height, 32, false)) {
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    velmora::Scene& scene = window.scene();
    scene.scene_build();
    unsigned floor_texture = 0, flare_texture = 0;
    if (drawing == "literal") {
        floor_texture = LiteralTexture(velmora::DesktopPicturePath(), reporter);
        flare_texture = LiteralTexture(velmora::FlarePicturePath(), reporter);
    }
    velmora::CameraOrbit camera;  // the literal drawing's eye moves as the scene's does
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        if (drawing == "scene") {
            scene.frame_draw();
        } else if (drawing == "literal") {
            velmora::bench::LiteralFrameDraw(scene.model(), camera.Advance(), floor_texture,
                                             flare_texture);
        } else {
            velmora::bench::ClearFrameDraw();
        }
        window.SwapBuffers();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%s %d x %d: %d frames in %.3f s\n", drawing.c_str(), width, height, frames,
                elapsed.count());
    return 0;
}
