#include "saver/ui/outline_shape.h"

#include <QPainter>

namespace velmora {

OutlineShape::OutlineShape(QWidget* parent, QColor colour) : QWidget(parent), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void OutlineShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(colour_, 1));
    painter.setBrush(Qt::NoBrush);
    // A one-pixel pen draws rect's right and bottom edges one pixel further out.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace velmora
