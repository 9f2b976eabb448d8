#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "renderer/vec3d.h"

namespace velmora {

// One record for every point array of the scene; a, b, c mean what the array says.
struct ScenePoint {
    std::int32_t state = 0;  // never read by the drawing
    float x = 0, y = 0, z = 0;
    float a = 0, b = 0, c = 0;
};

inline constexpr int kFloorGridSide = 64;
inline constexpr int kStarCount = 8192;
inline constexpr int kCornerLightCount = 4;
inline constexpr float kFloorHeight = -6.0f;
inline constexpr float kSpriteSize = 2.0f;

// View: a 45° vertical field of view between the near and far planes.
inline constexpr double kFieldOfViewDegrees = 45.0;
inline constexpr double kNearPlane = 0.1;
inline constexpr double kFarPlane = 1000.0;

struct ColourRgb {
    float red = 0, green = 0, blue = 0;
};

using CornerLights = std::array<ScenePoint, kCornerLightCount>;

// All points of the scene, filled once by SceneModelBuild and never changed afterwards.
struct SceneModel {
    // [j][i]: x = (j − 32) × 2, z = (i − 32) × 2.
    std::array<std::array<ScenePoint, kFloorGridSide>, kFloorGridSide> floor_grid{};
    // a = 1: drawn as a flare sprite; a = 0: drawn as a point.
    std::array<ScenePoint, kStarCount> star_field{};
    // a, b, c: red, green, blue.
    CornerLights corner_lights{};
    // The colour of each grid point; neither the floor nor the lights move, so it is worked out
    // once here rather than for every corner of every quad in every frame.
    std::array<std::array<ColourRgb, kFloorGridSide>, kFloorGridSide> floor_tint{};
};

void floor_build(SceneModel& model);
// Draws from the C library's rand(), unseeded, so the field is the same on every run.
void stars_build(SceneModel& model);
void corner_lights_build(SceneModel& model);
// The floor, the star field, the lights and the floor's colours.
void SceneModelBuild(SceneModel& model);

// Colour of a floor point: the sum over the lights of the light's colour ÷ (its distance in
// the x-z plane ÷ 32). Sums above 1 are left for the GL to clamp.
ColourRgb FloorTint(const ScenePoint& point, const CornerLights& lights);

// The corners of a flare sprite around centre that faces eye, in the order they are drawn with
// texture coordinates (0, 0), (1, 0), (1, 1), (0, 1); none when the direction to the eye is
// parallel to the z axis (no sprite can be oriented then).
std::optional<std::array<Vec3d, 4>> SpriteCorners(const Vec3d& centre, double size,
                                                  const Vec3d& eye);

// Width ÷ height of the view, a height of 0 counting as 1.
double ViewAspect(int width, int height);

}  // namespace velmora
