#include "saver/zoom.h"

#include <QApplication>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace velmora {
namespace {

constexpr int kZoomSteps = 12;
constexpr unsigned long kZoomStepMilliseconds = 16;
constexpr int kOutlineWidth = 2;
const QColor kOutlineColour(128, 128, 128);

void AnimateRects(const ScreenRect& from, const ScreenRect& to) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    QWidget outline(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                                 Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput |
                                 Qt::WindowDoesNotAcceptFocus);
    // An explicit title, so that an empty one does not fall back to the program's name.
    outline.setWindowTitle(QStringLiteral("Velmora_Zoom"));
    outline.setAttribute(Qt::WA_ShowWithoutActivating);
    outline.setAutoFillBackground(true);
    QPalette palette = outline.palette();
    palette.setColor(QPalette::Window, kOutlineColour);
    outline.setPalette(palette);
    for (const ScreenRect& frame : ZoomFrames(from, to, kZoomSteps)) {
        // Right and bottom are exclusive; a point still shows as one pixel.
        const QRect area(std::min(frame.left, frame.right), std::min(frame.top, frame.bottom),
                         std::max(1, std::abs(frame.right - frame.left)),
                         std::max(1, std::abs(frame.bottom - frame.top)));
        outline.setGeometry(area);
        // Only a thin frame is drawn: what lies under the rectangle stays visible.
        const QRegion whole(0, 0, area.width(), area.height());
        outline.setMask(whole.subtracted(whole.boundingRect().adjusted(
            kOutlineWidth, kOutlineWidth, -kOutlineWidth, -kOutlineWidth)));
        outline.show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(kZoomStepMilliseconds);
    }
}

// X gives device pixels, while Qt places windows in its own pixels, scaled by the screen's
// device pixel ratio (QT_SCALE_FACTOR, for one) about the screen's top-left corner, which both
// share. Position and size go across separately and rounded, as Qt brings them back, so a
// window that Qt placed comes back to exactly its own rectangle.
ScreenRect ToQtPixels(const ScreenRect& device) {
    const QPoint corner(device.left, device.top);
    const QScreen* screen = QGuiApplication::primaryScreen();
    for (const QScreen* candidate : QGuiApplication::screens()) {
        const QRect area(candidate->geometry().topLeft(),
                         candidate->geometry().size() * candidate->devicePixelRatio());
        if (area.contains(corner)) {
            screen = candidate;
            break;
        }
    }
    if (screen == nullptr) {
        return device;
    }
    const QPoint origin = screen->geometry().topLeft();
    const qreal ratio = screen->devicePixelRatio();
    const QPoint top_left = origin + (corner - origin) / ratio;
    const QSize size = QSize(device.right - device.left, device.bottom - device.top) / ratio;
    return {top_left.x(), top_left.y(), top_left.x() + size.width(), top_left.y() + size.height()};
}

ScreenRect RectOf(const X11Connection* x11, X11WindowId window) {
    return ToQtPixels(x11->WindowRect(window).value_or(ScreenRect{}));
}

}  // namespace

void ZoomOpen(const X11Connection* x11, X11WindowId window, ZoomPoint point) {
    if (x11 == nullptr) {
        return;
    }
    const ScreenRect start{point.ZoomX, point.ZoomY, point.ZoomX, point.ZoomY};
    AnimateRects(start, RectOf(x11, window));
}

void ZoomClose(const X11Connection* x11, X11WindowId window, ZoomPoint point) {
    if (x11 == nullptr) {
        return;
    }
    const ScreenRect end{point.ZoomX, point.ZoomY, point.ZoomX, point.ZoomY};
    AnimateRects(RectOf(x11, window), end);
}

}  // namespace velmora
