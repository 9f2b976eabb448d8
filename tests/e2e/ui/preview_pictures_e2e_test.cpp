// The preview's pictures in the source tree are what their generator makes: it runs here on a
// private X server with Mesa's software OpenGL, and its frames must match the kept ones.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "tests/e2e/support/xvfb_server.h"

namespace velmora::test {
namespace {

struct Difference {
    int largest = 0;
    double mean = 0;
};

Difference Compare(const QImage& made, const QImage& kept) {
    Difference difference;
    long total = 0;
    for (int y = 0; y < kept.height(); ++y) {
        for (int x = 0; x < kept.width(); ++x) {
            const QRgb a = made.pixel(x, y);
            const QRgb b = kept.pixel(x, y);
            for (const int channel : {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                      std::abs(qBlue(a) - qBlue(b))}) {
                difference.largest = std::max(difference.largest, channel);
                total += channel;
            }
        }
    }
    difference.mean = double(total) / (kept.width() * kept.height() * 3);
    return difference;
}

TEST(PreviewPictures, TheGeneratorMakesTheKeptPicturesAgain) {
    const XvfbServer xvfb;
    const TemporaryFolder output;
    auto changes = xvfb.Environment();
    changes["LIBGL_ALWAYS_SOFTWARE"] = "1";
    const auto run =
        RunCommand({VELMORA_PREVIEW_GENERATOR, output.path()}, changes, std::chrono::seconds(60));
    ASSERT_EQ(run.status, 0);
    for (const char* name : {"preview_background.jpg", "preview_picture.jpg"}) {
        SCOPED_TRACE(name);
        const QImage made(QString::fromStdString(output.path() + "/" + name));
        const QImage kept(QString(VELMORA_PREVIEW_PICTURES) + "/" + name);
        ASSERT_EQ(made.size(), QSize(152, 112));
        ASSERT_EQ(kept.size(), QSize(152, 112));
        // Another Mesa may round a few pixels differently; the pictures stay the same.
        const Difference difference = Compare(made, kept);
        EXPECT_LE(difference.largest, 24);
        EXPECT_LT(difference.mean, 1.0);
    }
}

}  // namespace
}  // namespace velmora::test
