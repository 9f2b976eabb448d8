#include "renderer/camera_orbit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

double Distance(const EyePosition& a, const EyePosition& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// The eye's slowest and fastest moves per frame: 0.4 × 0.01745 radians along an ellipse whose
// x half-axis is 70 (with 12 of bob) and whose z half-axis is 30.
constexpr double kStepRadians = kOrbitStepDegrees * kDegreesToRadians;
const double kSlowestMove = 30.0 * kStepRadians;
const double kFastestMove = std::hypot(70.0, 12.0) * kStepRadians;

TEST(EyeAt, QuarterTurnsOfTheOrbit) {
    const struct {
        float angle;
        EyePosition near;
    } cases[] = {{0, {70, 26, 0}}, {90, {0, 14, 30}}, {180, {-70, 2, 0}}, {270, {0, 14, -30}}};
    for (const auto& c : cases) {
        const EyePosition eye = EyeAt(c.angle);
        EXPECT_NEAR(eye.x, c.near.x, 0.15) << c.angle;
        EXPECT_NEAR(eye.y, c.near.y, 0.15) << c.angle;
        EXPECT_NEAR(eye.z, c.near.z, 0.15) << c.angle;
    }
    EXPECT_EQ(Distance(EyeAt(0), {70, 26, 0}), 0.0);
}

TEST(CameraOrbit, FirstFrameLooksFromTheStartAndThenMovesOnOneStep) {
    CameraOrbit camera;
    const EyePosition first = camera.Advance();
    EXPECT_EQ(Distance(first, {70, 26, 0}), 0.0);
    EXPECT_EQ(camera.camera_angle(), 0.4f);
}

TEST(CameraOrbit, FirstOrbitsFollowThePlainFloatSumExactly) {
    CameraOrbit camera;
    float plain = 0;
    const int frames = static_cast<int>(CameraOrbit::kOrbitsBeforeRewind * 360.0 / 0.4);
    for (int frame = 0; frame < frames; ++frame) {
        ASSERT_EQ(camera.camera_angle(), plain) << frame;
        camera.Step();
        plain = static_cast<float>(plain + 0.4);
    }
}

TEST(CameraOrbit, RewindingKeepsTheEyeMovingSmoothly) {
    CameraOrbit camera;
    EyePosition previous = camera.Advance();
    int rewinds = 0;
    float last_angle = camera.camera_angle();
    for (int frame = 0; frame < 3 * CameraOrbit::kOrbitsBeforeRewind * 901; ++frame) {
        const EyePosition eye = camera.Advance();
        const double moved = Distance(previous, eye);
        ASSERT_GT(moved, kSlowestMove * 0.99) << frame;
        ASSERT_LT(moved, kFastestMove * 1.01) << frame;
        rewinds += camera.camera_angle() < last_angle;
        last_angle = camera.camera_angle();
        previous = eye;
    }
    EXPECT_EQ(rewinds, 3);
}

TEST(CameraOrbit, NeverStopsEvenAfterTheFramesOfManyDays) {
    // 2^23 degrees, where a float sum stops growing, is 21 million frames away.
    CameraOrbit camera;
    float highest = 0;
    for (int frame = 0; frame < 25'000'000; ++frame) {
        camera.Step();
        highest = std::max(highest, camera.camera_angle());
    }
    EXPECT_LT(highest, 6000.0f);
    EyePosition previous = camera.Advance();
    for (int frame = 0; frame < 2000; ++frame) {
        const EyePosition eye = camera.Advance();
        ASSERT_GT(Distance(previous, eye), kSlowestMove * 0.99) << frame;
        previous = eye;
    }
}

}  // namespace
}  // namespace velmora
