// Shows a 300 x 200 window at (400, 300), zooms it open from (10, 20) and closed again, and ends.
#include <QApplication>
#include <QWidget>

#include "saver/zoom.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("zoom probe"));
    window.setGeometry(400, 300, 300, 200);
    window.show();
    QApplication::processEvents();
    const auto x11 = velmora::X11Connection::Open();
    const velmora::ZoomPoint point{10, 20};
    velmora::ZoomOpen(x11.get(), window.winId(), point);
    velmora::ZoomClose(x11.get(), window.winId(), point);
    return 0;
}
