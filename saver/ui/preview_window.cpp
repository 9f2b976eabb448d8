#include "saver/ui/preview_window.h"

#include <QLabel>
#include <QPainter>

namespace velmora {
namespace {

constexpr const char* kPreviewTitle = "Preview Window";
constexpr const char* kBackgroundPicture = ":/velmora/preview_background.jpg";
constexpr const char* kPreviewPicture = ":/velmora/preview_picture.jpg";

}  // namespace

Velmora_R::Velmora_R()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      background_(kBackgroundPicture),
      Img_Prev(new QLabel(this)) {
    setWindowTitle(kPreviewTitle);
    // It takes no input, so it never takes the focus from its host's dialog.
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    resize(kDesignSize);
    Img_Prev->setObjectName("Img_Prev");
    Img_Prev->setPixmap(QPixmap(kPreviewPicture));
    Img_Prev->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Img_Prev->setGeometry(0, 0, kDesignSize.width(), kDesignSize.height());
}

void Velmora_R::Cover(QSize host_size) {
    setGeometry(0, 0, host_size.width(), host_size.height());
    Img_Prev->setGeometry(0, 0, host_size.width(), host_size.height());
}

void Velmora_R::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

}  // namespace velmora
