#include "saver/entry.h"

#include "saver/command_line.h"

namespace velmora {

std::string RendererPath(std::string_view program_folder) {
    return std::string(program_folder) + "/" + VELMORA_RENDERER_FILE_NAME;
}

MainResult Main(std::string_view command_line, EntryHost& host) {
    if (host.WindowTitledExists(kSessionWindowTitle) ||
        host.WindowTitledExists(kSettingsDialogTitle)) {
        return MainResult::kEndProgram;
    }
    const std::string mode = ModeLetter(command_line);
    if (mode == "P") {
        return host.ShowPreview(PreviewHandle(command_line)) ? MainResult::kKeepRunning
                                                             : MainResult::kEndProgram;
    }
    host.CreatePictureFolder();
    host.LoadSettings();
    if (!host.FileExists(RendererPath(host.ProgramFolder()))) {
        host.ShowMessageBox(kRendererMissingMessage);
        return MainResult::kEndProgram;
    }
    // The title test above leaves a gap until the window exists; starts that come together
    // (an idle watcher firing twice, say) meet here instead.
    const bool runs_a_form = mode == "C" || mode == "S" || command_line.empty();
    if (runs_a_form && !host.ClaimSingleInstance()) {
        return MainResult::kEndProgram;
    }
    if (mode == "C") {
        host.ShowSettingsDialog();
        return MainResult::kEndProgram;
    }
    if (mode != "S" && !command_line.empty()) {
        return MainResult::kEndProgram;
    }
    if (mode == "S") {
        host.HideCursor();
    }
    host.LoadSession();
    return MainResult::kKeepRunning;
}

MainResult HackMain(EntryHost& host) {
    host.CreatePictureFolder();
    host.LoadSettings();
    if (!host.FileExists(RendererPath(host.ProgramFolder()))) {
        host.ShowMessageBox(kRendererMissingMessage);
        return MainResult::kEndProgram;
    }
    if (!host.ClaimSingleInstance()) {
        return MainResult::kEndProgram;
    }
    host.LoadSession();
    return MainResult::kKeepRunning;
}

}  // namespace velmora
