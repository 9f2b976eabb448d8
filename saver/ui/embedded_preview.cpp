#include "saver/ui/embedded_preview.h"

#include <QCoreApplication>

namespace velmora {

std::unique_ptr<EmbeddedPreview> EmbeddedPreview::Start(const X11Connection& x11,
                                                        X11WindowId host) {
    // The root window is the whole desktop, not a host's preview area: covering it would black
    // out the screen for good.
    const auto rect = x11.WindowRect(host);
    if (!rect || x11.IsRootWindow(host)) {
        return nullptr;
    }
    const QSize size(rect->right - rect->left, rect->bottom - rect->top);
    return std::unique_ptr<EmbeddedPreview>(new EmbeddedPreview(x11, host, size));
}

EmbeddedPreview::EmbeddedPreview(const X11Connection& x11, X11WindowId host, QSize host_size)
    : x11_(x11), host_(host), host_window_(QWindow::fromWinId(host)) {
    // The preview's native window is made first and put inside the host before it is ever
    // shown, so no window manager sees it as a window of its own.
    preview_.winId();
    preview_.windowHandle()->setParent(host_window_.get());
    preview_.Cover(host_size);
    preview_.show();
    QObject::connect(&host_watch_, &QTimer::timeout, [this] {
        // The preview lives as long as its host and its own window: a host that closes or
        // destroys only the preview ends the program too.
        const bool shown = preview_.isVisible() && x11_.WindowRect(preview_.winId());
        if (!shown || !x11_.WindowRect(host_)) {
            // Not quit(): that only asks, and an open window may turn it down.
            QCoreApplication::exit(0);
        }
    });
    host_watch_.start(kHostWatchInterval);
}

}  // namespace velmora
