#pragma once

namespace velmora {

struct EyePosition {
    float x = 0, y = 0, z = 0;
};

// Degrees of orbit per drawn frame.
inline constexpr double kOrbitStepDegrees = 0.4;
// Degrees to radians as the scene has always converted them (not quite π ÷ 180, so one orbit
// takes a little more than 360 degrees).
inline constexpr double kDegreesToRadians = 0.01745;

// The eye for an orbit angle: an ellipse of half-axes 70 (x) and 30 (z) around the origin,
// bobbing between heights 2 and 26.
EyePosition EyeAt(float camera_angle);

// The camera's one piece of animation. The angle is a float that grows by 0.4 per frame; a float
// that grows for ever loses the step (past 2^23 degrees, some four days at 60 frames a second,
// the orbit would stop), so after a whole number of orbits the angle is taken back by exactly
// those orbits. Until then every angle is the one the plain float sum gives.
class CameraOrbit {
  public:
    // Whole orbits after which the angle is taken back.
    static constexpr int kOrbitsBeforeRewind = 16;

    void Reset() { camera_angle_ = 0; }
    float camera_angle() const { return camera_angle_; }
    // The eye for this frame; the angle then moves on one step.
    EyePosition Advance();
    void Step();

  private:
    float camera_angle_ = 0;
};

}  // namespace velmora
