#include "renderer/scene_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace velmora {
namespace {

std::unique_ptr<SceneModel> BuiltModel(unsigned seed) {
    // Seed 1 is the C library's sequence when nothing has seeded it.
    std::srand(seed);
    auto model = std::make_unique<SceneModel>();
    SceneModelBuild(*model);
    return model;
}

TEST(FloorGrid, SpansMinus64To62InStepsOfTwoBelowTheOrigin) {
    const auto model = BuiltModel(1);
    const auto& grid = model->floor_grid;
    EXPECT_EQ(grid[0][0].x, -64.0f);
    EXPECT_EQ(grid[0][0].z, -64.0f);
    EXPECT_EQ(grid[63][0].x, 62.0f);  // j runs along x
    EXPECT_EQ(grid[0][63].z, 62.0f);  // i runs along z
    EXPECT_EQ(grid[32][32].x, 0.0f);
    EXPECT_EQ(grid[32][32].z, 0.0f);
    for (const auto& column : grid) {
        for (const ScenePoint& point : column) {
            EXPECT_EQ(point.y, -6.0f);
        }
    }
}

TEST(FloorTint, CentreGetsAnEvenGreyFromTheThreeColouredLights) {
    const auto model = BuiltModel(1);
    const ColourRgb centre = model->floor_tint[32][32];
    const double expected = 32.0 / (61.0 * std::sqrt(2.0));  // 0.3709
    EXPECT_NEAR(centre.red, expected, 1e-6);
    EXPECT_NEAR(centre.green, expected, 1e-6);
    EXPECT_NEAR(centre.blue, expected, 1e-6);
}

TEST(FloorTint, CornerNearTheRedLightIsFarAboveFullRed) {
    const auto model = BuiltModel(1);
    const ColourRgb corner = model->floor_tint[0][0];  // (-64, -6, -64)
    EXPECT_NEAR(corner.red, 7.5425, 1e-3);
    EXPECT_NEAR(corner.green, 0.2559, 1e-3);
    EXPECT_NEAR(corner.blue, 0.1810, 1e-3);
}

TEST(FloorTint, IsFiniteEverywhereBecauseNoGridPointLiesUnderALight) {
    const auto model = BuiltModel(1);
    for (const auto& column : model->floor_tint) {
        for (const ColourRgb& tint : column) {
            ASSERT_TRUE(std::isfinite(tint.red) && std::isfinite(tint.green) &&
                        std::isfinite(tint.blue));
        }
    }
}

TEST(StarField, StarsLieBetweenTheClearSphereAndTheCubeOnATenthGrid) {
    const auto model = BuiltModel(1);
    int sprites = 0;
    for (const ScenePoint& star : model->star_field) {
        const double radius =
            std::sqrt(double{star.x} * star.x + double{star.y} * star.y + double{star.z} * star.z);
        ASSERT_GE(radius, 80.0);
        for (const float coordinate : {star.x, star.y, star.z}) {
            ASSERT_LE(std::abs(coordinate), 199.9f + 1e-4f);
            ASSERT_NEAR(coordinate * 10.0, std::round(coordinate * 10.0), 1e-3);
        }
        ASSERT_TRUE(star.a == 0.0f || star.a == 1.0f);
        sprites += star.a == 1.0f;
    }
    // One in forty of 8192 is about 205.
    EXPECT_GT(sprites, 150);
    EXPECT_LT(sprites, 260);
}

double Dot(const Vec3d& a, const Vec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

TEST(SpriteCorners, DiamondOfHalfDiagonalSizeFacesTheEye) {
    const Vec3d centre{100, -20, 50};
    const Vec3d eye{70, 26, 0};
    const auto corners = SpriteCorners(centre, 2.0, eye);
    ASSERT_TRUE(corners.has_value());
    const Vec3d towards_eye = eye - centre;
    const Vec3d right = (*corners)[0] - centre;
    const Vec3d up = (*corners)[3] - centre;
    EXPECT_NEAR(Length(right), 2.0, 1e-9);
    EXPECT_NEAR(Length(up), 2.0, 1e-9);
    EXPECT_NEAR(Dot(right, towards_eye), 0.0, 1e-9);
    EXPECT_NEAR(Dot(up, towards_eye), 0.0, 1e-9);
    EXPECT_NEAR(Dot(right, up), 0.0, 1e-9);
    EXPECT_NEAR(right.z, 0.0, 1e-12);  // across the z axis
    EXPECT_NEAR(Length((*corners)[2] - (centre - right)), 0.0, 1e-9);
    EXPECT_NEAR(Length((*corners)[1] - (centre - up)), 0.0, 1e-9);
}

TEST(SpriteCorners, NoneWhenTheEyeLiesStraightAlongZ) {
    EXPECT_FALSE(SpriteCorners({5, 7, -100}, 2.0, {5, 7, 30}).has_value());
    EXPECT_FALSE(SpriteCorners({5, 7, 9}, 2.0, {5, 7, 9}).has_value());
}

TEST(ViewAspect, WidthOverHeightWithZeroHeightAsOne) {
    EXPECT_DOUBLE_EQ(ViewAspect(1024, 768), 1024.0 / 768.0);
    EXPECT_DOUBLE_EQ(ViewAspect(640, 0), 640.0);
}

}  // namespace
}  // namespace velmora
