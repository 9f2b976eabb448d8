// The renderer's first frame, drawn by the real scene through Mesa on a private X server, checked
// pixel by pixel where the picture is known: the floor is the floor picture's texel times the
// tint of the corner lights added over black, and a flare sprite is a diamond of the flare
// picture around its star.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

#include "common/picture_folder.h"
#include "common/renderer_window.h"
#include "renderer/scene_model.h"
#include "renderer/sdl_render_window.h"
#include "tests/e2e/support/x_display.h"
#include "tests/e2e/support/xvfb_server.h"
#include "tests/renderer/recording_reporter.h"
#include "tests/support/bmp_file.h"
#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSide = 128;
constexpr int kTolerance = 6;

// The floor picture's quarters, by texture coordinate: s < 1/2 is x < 0, t < 1/2 is z < 0.
constexpr Rgb kLeftBottom{240, 40, 40};
constexpr Rgb kRightBottom{40, 240, 40};
constexpr Rgb kLeftTop{40, 40, 240};
constexpr Rgb kRightTop{240, 240, 240};
constexpr Rgb kFlare{30, 200, 90};
constexpr Rgb kBlack{0, 0, 0};
// The point stars of the first frame: how many pixels they light, and a checksum of where.
constexpr int kFirstFrameStarPixels = 1030;
constexpr std::uint64_t kFirstFrameStarChecksum = 0xFD5575C377999625;

std::vector<std::uint8_t> FloorPicture() {
    std::vector<std::uint8_t> rows;
    for (int row = 0; row < kSide; ++row) {  // bottom row first
        for (int column = 0; column < kSide; ++column) {
            const bool left = column < kSide / 2;
            const bool bottom = row < kSide / 2;
            const Rgb colour =
                bottom ? (left ? kLeftBottom : kRightBottom) : (left ? kLeftTop : kRightTop);
            rows.insert(rows.end(), {colour.red, colour.green, colour.blue});
        }
    }
    return Bmp24(kSide, kSide, rows);
}

std::vector<std::uint8_t> FlarePicture() {
    std::vector<std::uint8_t> rows;
    for (int pixel = 0; pixel < kSide * kSide; ++pixel) {
        rows.insert(rows.end(), {kFlare.red, kFlare.green, kFlare.blue});
    }
    return Bmp24(kSide, kSide, rows);
}

struct ScreenPoint {
    int x = 0, y = 0;  // pixels from the top left
};

bool Near(const Rgb& a, const Rgb& b, int tolerance = kTolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

std::string Text(const Rgb& c) {
    return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " +
           std::to_string(c.blue) + ")";
}

// The floor's colour at a grid point, worked out here from the lights' positions and colours.
Rgb ExpectedFloor(double x, double z, const Rgb& texel) {
    const double lights[4][5] = {
        {-61, -61, 1, 0, 0}, {61, -61, 0, 1, 0}, {61, 61, 0, 0, 1}, {-61, 61, 0, 0, 0}};
    double tint[3] = {0, 0, 0};
    for (const auto& light : lights) {
        const double weight = std::hypot(z - light[1], x - light[0]) / 32.0;
        for (int channel = 0; channel < 3; ++channel) {
            tint[channel] += light[2 + channel] / weight;
        }
    }
    const auto scaled = [&](std::uint8_t value, double factor) {
        return static_cast<std::uint8_t>(std::lround(value * std::min(factor, 1.0)));
    };
    return {scaled(texel.red, tint[0]), scaled(texel.green, tint[1]), scaled(texel.blue, tint[2])};
}

// Where a point lands, worked out here from the view the scene must have, not from its matrices:
// a 45° vertical field of view over the window's aspect, near and far planes at 0.1 and 1000,
// the eye looking at the origin with the y axis up.
class View {
  public:
    explicit View(const std::array<double, 3>& eye) : eye_(eye) {
        const auto normalised = [](std::array<double, 3> v) {
            const double length = std::hypot(v[0], v[1], v[2]);
            return std::array<double, 3>{v[0] / length, v[1] / length, v[2] / length};
        };
        forward_ = normalised({-eye[0], -eye[1], -eye[2]});
        side_ = normalised({-forward_[2], 0, forward_[0]});  // forward × (0, 1, 0)
        up_ = {side_[1] * forward_[2] - side_[2] * forward_[1],
               side_[2] * forward_[0] - side_[0] * forward_[2],
               side_[0] * forward_[1] - side_[1] * forward_[0]};
    }

    std::optional<ScreenPoint> Project(double x, double y, double z) const {
        const std::array<double, 3> d{x - eye_[0], y - eye_[1], z - eye_[2]};
        const auto dot = [&](const std::array<double, 3>& axis) {
            return axis[0] * d[0] + axis[1] * d[1] + axis[2] * d[2];
        };
        const double distance = dot(forward_);
        if (distance <= kNear || distance >= kFar) {
            return std::nullopt;
        }
        const double focal = 1.0 / std::tan(kFieldOfView / 2);
        const double window_x = (focal / kAspect * dot(side_) / distance + 1) / 2 * kWidth;
        const double window_y = (focal * dot(up_) / distance + 1) / 2 * kHeight;
        const ScreenPoint point{static_cast<int>(std::floor(window_x)),
                                kHeight - 1 - static_cast<int>(std::floor(window_y))};
        if (point.x < 0 || point.y < 0 || point.x >= kWidth || point.y >= kHeight) {
            return std::nullopt;
        }
        return point;
    }

    // The GL's matrices for this view, column by column.
    std::array<double, 16> ModelView() const {
        const double ex = -(side_[0] * eye_[0] + side_[1] * eye_[1] + side_[2] * eye_[2]);
        const double ey = -(up_[0] * eye_[0] + up_[1] * eye_[1] + up_[2] * eye_[2]);
        const double ez = forward_[0] * eye_[0] + forward_[1] * eye_[1] + forward_[2] * eye_[2];
        return {side_[0], up_[0], -forward_[0], 0, side_[1], up_[1], -forward_[1], 0,
                side_[2], up_[2], -forward_[2], 0, ex,       ey,     ez,           1};
    }
    static std::array<double, 16> Projection() {
        const double focal = 1.0 / std::tan(kFieldOfView / 2);
        return {focal / kAspect,
                0,
                0,
                0,
                0,
                focal,
                0,
                0,
                0,
                0,
                (kFar + kNear) / (kNear - kFar),
                -1,
                0,
                0,
                2 * kFar * kNear / (kNear - kFar),
                0};
    }

  private:
    static constexpr double kFieldOfView = std::numbers::pi / 4;
    static constexpr double kNear = 0.1;
    static constexpr double kFar = 1000;
    static constexpr double kAspect = double{kWidth} / kHeight;

    std::array<double, 3> eye_;
    std::array<double, 3> forward_{}, side_{}, up_{};
};

// The eye of the frame drawn after `frames` frames: it circles the origin on an ellipse of
// half-axes 70 (x) and 30 (z), its height swinging between 2 and 26, 0.4° further each frame.
std::array<double, 3> EyeAfter(int frames) {
    float angle = 0;
    for (int frame = 0; frame < frames; ++frame) {
        angle += 0.4f;
    }
    const double theta = angle * 0.01745;
    return {static_cast<float>(70 * std::cos(theta)), static_cast<float>(12 * std::cos(theta) + 14),
            static_cast<float>(30 * std::sin(theta))};
}

// FNV-1a over the positions of the pure white pixels of a frame: the point stars, which no
// other part of the scene draws in full white.
std::uint64_t StarPixelChecksum(const Screenshot& shot, int& count) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    count = 0;
    for (std::size_t index = 0; index < shot.pixels.size(); ++index) {
        if (shot.pixels[index] == Rgb{255, 255, 255}) {
            ++count;
            for (int shift = 0; shift < 32; shift += 8) {
                hash = (hash ^ ((index >> shift) & 0xFF)) * 0x100000001B3u;
            }
        }
    }
    return hash;
}

// The renderer's window and scene, made once per test program as the renderer makes them: the
// scene's star field comes from the C library's generator as the program leaves it, unseeded.
class FirstFrame : public ::testing::Test {
  protected:
    struct Run {
        XvfbServer xvfb{kWidth, kHeight};
        TemporaryFolder cache;
        RecordingReporter reporter;
        std::unique_ptr<SdlRenderWindow> window;
        std::array<GLdouble, 16> model_view{};
        std::array<GLdouble, 16> projection{};
        Screenshot shot;
    };

    static void SetUpTestSuite() {
        run_ = std::make_unique<Run>();
        setenv("DISPLAY", run_->xvfb.display().c_str(), 1);
        setenv("XDG_CACHE_HOME", run_->cache.path().c_str(), 1);
        const auto folder = PictureFolder();
        if (!PreparePictureFolder(folder)) {
            return;
        }
        WriteBytes((folder / kDesktopPictureName).string(), FloorPicture());
        WriteBytes((folder / kFlarePictureName).string(), FlarePicture());
        run_->window = std::make_unique<SdlRenderWindow>(run_->reporter);
        if (!run_->window->render_window_open(kRendererWindowTitle, kWidth, kHeight, 32, false)) {
            run_->window.reset();
            return;
        }
        run_->window->scene().scene_build();
        run_->window->scene().frame_draw();
        glGetDoublev(GL_MODELVIEW_MATRIX, run_->model_view.data());
        glGetDoublev(GL_PROJECTION_MATRIX, run_->projection.data());
        run_->shot = Show();
    }

    static void TearDownTestSuite() { run_.reset(); }

    void SetUp() override {
        ASSERT_NE(run_->window, nullptr) << "the renderer's window did not open";
        EXPECT_TRUE(run_->reporter.messages.empty());
        ASSERT_EQ(run_->shot.width, kWidth) << "the frame did not show";
    }

    // Swaps the frame drawn and captures it once the X server shows it.
    static Screenshot Show() {
        run_->window->SwapBuffers();
        glFinish();
        const XDisplay display(run_->xvfb.display());
        const auto window = display.WindowTitled(kRendererWindowTitle);
        Screenshot shot;
        if (window) {
            // The swap reaches the X server on the renderer's connection; wait until it shows.
            WaitUntil(
                [&] {
                    shot = display.CaptureWindow(*window);
                    return shot.width == kWidth &&
                           std::any_of(shot.pixels.begin(), shot.pixels.end(),
                                       [](const Rgb& pixel) { return pixel != kBlack; });
                },
                std::chrono::seconds(20));
        }
        return shot;
    }

    const Screenshot& shot() const { return run_->shot; }
    const SceneModel& model() const { return run_->window->scene().model(); }

    std::optional<ScreenPoint> Project(double x, double y, double z) const {
        return first_view_.Project(x, y, z);
    }

    // No star or sprite is drawn within radius pixels of the point.
    bool ClearOfStars(const ScreenPoint& point, double radius, const View& view) const {
        for (const ScenePoint& star : model().star_field) {
            const auto at = view.Project(star.x, star.y, star.z);
            const double reach = radius + (star.a != 0.0f ? 40.0 : 2.0);
            if (at && std::hypot(at->x - point.x, at->y - point.y) < reach) {
                return false;
            }
        }
        return true;
    }
    bool ClearOfStars(const ScreenPoint& point, double radius) const {
        return ClearOfStars(point, radius, first_view_);
    }

    static inline std::unique_ptr<Run> run_;
    const View first_view_{EyeAfter(0)};
};

TEST_F(FirstFrame, ViewIs45DegreesFromPoint1To1000AndLooksFromTheEyeAtTheOrigin) {
    const View view(EyeAfter(0));
    EXPECT_EQ(EyeAfter(0), (std::array<double, 3>{70, 26, 0}));
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(run_->projection[i], View::Projection()[i], 1e-6) << "projection " << i;
        EXPECT_NEAR(run_->model_view[i], view.ModelView()[i], 1e-5) << "model-view " << i;
    }
}

TEST_F(FirstFrame, StarPixelsAreTheFieldThatTheUnseededGeneratorGives) {
    int count = 0;
    const std::uint64_t checksum = StarPixelChecksum(shot(), count);
    EXPECT_EQ(count, kFirstFrameStarPixels);
    EXPECT_EQ(checksum, kFirstFrameStarChecksum) << std::hex << checksum;
}

TEST_F(FirstFrame, TheRedCornerOfTheFloorLandsOnItsPixelsAtTheStartAndAt60Degrees) {
    // Worked out by hand from the view, after 0 and 150 frames: a floor point near the corner
    // under the red light, and a point beyond the floor's edge there, each clear of stars.
    struct Case {
        int frames;
        std::array<double, 2> inside_xz;
        ScreenPoint inside;
        std::array<double, 2> outside_xz;
        ScreenPoint outside;
    };
    const Case cases[] = {{0, {-58, -56}, {907, 280}, {-70, -62}, {915, 261}},
                          {150, {-58, -56}, {590, 174}, {-70, -70}, {608, 148}}};
    Screenshot frame = shot();
    for (int drawn = 0; const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        for (; drawn < c.frames; ++drawn) {
            run_->window->scene().frame_draw();
        }
        if (c.frames > 0) {
            frame = Show();
        }
        const View view(EyeAfter(c.frames));
        const auto inside = view.Project(c.inside_xz[0], -6, c.inside_xz[1]);
        const auto outside = view.Project(c.outside_xz[0], -6, c.outside_xz[1]);
        ASSERT_TRUE(inside && outside);
        EXPECT_EQ(inside->x, c.inside.x);
        EXPECT_EQ(inside->y, c.inside.y);
        EXPECT_EQ(outside->x, c.outside.x);
        EXPECT_EQ(outside->y, c.outside.y);
        ASSERT_TRUE(ClearOfStars(c.inside, 3, view) && ClearOfStars(c.outside, 3, view));
        const Rgb floor = frame.at(c.inside.x, c.inside.y);
        EXPECT_TRUE(floor.red >= 120 && floor.red > 2 * floor.green && floor.red > 2 * floor.blue)
            << Text(floor);
        EXPECT_EQ(frame.at(c.outside.x, c.outside.y), kBlack);
    }
}

TEST_F(FirstFrame, FloorIsThePictureTimesTheLightsTintAddedOverBlack) {
    struct Quarter {
        const char* name;
        Rgb texel;
        int j_start, i_start;  // grid points well inside the quarter
    };
    const Quarter quarters[] = {{"x < 0, z < 0", kLeftBottom, 10, 10},
                                {"x > 0, z < 0", kRightBottom, 40, 10},
                                {"x < 0, z > 0", kLeftTop, 10, 40},
                                {"x > 0, z > 0", kRightTop, 40, 40}};
    for (const Quarter& quarter : quarters) {
        SCOPED_TRACE(quarter.name);
        int checked = 0;
        for (int j = quarter.j_start; j < quarter.j_start + 14 && checked < 3; j += 3) {
            for (int i = quarter.i_start; i < quarter.i_start + 14 && checked < 3; i += 3) {
                const double x = (j - 32) * 2.0;
                const double z = (i - 32) * 2.0;
                const auto at = Project(x, -6.0, z);
                if (!at || !ClearOfStars(*at, 4)) {
                    continue;
                }
                const Rgb expected = ExpectedFloor(x, z, quarter.texel);
                const Rgb seen = shot().at(at->x, at->y);
                EXPECT_TRUE(Near(seen, expected))
                    << "grid (" << j << ", " << i << ") at " << at->x << "," << at->y << ": "
                    << Text(seen) << " for " << Text(expected);
                ++checked;
            }
        }
        EXPECT_EQ(checked, 3) << "too few floor points clear of stars";
    }
}

TEST_F(FirstFrame, SkyAwayFromStarsIsBlack) {
    int checked = 0;
    for (int y = 4; y < 100; y += 16) {
        for (int x = 4; x < kWidth; x += 64) {
            if (ClearOfStars({x, y}, 4)) {
                EXPECT_EQ(shot().at(x, y), kBlack) << x << "," << y;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 20);
}

TEST_F(FirstFrame, FlareSpriteIsADiamondOfTheFlarePictureAroundItsStar) {
    const auto eye = EyeAfter(0);
    const auto& stars = model().star_field;
    // Where each star lands, and for a sprite how far its corners reach.
    struct Drawn {
        ScreenPoint centre;
        std::array<ScreenPoint, 4> corners{};
        double radius = 0;
    };
    std::vector<std::optional<Drawn>> drawn(stars.size());
    for (std::size_t index = 0; index < stars.size(); ++index) {
        const ScenePoint& star = stars[index];
        const auto at = Project(star.x, star.y, star.z);
        if (!at) {
            continue;
        }
        Drawn shape{*at};
        const auto corners =
            SpriteCorners({star.x, star.y, star.z}, kSpriteSize, {eye[0], eye[1], eye[2]});
        bool whole = true;
        for (std::size_t k = 0; star.a != 0.0f && corners && k < 4; ++k) {
            const auto corner = Project((*corners)[k].x, (*corners)[k].y, (*corners)[k].z);
            whole = whole && corner.has_value();
            if (corner) {
                shape.corners[k] = *corner;
                shape.radius =
                    std::max(shape.radius, std::hypot(corner->x - at->x, corner->y - at->y));
            }
        }
        if (whole) {
            drawn[index] = shape;
        }
    }
    const auto near_another = [&](std::size_t self, int x, int y) {
        for (std::size_t index = 0; index < drawn.size(); ++index) {
            if (index != self && drawn[index] &&
                std::hypot(drawn[index]->centre.x - x, drawn[index]->centre.y - y) <
                    drawn[index]->radius + 3) {
                return true;
            }
        }
        return false;
    };
    const auto pixel = [&](const ScreenPoint& centre, double dx, double dy) {
        return ScreenPoint{centre.x + static_cast<int>(std::lround(dx)),
                           centre.y + static_cast<int>(std::lround(dy))};
    };
    const auto on_screen = [](const ScreenPoint& p) {
        return p.x >= 0 && p.y >= 0 && p.x < kWidth && p.y < kHeight;
    };

    // The biggest sprite with sky around it: the floor, which would light its surroundings,
    // lies elsewhere.
    std::optional<std::size_t> chosen;
    for (std::size_t index = 0; index < stars.size(); ++index) {
        if (stars[index].a == 0.0f || !drawn[index] || drawn[index]->radius < 10 ||
            (chosen && drawn[*chosen]->radius >= drawn[index]->radius)) {
            continue;
        }
        const Drawn& shape = *drawn[index];
        int dark = 0;
        for (int step = 0; step < 8; ++step) {
            const double angle = step * std::numbers::pi / 4;
            const ScreenPoint p = pixel(shape.centre, 2 * shape.radius * std::cos(angle),
                                        2 * shape.radius * std::sin(angle));
            dark += on_screen(p) && shot().at(p.x, p.y) == kBlack;
        }
        if (dark >= 6) {
            chosen = index;
        }
    }
    ASSERT_TRUE(chosen.has_value()) << "no sprite in the sky";
    const Drawn& sprite = *drawn[*chosen];

    int checked = 0;
    const auto check = [&](const ScreenPoint& p, const Rgb& expected, int tolerance,
                           const char* where) {
        if (near_another(*chosen, p.x, p.y)) {
            return;
        }
        ++checked;
        EXPECT_TRUE(Near(shot().at(p.x, p.y), expected, tolerance))
            << where << " at " << p.x << "," << p.y << ": " << Text(shot().at(p.x, p.y));
    };
    check(sprite.centre, kFlare, 12, "centre");
    for (const ScreenPoint& corner : sprite.corners) {
        const double dx = corner.x - sprite.centre.x;
        const double dy = corner.y - sprite.centre.y;
        check(pixel(sprite.centre, 0.75 * dx, 0.75 * dy), kFlare, 12, "inside");
        check(pixel(sprite.centre, 1.25 * dx, 1.25 * dy), kBlack, 0, "outside");
    }
    // The diamond's edges run straight between its corners: a little beyond the middle of an
    // edge is outside it, though inside the box around the corners.
    for (std::size_t k = 0; k < 4; ++k) {
        const ScreenPoint& a = sprite.corners[k];
        const ScreenPoint& b = sprite.corners[(k + 1) % 4];
        check(pixel(sprite.centre, 0.65 * (a.x + b.x - 2 * sprite.centre.x),
                    0.65 * (a.y + b.y - 2 * sprite.centre.y)),
              kBlack, 0, "beyond an edge");
    }
    EXPECT_GE(checked, 9) << "radius " << sprite.radius;
}

}  // namespace
}  // namespace velmora::test
