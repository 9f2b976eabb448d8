#pragma once

#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "saver/bgm/velmora_bgm.h"
#include "saver/host/mci/media_services.h"
#include "saver/host/termination_signals.h"
#include "saver/host/x11_connection.h"
#include "saver/session.h"
#include "saver/settings.h"

namespace velmora {

// The hidden session window: titled so that other instances find it, sized to the primary
// screen, never shown. It carries the session's timers and ends the program with the session.
class SessionForm final : public QWidget, private SessionHost {
    Q_OBJECT

  public:
    SessionForm(const X11Connection* x11, const Settings& settings, std::string mode_letter,
                std::string program_folder, std::int32_t& LastResult);

    // Creates the window (unmapped) and runs the session's start.
    void Load();

  private:
    // However the window is asked to go away, the session ends properly.
    void closeEvent(QCloseEvent* event) override;

    std::optional<std::vector<std::uint8_t>> CaptureDesktopPicture() override;
    bool SavePicture(std::string_view file_name, const std::vector<std::uint8_t>& bmp) override;
    void StartRenderer(const std::string& path) override;
    bool WindowTitledExists(std::string_view title) override;
    void SetTimerEnabled(SessionTimer timer, bool enabled) override;
    void ShowCursor() override;
    void EndProgram() override;

    const X11Connection* x11_;
    MediaServices media_;
    Velmora_BGM music_;
    Velmora_S session_;
    std::array<QTimer, 3> timers_;
    TerminationSignals termination_;
};

}  // namespace velmora
