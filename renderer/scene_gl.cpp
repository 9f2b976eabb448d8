#include "renderer/scene_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <type_traits>

#include "renderer/picture_files.h"

namespace velmora {
namespace {

static_assert(std::is_same_v<GLuint, unsigned>);

constexpr GLfloat kClearAlpha = 0.5f;
constexpr float kFloorTextureScale = 1.0f / kFloorGridSide;  // the far edges reach 63/64
constexpr ColourRgb kWhite = {1.0f, 1.0f, 1.0f};
constexpr GLint kTextureComponents = 3;

}  // namespace

GlTexture::~GlTexture() {
    if (name_ != 0) {
        glDeleteTextures(1, &name_);
    }
}

void GlTexture::Generate() {
    if (name_ == 0) {
        glGenTextures(1, &name_);
    }
}

Scene::Scene(ErrorReporter& reporter)
    : reporter_(reporter), model_(std::make_unique<SceneModel>()) {}

void Scene::view_resize(int width, int height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees, ViewAspect(width, height), kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool Scene::gl_state_init() {
    if (!textures_load()) {
        return false;
    }
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, kClearAlpha);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

bool Scene::textures_load() {
    // Both are tried even when the first fails: each picture stands on its own.
    const bool floor = TextureLoad(DesktopPicturePath(), floor_texture_);
    const bool flare = TextureLoad(FlarePicturePath(), flare_texture_);
    return floor || flare;
}

bool Scene::TextureLoad(const std::string& path, GlTexture& texture) {
    const auto image = bitmap_file_load(path, reporter_);
    if (image == nullptr) {
        return false;
    }
    texture.Generate();
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    // The rows arrive packed; the GL's default of 4-byte rows would read past their end.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, kTextureComponents, image->width, image->height, GL_RGB,
                      GL_UNSIGNED_BYTE, image->pixels.data());
    return true;
}

void Scene::scene_build() {
    camera_.Reset();
    SceneModelBuild(*model_);
}

bool Scene::frame_draw() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    eye_position_ = camera_.Advance();
    gluLookAt(eye_position_.x, eye_position_.y, eye_position_.z, 0, 0, 0, 0, 1, 0);
    stars_draw();
    floor_draw();
    return true;
}

void Scene::stars_draw() {
    // Points are opaque white and sprites only add light, so drawing all points before all
    // sprites gives the same picture as drawing them in array order.
    glColor3f(kWhite.red, kWhite.green, kWhite.blue);
    glBegin(GL_POINTS);
    for (const ScenePoint& star : model_->star_field) {
        if (star.a == 0.0f) {
            glVertex3f(star.x, star.y, star.z);
        }
    }
    glEnd();
    for (const ScenePoint& star : model_->star_field) {
        if (star.a != 0.0f) {
            sprite_draw({star.x, star.y, star.z}, kSpriteSize, kWhite, eye_position_,
                        flare_texture_.name());
        }
    }
}

void Scene::sprite_draw(const Vec3d& centre, double size, const ColourRgb& colour,
                        const EyePosition& eye, unsigned texture) {
    const auto corners = SpriteCorners(centre, size, {eye.x, eye.y, eye.z});
    if (!corners) {
        return;
    }
    glColor3f(colour.red, colour.green, colour.blue);
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

void Scene::floor_draw() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, floor_texture_.name());
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    static constexpr int kQuadCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};  // (j, i) steps
    glBegin(GL_QUADS);
    for (int i = 0; i < kFloorGridSide - 1; ++i) {
        for (int j = 0; j < kFloorGridSide - 1; ++j) {
            for (const auto& step : kQuadCorners) {
                const int jc = j + step[0];
                const int ic = i + step[1];
                const ScenePoint& point = model_->floor_grid[jc][ic];
                const ColourRgb& tint = model_->floor_tint[jc][ic];
                glTexCoord2f(static_cast<float>(jc) * kFloorTextureScale,
                             static_cast<float>(ic) * kFloorTextureScale);
                glColor3f(tint.red, tint.green, tint.blue);
                glVertex3f(point.x, point.y, point.z);
            }
        }
    }
    glEnd();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDisable(GL_TEXTURE_2D);
}

}  // namespace velmora
