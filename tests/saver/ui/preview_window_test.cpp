#include "saver/ui/preview_window.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPixmap>

namespace velmora::test {
namespace {

constexpr const char* kBackground = ":/velmora/preview_background.jpg";
constexpr const char* kPicture = ":/velmora/preview_picture.jpg";

QImage Shown(Velmora_R& preview) {
    return preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage PictureOnTop() {
    return QImage(kPicture).convertToFormat(QImage::Format_RGB32);
}

TEST(PreviewWindow, IsAFramelessBlackWindowWithItsOwnTitle) {
    Velmora_R preview;
    EXPECT_EQ(preview.windowTitle(), QString("Preview Window"));
    EXPECT_TRUE(preview.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(preview.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(preview.size(), QSize(173, 129));
}

TEST(PreviewWindow, HoldsTwoDifferentSampleFramesOfThePreviewAreasSize) {
    const QImage background(kBackground);
    const QImage picture(kPicture);
    EXPECT_EQ(background.size(), QSize(152, 112));
    EXPECT_EQ(picture.size(), QSize(152, 112));
    EXPECT_NE(background.convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
}

TEST(PreviewWindow, ALargerHostShowsThePictureTopLeftAtItsOwnSizeAndBlackBeyond) {
    Velmora_R preview;
    preview.Cover(QSize(300, 200));
    EXPECT_EQ(preview.geometry(), QRect(0, 0, 300, 200));
    EXPECT_EQ(preview.findChild<QLabel*>("Img_Prev")->geometry(), QRect(0, 0, 300, 200));
    const QImage shown = Shown(preview);
    ASSERT_EQ(shown.size(), QSize(300, 200));
    EXPECT_EQ(shown.copy(0, 0, 152, 112), PictureOnTop());
    for (const auto& [x, y] : {std::pair{152, 0}, {299, 199}, {0, 112}, {200, 100}}) {
        EXPECT_EQ(shown.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    }
}

TEST(PreviewWindow, ASmallerHostShowsTheTopLeftPart) {
    Velmora_R preview;
    preview.Cover(QSize(100, 80));
    EXPECT_EQ(Shown(preview), PictureOnTop().copy(0, 0, 100, 80));
}

}  // namespace
}  // namespace velmora::test
