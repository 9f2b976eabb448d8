#pragma once

#include <QPixmap>
#include <QSize>
#include <QWidget>

class QLabel;

namespace velmora {

// The preview: a still sample frame of the saver's scene on black, no frame, shown inside
// another program's window. Its pictures sit at the top left at their own size; a larger host
// shows black beyond them, a smaller one the top-left part.
class Velmora_R final : public QWidget {
  public:
    static constexpr QSize kPictureSize{152, 112};
    static constexpr QSize kDesignSize{173, 129};

    Velmora_R();

    // Gives the preview and its picture the host's size.
    void Cover(QSize host_size);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap background_;
    QLabel* Img_Prev;
};

}  // namespace velmora
