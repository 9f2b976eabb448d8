#include "renderer/scene_model.h"

#include <cmath>
#include <cstdlib>

namespace velmora {
namespace {

constexpr int kFloorGridCentre = 32;
constexpr float kFloorGridSpacing = 2.0f;

constexpr int kStarCoordinateRange = 2000;  // a coordinate is the difference of two draws
constexpr double kStarCoordinateScale = 0.1;
constexpr double kStarClearRadius = 80.0;  // no star this close to the origin
constexpr int kSpriteOdds = 40;            // about one star in 40 glows as a sprite
constexpr int kSpriteDraw = 4;

// The floor's light falls off with distance ÷ 32.
constexpr double kTintDistanceScale = 0.03125;

constexpr CornerLights kCornerLights = {{
    {0, -61, 2, -61, 1, 0, 0},  // red
    {0, 61, 2, -61, 0, 1, 0},   // green
    {0, 61, 2, 61, 0, 0, 1},    // blue
    {0, -61, 2, 61, 0, 0, 0},   // black
}};

float StarCoordinate() {
    const int first = std::rand() % kStarCoordinateRange;
    const int second = std::rand() % kStarCoordinateRange;
    return static_cast<float>((first - second) * kStarCoordinateScale);
}

}  // namespace

void floor_build(SceneModel& model) {
    for (int j = 0; j < kFloorGridSide; ++j) {
        for (int i = 0; i < kFloorGridSide; ++i) {
            ScenePoint& point = model.floor_grid[j][i];
            point.x = static_cast<float>(j - kFloorGridCentre) * kFloorGridSpacing;
            point.y = kFloorHeight;
            point.z = static_cast<float>(i - kFloorGridCentre) * kFloorGridSpacing;
        }
    }
}

void stars_build(SceneModel& model) {
    for (ScenePoint& star : model.star_field) {
        ScenePoint candidate;
        do {
            candidate.x = StarCoordinate();
            candidate.y = StarCoordinate();
            candidate.z = StarCoordinate();
            candidate.a = std::rand() % kSpriteOdds == kSpriteDraw ? 1.0f : 0.0f;
        } while (std::sqrt(double{candidate.x} * candidate.x + double{candidate.y} * candidate.y +
                           double{candidate.z} * candidate.z) < kStarClearRadius);
        star = candidate;
    }
}

void corner_lights_build(SceneModel& model) {
    model.corner_lights = kCornerLights;
}

void SceneModelBuild(SceneModel& model) {
    floor_build(model);
    stars_build(model);
    corner_lights_build(model);
    for (int j = 0; j < kFloorGridSide; ++j) {
        for (int i = 0; i < kFloorGridSide; ++i) {
            model.floor_tint[j][i] = FloorTint(model.floor_grid[j][i], model.corner_lights);
        }
    }
}

ColourRgb FloorTint(const ScenePoint& point, const CornerLights& lights) {
    double red = 0, green = 0, blue = 0;
    for (const ScenePoint& light : lights) {
        const double dz = double{point.z} - light.z;
        const double dx = double{point.x} - light.x;
        const double weight = std::sqrt(dz * dz + dx * dx) * kTintDistanceScale;
        red += light.a / weight;
        green += light.b / weight;
        blue += light.c / weight;
    }
    return {static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue)};
}

std::optional<std::array<Vec3d, 4>> SpriteCorners(const Vec3d& centre, double size,
                                                  const Vec3d& eye) {
    const Vec3d towards_eye = eye - centre;
    const Vec3d across = Cross(towards_eye, Vec3d{0, 0, 1});
    if (Length(across) == 0.0) {
        return std::nullopt;
    }
    const Vec3d right = Normalise(across) * size;
    const Vec3d up = Normalise(Cross(towards_eye, right)) * size;
    return std::array<Vec3d, 4>{centre + right, centre - up, centre - right, centre + up};
}

double ViewAspect(int width, int height) {
    return static_cast<double>(width) / static_cast<double>(height == 0 ? 1 : height);
}

}  // namespace velmora
