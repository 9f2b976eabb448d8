#pragma once

#include <QTimer>
#include <QWindow>
#include <memory>

#include "saver/host/x11_connection.h"
#include "saver/ui/preview_window.h"

namespace velmora {

// The preview shown as a child of another program's window and covering it, for as long as
// that window and the preview's own exist: once either has gone or the preview is closed, the
// program ends.
class EmbeddedPreview {
  public:
    // How often the host and the preview are looked for.
    static constexpr std::chrono::milliseconds kHostWatchInterval{200};

    // Nothing when host names no window or the root window.
    static std::unique_ptr<EmbeddedPreview> Start(const X11Connection& x11, X11WindowId host);

  private:
    EmbeddedPreview(const X11Connection& x11, X11WindowId host, QSize host_size);

    const X11Connection& x11_;
    const X11WindowId host_;
    // Declared before the preview, so that the preview goes first: the host's stand-in owns
    // the windows made inside it.
    std::unique_ptr<QWindow> host_window_;
    Velmora_R preview_;
    QTimer host_watch_;
};

}  // namespace velmora
