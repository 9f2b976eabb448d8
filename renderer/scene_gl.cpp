#include "renderer/scene_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <thread>
#include <type_traits>
#include <utility>

namespace velmora {
namespace {

static_assert(std::is_same_v<GLuint, unsigned>);

constexpr GLfloat kClearAlpha = 0.5f;
constexpr float kFloorTextureScale = 1.0f / kFloorGridSide;  // the far edges reach 63/64
constexpr ColourRgb kWhite = {1.0f, 1.0f, 1.0f};
constexpr GLint kTextureComponents = 3;
constexpr int kQuadCorners = 4;
constexpr int kPreparingNiceness = 10;
// A sprite's corners take the flare picture's corners in this order.
constexpr float kCornerTexture[kQuadCorners][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

// The size GLU settles on for level 0: both sides halved until the GL says that level 1 of
// that size fits, or clamped to its largest texture size where even 1 × 1 does not.
std::pair<int, int> FittingSize(const int wanted_width, const int wanted_height) {
    int width = wanted_width;
    int height = wanted_height;
    while (true) {
        const int next_width = width > 1 ? width / 2 : width;
        const int next_height = height > 1 ? height / 2 : height;
        glTexImage2D(GL_PROXY_TEXTURE_2D, 1, kTextureComponents, next_width, next_height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, nullptr);
        GLint fitted_width = 0;
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &fitted_width);
        if (fitted_width != 0) {
            return {width, height};
        }
        if (width == 1 && height == 1) {
            break;
        }
        width = next_width;
        height = next_height;
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return {std::min(wanted_width, largest), std::min(wanted_height, largest)};
}

std::future<PreparedPicture> StartPreparing(std::string path) {
    // Where no thread can be had, the work waits for the first get().
    return std::async(std::launch::async | std::launch::deferred,
                      [path = std::move(path), opener = std::this_thread::get_id()] {
                          // Opening the window comes first; the pictures take the time it
                          // leaves, which is plenty while SDL waits for the switch to full
                          // screen. Deferred, the work runs on the opening thread itself.
                          if (std::this_thread::get_id() != opener) {
                              setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()),
                                          kPreparingNiceness);
                          }
                          return PreparePicture(path);
                      });
}

}  // namespace

void TextureLevelsUpload(const TextureLevels& prepared) {
    const auto [width, height] = FittingSize(prepared.width(), prepared.height());
    std::optional<TextureLevels> refitted;
    if (width != prepared.width() || height != prepared.height()) {
        // Too large for this GL: GLU would have scaled the picture to the smaller size.
        refitted.emplace(prepared.picture(), width, height);
    }
    const TextureLevels& levels = refitted ? *refitted : prepared;
    for (std::size_t index = 0; index < levels.count(); ++index) {
        const RgbImage& level = levels.level(index);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(index), kTextureComponents, level.width,
                     level.height, 0, GL_RGB, GL_UNSIGNED_BYTE, level.pixels.data());
    }
}

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

GlDisplayList::~GlDisplayList() {
    if (name_ != 0) {
        glDeleteLists(name_, 1);
    }
}

void GlDisplayList::Generate() {
    if (name_ == 0) {
        name_ = glGenLists(1);
    }
}

Scene::Scene(ErrorReporter& reporter)
    : reporter_(reporter),
      model_(std::make_unique<SceneModel>()),
      // The paths are read here: the environment is not for other threads to read.
      floor_load_(StartPreparing(DesktopPicturePath())),
      flare_load_(StartPreparing(FlarePicturePath())) {}

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

void Scene::textures_upload() {
    // Both are taken even when the first fails: each picture stands on its own.
    floor_loaded_ = TextureUpload(floor_load_, floor_texture_);
    flare_loaded_ = TextureUpload(flare_load_, flare_texture_);
    // Another thread's texels must be in place before this context's draws read them.
    glFinish();
    textures_uploaded_ = true;
}

bool Scene::gl_state_init() {
    if (!textures_uploaded_) {
        textures_upload();
    }
    for (const std::string& message : load_messages_) {
        reporter_.ShowError(message);
    }
    load_messages_.clear();
    if (!floor_loaded_ && !flare_loaded_) {
        return false;
    }
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, kClearAlpha);
    // No depth test: only the plain stars would write depth, and they are opaque white under
    // layers that only add light, so testing against them cannot change a pixel (the bench
    // compares frames with the depth-tested drawing).
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

bool Scene::TextureUpload(std::future<PreparedPicture>& load, GlTexture& texture) {
    if (!load.valid()) {
        return false;
    }
    const PreparedPicture prepared = load.get();
    load_messages_.insert(load_messages_.end(), prepared.messages.begin(), prepared.messages.end());
    if (!prepared.loaded) {
        return false;
    }
    texture.Generate();
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    // The rows arrive packed; the GL's default of 4-byte rows would read past their end.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (prepared.levels) {
        TextureLevelsUpload(*prepared.levels);
    }
    return true;
}

void Scene::scene_build() {
    camera_.Reset();
    SceneModelBuild(*model_);
    stars_build();
    floor_build();
    const auto flares = std::count_if(model_->star_field.begin(), model_->star_field.end(),
                                      [](const ScenePoint& star) { return star.a != 0.0f; });
    sprite_vertices_.assign(static_cast<std::size_t>(flares) * kQuadCorners, {});
    if (!sprite_vertices_.empty()) {
        glVertexPointer(3, GL_FLOAT, sizeof(SpriteVertex), &sprite_vertices_.front().x);
        glTexCoordPointer(2, GL_FLOAT, sizeof(SpriteVertex), &sprite_vertices_.front().s);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

void Scene::stars_build() {
    // Points are opaque white and sprites only add light, so drawing all points before all
    // sprites gives the same picture as drawing them in array order.
    stars_list_.Generate();
    glNewList(stars_list_.name(), GL_COMPILE);
    glColor3f(kWhite.red, kWhite.green, kWhite.blue);
    glBegin(GL_POINTS);
    for (const ScenePoint& star : model_->star_field) {
        if (star.a == 0.0f) {
            glVertex3f(star.x, star.y, star.z);
        }
    }
    glEnd();
    glEndList();
}

void Scene::floor_build() {
    static constexpr int kQuadSteps[kQuadCorners][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};  // (j, i)
    floor_list_.Generate();
    glNewList(floor_list_.name(), GL_COMPILE);
    glBegin(GL_QUADS);
    for (int i = 0; i < kFloorGridSide - 1; ++i) {
        for (int j = 0; j < kFloorGridSide - 1; ++j) {
            for (const auto& step : kQuadSteps) {
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
    glEndList();
}

bool Scene::frame_draw() {
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    eye_position_ = camera_.Advance();
    gluLookAt(eye_position_.x, eye_position_.y, eye_position_.z, 0, 0, 0, 0, 1, 0);
    // The floor first and unblended: over the cleared black, writing it is adding it. The white
    // stars then cover it as they covered everything, and the sprites add their light on top,
    // in sums that do not depend on their order.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, floor_texture_.name());
    glCallList(floor_list_.name());
    glDisable(GL_TEXTURE_2D);
    glCallList(stars_list_.name());
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    sprites_draw();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    return true;
}

void Scene::sprites_draw() {
    const Vec3d eye{eye_position_.x, eye_position_.y, eye_position_.z};
    SpriteVertex* vertex = sprite_vertices_.data();
    for (const ScenePoint& star : model_->star_field) {
        if (star.a == 0.0f) {
            continue;
        }
        const auto corners = SpriteCorners({star.x, star.y, star.z}, kSpriteSize, eye);
        if (!corners) {
            continue;
        }
        for (int corner = 0; corner < kQuadCorners; ++corner, ++vertex) {
            const Vec3d& position = (*corners)[static_cast<std::size_t>(corner)];
            *vertex = {static_cast<float>(position.x), static_cast<float>(position.y),
                       static_cast<float>(position.z), kCornerTexture[corner][0],
                       kCornerTexture[corner][1]};
        }
    }
    glColor3f(kWhite.red, kWhite.green, kWhite.blue);
    glBindTexture(GL_TEXTURE_2D, flare_texture_.name());
    // One draw per sprite, as each sprite once was its own draw: Mesa takes a draw whose
    // vertices need clipping through another path that splits its quads along the other
    // diagonal, so a sprite drawn with others at the screen's edge would move a few pixels by
    // a step.
    const auto count = static_cast<GLint>(vertex - sprite_vertices_.data());
    for (GLint first = 0; first < count; first += kQuadCorners) {
        glDrawArrays(GL_QUADS, first, kQuadCorners);
    }
}

}  // namespace velmora
