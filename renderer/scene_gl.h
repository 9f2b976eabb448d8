#pragma once

#include <memory>
#include <string>

#include "renderer/camera_orbit.h"
#include "renderer/error_reporter.h"
#include "renderer/scene_model.h"

namespace velmora {

// One GL texture name, deleted with its owner. Needs the context that made it to be current.
class GlTexture {
  public:
    GlTexture() = default;
    GlTexture(const GlTexture&) = delete;
    GlTexture& operator=(const GlTexture&) = delete;
    ~GlTexture();

    void Generate();
    unsigned name() const { return name_; }  // 0 until generated: the GL's empty texture

  private:
    unsigned name_ = 0;
};

// Everything the renderer shows: GL state, the two textures, the projection and the animated
// scene. Every call needs the window's GL context current on this thread.
class Scene {
  public:
    explicit Scene(ErrorReporter& reporter);

    // Viewport and projection for a client area.
    void view_resize(int width, int height);
    // Loads both pictures, then sets the fixed GL state; false only when neither loaded.
    bool gl_state_init();
    // Builds the floor, the stars and the lights and puts the camera at its start.
    void scene_build();
    // Draws one frame into the back buffer; the window swaps it.
    bool frame_draw();

    const SceneModel& model() const { return *model_; }
    EyePosition eye_position() const { return eye_position_; }

  private:
    bool textures_load();
    bool TextureLoad(const std::string& path, GlTexture& texture);
    void stars_draw();
    void floor_draw();
    void sprite_draw(const Vec3d& centre, double size, const ColourRgb& colour,
                     const EyePosition& eye, unsigned texture);

    ErrorReporter& reporter_;
    std::unique_ptr<SceneModel> model_;
    CameraOrbit camera_;
    EyePosition eye_position_;
    GlTexture floor_texture_;
    GlTexture flare_texture_;
};

}  // namespace velmora
