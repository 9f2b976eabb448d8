#pragma once

#include <QColor>
#include <QWidget>

namespace velmora {

// A rectangle outline drawn one pixel wide just inside the widget's bounds; the inside shows
// whatever lies beneath, and the mouse passes through.
class OutlineShape final : public QWidget {
  public:
    OutlineShape(QWidget* parent, QColor colour);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
};

}  // namespace velmora
