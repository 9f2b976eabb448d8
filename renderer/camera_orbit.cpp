#include "renderer/camera_orbit.h"

#include <cmath>
#include <numbers>

namespace velmora {
namespace {

constexpr double kEllipseX = 70.0;
constexpr double kEllipseZ = 30.0;
constexpr double kBobAmplitude = 12.0;
constexpr double kBobCentre = 14.0;

// The angle after which the eye has come round exactly kOrbitsBeforeRewind times.
constexpr double kRewindDegrees =
    CameraOrbit::kOrbitsBeforeRewind * 2.0 * std::numbers::pi / kDegreesToRadians;

}  // namespace

EyePosition EyeAt(float camera_angle) {
    const double theta = camera_angle * kDegreesToRadians;
    return {static_cast<float>(kEllipseX * std::cos(theta)),
            static_cast<float>(kBobAmplitude * std::cos(theta) + kBobCentre),
            static_cast<float>(kEllipseZ * std::sin(theta))};
}

EyePosition CameraOrbit::Advance() {
    const EyePosition eye = EyeAt(camera_angle_);
    Step();
    return eye;
}

void CameraOrbit::Step() {
    // The sum is worked out in double and rounded to float, as it always was.
    camera_angle_ = static_cast<float>(camera_angle_ + kOrbitStepDegrees);
    if (camera_angle_ >= kRewindDegrees) {
        camera_angle_ = static_cast<float>(camera_angle_ - kRewindDegrees);
    }
}

}  // namespace velmora
