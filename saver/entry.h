#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Window titles whose presence means that the saver already runs: the hidden session window and
// the settings dialog.
inline constexpr std::string_view kSessionWindowTitle = "Velmora_Main";
inline constexpr std::string_view kSettingsDialogTitle = "<ヴェルモラ>";
inline constexpr std::string_view kRendererMissingMessage =
    "ヴェルモラ.dll が同じﾌｫﾙﾀﾞに見つかりません！";

// What the entry procedure needs from the platform and from the three forms; the program
// provides the real ones, tests a recording fake.
class EntryHost {
  public:
    virtual ~EntryHost() = default;

    // True when a window with exactly this title exists, shown or hidden, in any process.
    virtual bool WindowTitledExists(std::string_view title) = 0;
    virtual void CreatePictureFolder() = 0;
    virtual void LoadSettings() = 0;
    virtual std::string ProgramFolder() = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // A message box with an OK button only and the program's title; returns when closed.
    virtual void ShowMessageBox(std::string_view text) = 0;
    virtual void HideCursor() = 0;
    // Takes, in one step that no other start can split, the one place of a running session or
    // settings dialog; false when another start holds it. Held until the program ends.
    virtual bool ClaimSingleInstance() = 0;

    // Embeds the preview in the window with this id; false when it could not be shown.
    virtual bool ShowPreview(std::int32_t host_window) = 0;
    // Shows the settings dialog modally; returns when it has closed.
    virtual void ShowSettingsDialog() = 0;
    // Starts the hidden saver session, which then keeps the program running.
    virtual void LoadSession() = 0;
};

enum class MainResult { kEndProgram, kKeepRunning };

// program_folder + "/ヴェルモラ.dll"
std::string RendererPath(std::string_view program_folder);

// The entry procedure: refuses to run beside a running session or open settings dialog, then
// dispatches on the mode letter of the command line. kKeepRunning when a preview or session now
// lives in the program's event loop.
MainResult Main(std::string_view command_line, EntryHost& host);

// The entry inside a screen-saver daemon's window: the session's preparations as for "/S", one
// session per window, and nothing that would take the screen from the daemon (no cursor hiding).
MainResult HackMain(EntryHost& host);

}  // namespace velmora
