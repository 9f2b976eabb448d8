#pragma once

#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "saver/bgm/velmora_bgm.h"
#include "saver/host/mci/media_services.h"
#include "saver/host/renderer_process.h"
#include "saver/host/termination_signals.h"
#include "saver/host/x11_connection.h"
#include "saver/session.h"
#include "saver/settings.h"

namespace velmora {

// The hidden session window: titled so that other instances find it, sized to the primary
// screen, never shown. It carries the session's timers and ends the program with the session.
// Given a screen-saver daemon's window, the session runs inside that window: the desktop picture
// is the part under it, the renderer draws into it, and the session ends when it goes.
class SessionForm final : public QWidget, private SessionHost {
    Q_OBJECT

  public:
    SessionForm(const X11Connection* x11, const Settings& settings, std::string mode_letter,
                std::string program_folder, std::int32_t& LastResult,
                std::optional<X11WindowId> daemon_window = std::nullopt);

    // Creates the window (unmapped) and runs the session's start.
    void Load();

  private:
    // However the window is asked to go away, the session ends properly.
    void closeEvent(QCloseEvent* event) override;

    std::optional<std::vector<std::uint8_t>> CaptureDesktopPicture() override;
    bool SavePicture(std::string_view file_name, const std::vector<std::uint8_t>& bmp) override;
    void StartRenderer(const std::string& path) override;
    void EndRenderer() override;
    bool WindowTitledExists(std::string_view title) override;
    void SetTimerEnabled(SessionTimer timer, bool enabled) override;
    void ShowCursor() override;
    void EndProgram() override;

    // The desktop picture's file name: the window's own inside a daemon's window.
    std::string DesktopPictureName() const;

    const X11Connection* x11_;
    const std::optional<X11WindowId> daemon_window_;
    QTimer daemon_window_watch_;
    MediaServices media_;
    Velmora_BGM music_;
    Velmora_S session_;
    std::array<QTimer, 3> timers_;
    RendererProcess renderer_;
    TerminationSignals termination_;
};

}  // namespace velmora
