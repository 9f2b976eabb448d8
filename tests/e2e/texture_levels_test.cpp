// The renderer's own mipmap levels against GLU's gluBuild2DMipmaps, read back from a real GL
// texture (Mesa on a private X server): the first frame shows these texels, so they must be
// GLU's to the bit.
#include "renderer/texture_levels.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/e2e/support/xvfb_server.h"

namespace velmora::test {
namespace {

// Ramps, a checker and a little noise, so that every filter weight shows in the result.
RgbImage Picture(int width, int height) {
    RgbImage picture{width, height, {}};
    unsigned noise = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int jitter = static_cast<int>(noise >> 27);
            picture.pixels.push_back(static_cast<std::uint8_t>((x * 255 / width + jitter) % 256));
            picture.pixels.push_back(static_cast<std::uint8_t>((y * 255 / height + jitter) % 256));
            picture.pixels.push_back(((x / 7) ^ (y / 5)) % 2 == 0 ? 250 : 3);
        }
    }
    return picture;
}

class TextureLevelsAgainstGlu : public testing::Test {
  protected:
    void SetUp() override {
        setenv("DISPLAY", xvfb_.display().c_str(), 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window_ = SDL_CreateWindow("levels", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        context_ = SDL_GL_CreateContext(window_);
        ASSERT_NE(context_, nullptr) << SDL_GetError();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
    }
    void TearDown() override {
        if (context_ != nullptr) {
            SDL_GL_DeleteContext(context_);
        }
        if (window_ != nullptr) {
            SDL_DestroyWindow(window_);
        }
        SDL_Quit();
    }

    // Every level GLU builds for the picture, as the GL stores them.
    static std::vector<RgbImage> GluLevels(const RgbImage& picture) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE,
                          picture.pixels.data());
        std::vector<RgbImage> levels;
        for (GLint level = 0;; ++level) {
            GLint width = 0, height = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
            if (width == 0) {
                break;
            }
            RgbImage texels{width, height, std::vector<std::uint8_t>(width * height * 3u)};
            glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, texels.pixels.data());
            levels.push_back(std::move(texels));
        }
        glDeleteTextures(1, &texture);
        return levels;
    }

    XvfbServer xvfb_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
};

TEST_F(TextureLevelsAgainstGlu, EveryLevelHasGlusTexels) {
    // Rescaled up and down, one side only, already square, one row or column, a real screen.
    const int sizes[][2] = {{1, 1},      {3, 5},      {5, 3},       {7, 1},
                            {1, 6},      {64, 32},    {100, 37},    {321, 203},
                            {1024, 768}, {1366, 768}, {1920, 1080}, {3840, 2160}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        const RgbImage picture = Picture(size[0], size[1]);
        const auto expected = GluLevels(picture);
        const TextureLevels own(picture, GluPowerOfTwo(size[0]), GluPowerOfTwo(size[1]));
        ASSERT_EQ(own.count(), expected.size());
        for (std::size_t level = 0; level < expected.size(); ++level) {
            SCOPED_TRACE("level " + std::to_string(level));
            ASSERT_EQ(own.level(level).width, expected[level].width);
            ASSERT_EQ(own.level(level).height, expected[level].height);
            ASSERT_TRUE(own.level(level).pixels == expected[level].pixels);
        }
    }
}

}  // namespace
}  // namespace velmora::test
