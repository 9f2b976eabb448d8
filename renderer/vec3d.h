#pragma once

#include <cmath>

namespace velmora {

// A point or direction in world units; the sprite maths runs in doubles.
struct Vec3d {
    double x = 0, y = 0, z = 0;
};

inline Vec3d operator+(const Vec3d& a, const Vec3d& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3d operator-(const Vec3d& a, const Vec3d& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3d operator*(const Vec3d& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}

inline Vec3d Cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double Length(const Vec3d& a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

// The caller makes sure a has a length.
inline Vec3d Normalise(const Vec3d& a) {
    return a * (1.0 / Length(a));
}

}  // namespace velmora
