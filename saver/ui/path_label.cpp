#include "saver/ui/path_label.h"

#include <QPainter>
#include <QTextOption>

namespace velmora {

PathLabel::PathLabel(QWidget* parent) : QWidget(parent) {}

void PathLabel::setText(const QString& text) {
    text_ = text;
    update();
}

void PathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QTextOption layout(Qt::AlignLeft | Qt::AlignTop);
    layout.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(QRectF(rect()), text_, layout);
}

}  // namespace velmora
