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

class FirstFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("DISPLAY", xvfb_.display().c_str(), 1);
        setenv("XDG_CACHE_HOME", cache_.path().c_str(), 1);
        const auto folder = PictureFolder();
        ASSERT_TRUE(PreparePictureFolder(folder));
        WriteBytes((folder / kDesktopPictureName).string(), FloorPicture());
        WriteBytes((folder / kFlarePictureName).string(), FlarePicture());

        ASSERT_TRUE(window_.render_window_open(kRendererWindowTitle, kWidth, kHeight, 32, false));
        EXPECT_TRUE(reporter_.messages.empty());
        window_.scene().scene_build();
        ASSERT_TRUE(window_.scene().frame_draw());
        glGetDoublev(GL_MODELVIEW_MATRIX, model_view_.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection_.data());
        glGetIntegerv(GL_VIEWPORT, viewport_.data());
        window_.SwapBuffers();
        glFinish();

        const XDisplay display(xvfb_.display());
        const auto window = display.WindowTitled(kRendererWindowTitle);
        ASSERT_TRUE(window.has_value());
        // The swap reaches the X server on the renderer's connection; wait until it shows.
        ASSERT_TRUE(WaitUntil(
            [&] {
                shot_ = display.CaptureWindow(*window);
                return shot_.width == kWidth &&
                       std::any_of(shot_.pixels.begin(), shot_.pixels.end(),
                                   [](const Rgb& pixel) { return pixel != kBlack; });
            },
            std::chrono::seconds(20)));
    }

    std::optional<ScreenPoint> Project(double x, double y, double z) const {
        double window_x = 0, window_y = 0, depth = 0;
        if (gluProject(x, y, z, model_view_.data(), projection_.data(), viewport_.data(), &window_x,
                       &window_y, &depth) != GL_TRUE ||
            depth <= 0 || depth >= 1) {
            return std::nullopt;
        }
        const ScreenPoint point{static_cast<int>(std::floor(window_x)),
                                kHeight - 1 - static_cast<int>(std::floor(window_y))};
        if (point.x < 0 || point.y < 0 || point.x >= kWidth || point.y >= kHeight) {
            return std::nullopt;
        }
        return point;
    }

    // No star or sprite is drawn within radius pixels of the point.
    bool ClearOfStars(const ScreenPoint& point, double radius) const {
        for (const ScenePoint& star : window_.scene().model().star_field) {
            const auto at = Project(star.x, star.y, star.z);
            const double reach = radius + (star.a != 0.0f ? 40.0 : 2.0);
            if (at && std::hypot(at->x - point.x, at->y - point.y) < reach) {
                return false;
            }
        }
        return true;
    }

    XvfbServer xvfb_{kWidth, kHeight};
    TemporaryFolder cache_;
    RecordingReporter reporter_;
    SdlRenderWindow window_{reporter_};
    std::array<GLdouble, 16> model_view_{};
    std::array<GLdouble, 16> projection_{};
    std::array<GLint, 4> viewport_{};
    Screenshot shot_;
};

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
                const Rgb seen = shot_.at(at->x, at->y);
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
                EXPECT_EQ(shot_.at(x, y), kBlack) << x << "," << y;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 20);
}

TEST_F(FirstFrame, FlareSpriteIsADiamondOfTheFlarePictureAroundItsStar) {
    const EyePosition eye = window_.scene().eye_position();
    EXPECT_EQ(eye.x, 70.0f);
    EXPECT_EQ(eye.y, 26.0f);
    EXPECT_EQ(eye.z, 0.0f);
    const auto& stars = window_.scene().model().star_field;
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
            SpriteCorners({star.x, star.y, star.z}, kSpriteSize, {eye.x, eye.y, eye.z});
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
            dark += on_screen(p) && shot_.at(p.x, p.y) == kBlack;
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
        EXPECT_TRUE(Near(shot_.at(p.x, p.y), expected, tolerance))
            << where << " at " << p.x << "," << p.y << ": " << Text(shot_.at(p.x, p.y));
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
