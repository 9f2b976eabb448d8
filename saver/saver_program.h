#pragma once

#include <memory>
#include <optional>
#include <string>

#include "saver/entry.h"
#include "saver/host/x11_connection.h"
#include "saver/session_form.h"
#include "saver/settings.h"
#include "saver/ui/embedded_preview.h"

namespace velmora {

// The running saver program: its settings, its X connection and the forms it opens, offered to
// the entry procedure.
class SaverProgram final : public EntryHost {
  public:
    // With a daemon's window, the program runs its session inside that window.
    SaverProgram(std::unique_ptr<X11Connection> x11, std::string mode_letter,
                 std::optional<X11WindowId> daemon_window = std::nullopt);

    bool WindowTitledExists(std::string_view title) override;
    void CreatePictureFolder() override;
    void LoadSettings() override;
    std::string ProgramFolder() override;
    bool FileExists(const std::string& path) override;
    void ShowMessageBox(std::string_view text) override;
    void HideCursor() override;
    bool ClaimSingleInstance() override;
    bool ShowPreview(std::int32_t host_window) override;
    void ShowSettingsDialog() override;
    void LoadSession() override;

  private:
    std::unique_ptr<X11Connection> x11_;
    const std::string mode_letter_;
    const std::optional<X11WindowId> daemon_window_;
    const std::string program_folder_;
    SettingsFiles settings_files_;
    Settings settings_;
    // What the session plays: the settings, less the music where another session has it.
    Settings session_settings_;
    // Receives the results of system calls, program-wide.
    std::int32_t LastResult = 0;
    std::unique_ptr<SessionForm> session_;
    std::unique_ptr<EmbeddedPreview> preview_;
};

}  // namespace velmora
