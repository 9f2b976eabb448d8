#include "bench/bench_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "common/picture_folder.h"
#include "tests/support/bmp_file.h"

namespace velmora::bench {

std::vector<std::uint8_t> DesktopPicture(int width, int height) {
    std::vector<std::uint8_t> rows;
    rows.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rows.push_back(static_cast<std::uint8_t>(x * 255 / width));
            rows.push_back(static_cast<std::uint8_t>(y * 255 / height));
            rows.push_back(static_cast<std::uint8_t>(((x / 16) ^ (y / 16)) % 2 == 0 ? 220 : 90));
        }
    }
    return test::Bmp24(width, height, rows);
}

void WritePictures(const test::TemporaryFolder& cache, int desktop_width, int desktop_height) {
    const auto folder = ResolvePictureFolder(cache.path().c_str(), nullptr);
    PreparePictureFolder(folder);
    test::WriteBytes((folder / kDesktopPictureName).string(),
                     DesktopPicture(desktop_width, desktop_height));
    test::WriteBytes((folder / kFlarePictureName).string(), test::GreyBmp8());
}

namespace {

constexpr float kFloorTextureScale = 1.0f / kFloorGridSide;

void LiteralSprite(const Vec3d& centre, const EyePosition& eye, unsigned texture) {
    const auto corners = SpriteCorners(centre, kSpriteSize, {eye.x, eye.y, eye.z});
    if (!corners) {
        return;
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glBindTexture(GL_TEXTURE_2D, texture);
    static constexpr GLdouble kCornerTexture[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (std::size_t corner = 0; corner < 4; ++corner) {
        glTexCoord2d(kCornerTexture[corner][0], kCornerTexture[corner][1]);
        glVertex3d((*corners)[corner].x, (*corners)[corner].y, (*corners)[corner].z);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

}  // namespace

namespace {

void FloorVertices(const SceneModel& model, int i, int j) {
    static constexpr int kQuadCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& step : kQuadCorners) {
        const int jc = j + step[0];
        const int ic = i + step[1];
        const ScenePoint& point = model.floor_grid[jc][ic];
        const ColourRgb& tint = model.floor_tint[jc][ic];
        glTexCoord2f(static_cast<float>(jc) * kFloorTextureScale,
                     static_cast<float>(ic) * kFloorTextureScale);
        glColor3f(tint.red, tint.green, tint.blue);
        glVertex3f(point.x, point.y, point.z);
    }
}

// One frame in immediate mode; one_per_primitive gives every star and floor quad its own
// begin/end.
void ImmediateFrameDraw(const SceneModel& model, const EyePosition& eye, unsigned floor_texture,
                        unsigned flare_texture, bool one_per_primitive) {
    // The drawing it was had no vertex arrays; with them enabled Mesa splits its immediate-mode
    // quads along the other diagonal.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0);

    glColor3f(1.0f, 1.0f, 1.0f);
    if (!one_per_primitive) {
        glBegin(GL_POINTS);
    }
    for (const ScenePoint& star : model.star_field) {
        if (star.a == 0.0f) {
            if (one_per_primitive) {
                glColor3f(1.0f, 1.0f, 1.0f);
                glBegin(GL_POINTS);
            }
            glVertex3f(star.x, star.y, star.z);
            if (one_per_primitive) {
                glEnd();
            }
        }
    }
    if (!one_per_primitive) {
        glEnd();
    }
    for (const ScenePoint& star : model.star_field) {
        if (star.a != 0.0f) {
            LiteralSprite({star.x, star.y, star.z}, eye, flare_texture);
        }
    }

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, floor_texture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    if (!one_per_primitive) {
        glBegin(GL_QUADS);
    }
    for (int i = 0; i < kFloorGridSide - 1; ++i) {
        for (int j = 0; j < kFloorGridSide - 1; ++j) {
            if (one_per_primitive) {
                glBegin(GL_QUADS);
            }
            FloorVertices(model, i, j);
            if (one_per_primitive) {
                glEnd();
            }
        }
    }
    if (!one_per_primitive) {
        glEnd();
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glPopClientAttrib();
}

}  // namespace

void LiteralFrameDraw(const SceneModel& model, const EyePosition& eye, unsigned floor_texture,
                      unsigned flare_texture) {
    ImmediateFrameDraw(model, eye, floor_texture, flare_texture, true);
}

void PreviousFrameDraw(const SceneModel& model, const EyePosition& eye, unsigned floor_texture,
                       unsigned flare_texture) {
    ImmediateFrameDraw(model, eye, floor_texture, flare_texture, false);
}

void ClearFrameDraw() {
    glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<std::uint8_t> BackBufferPixels(int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) *
                                     static_cast<std::size_t>(height) * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace velmora::bench
