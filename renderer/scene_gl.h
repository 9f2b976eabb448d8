#pragma once

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "renderer/camera_orbit.h"
#include "renderer/error_reporter.h"
#include "renderer/picture_files.h"
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

// One GL display list, deleted with its owner. Needs the context that made it to be current.
class GlDisplayList {
  public:
    GlDisplayList() = default;
    GlDisplayList(const GlDisplayList&) = delete;
    GlDisplayList& operator=(const GlDisplayList&) = delete;
    ~GlDisplayList();

    void Generate();
    unsigned name() const { return name_; }

  private:
    unsigned name_ = 0;
};

// Makes levels the bound 2D texture's mipmaps, at the size GLU would have chosen for this GL.
void TextureLevelsUpload(const TextureLevels& levels);

// A flare sprite's corner as the vertex array holds it.
struct SpriteVertex {
    float x = 0, y = 0, z = 0;
    float s = 0, t = 0;
};

// Everything the renderer shows: GL state, the two textures, the projection and the animated
// scene. Construction starts loading both pictures on other threads; every other call needs the
// window's GL context current on this thread.
class Scene {
  public:
    explicit Scene(ErrorReporter& reporter);

    // Viewport and projection for a client area.
    void view_resize(int width, int height);
    // Takes both pictures as they finish loading and makes them textures. Needs a context that
    // shares its objects with the drawing one current on the calling thread, which may be
    // another one; once done, the next call on the drawing thread must come after it.
    void textures_upload();
    // Makes the textures unless textures_upload has, tells the user what the loader found wrong
    // with the pictures, then sets the fixed GL state; false only when neither loaded.
    bool gl_state_init();
    // Builds the floor, the stars and the lights, hands their fixed parts to the GL once and puts
    // the camera at its start.
    void scene_build();
    // Draws one frame into the back buffer; the window swaps it.
    bool frame_draw();

    const SceneModel& model() const { return *model_; }
    EyePosition eye_position() const { return eye_position_; }
    unsigned floor_texture() const { return floor_texture_.name(); }
    unsigned flare_texture() const { return flare_texture_.name(); }

  private:
    bool TextureUpload(std::future<PreparedPicture>& load, GlTexture& texture);
    void stars_build();
    void floor_build();
    void sprites_draw();

    ErrorReporter& reporter_;
    std::unique_ptr<SceneModel> model_;
    std::future<PreparedPicture> floor_load_;
    std::future<PreparedPicture> flare_load_;
    bool textures_uploaded_ = false;
    bool floor_loaded_ = false;
    bool flare_loaded_ = false;
    // What the loader has to tell the user, kept until the drawing thread can show it.
    std::vector<std::string> load_messages_;
    CameraOrbit camera_;
    EyePosition eye_position_;
    GlTexture floor_texture_;
    GlTexture flare_texture_;
    GlDisplayList stars_list_;
    GlDisplayList floor_list_;
    // Four corners for every flare star; filled anew each frame, never reallocated.
    std::vector<SpriteVertex> sprite_vertices_;
};

}  // namespace velmora
