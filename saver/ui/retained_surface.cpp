#include "saver/ui/retained_surface.h"

#include <QImage>
#include <QPainter>

namespace velmora {

RetainedSurface::RetainedSurface(QWidget* parent, QColor background)
    : QWidget(parent),
      background_{static_cast<std::uint8_t>(background.red()),
                  static_cast<std::uint8_t>(background.green()),
                  static_cast<std::uint8_t>(background.blue())} {}

// A hidden widget learns its new size at once but hears of it only when shown, and the form
// draws into the image before that.
ImageBuffer& RetainedSurface::image() {
    FitImage();
    return image_;
}

void RetainedSurface::FitImage() {
    if (image_.width() == width() && image_.height() == height()) {
        return;
    }
    ImageBuffer resized(width(), height(), background_);
    resized.StretchCopy(image_, {0, 0, image_.width(), image_.height()},
                        {0, 0, image_.width(), image_.height()});
    image_ = std::move(resized);
}

void RetainedSurface::paintEvent(QPaintEvent*) {
    PaintImage(*this, image());
}

void RetainedSurface::resizeEvent(QResizeEvent*) {
    FitImage();
}

void PaintImage(QWidget& widget, const ImageBuffer& image) {
    if (image.width() <= 0 || image.height() <= 0) {
        return;
    }
    const QImage view(image.bytes(), image.width(), image.height(),
                      static_cast<qsizetype>(image.bytes_per_line()), QImage::Format_RGB888);
    QPainter painter(&widget);
    painter.drawImage(0, 0, view);
}

}  // namespace velmora
