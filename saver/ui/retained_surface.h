#pragma once

#include <QWidget>

#include "saver/command/image_buffer.h"

namespace velmora {

// A picture box: a child surface that shows its retained image from its top-left corner, so
// what is drawn into the image survives repainting. The image always has the surface's size;
// a new size keeps what was drawn where it still fits and shows the background colour beyond.
class RetainedSurface final : public QWidget {
  public:
    RetainedSurface(QWidget* parent, QColor background);

    // Drawing goes into the image; call update() afterwards to show it.
    ImageBuffer& image();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FitImage();

    ImageBuffer image_;
    ImageBuffer::Pixel background_;
};

// Paints a retained image at the top left of a widget.
void PaintImage(QWidget& widget, const ImageBuffer& image);

}  // namespace velmora
