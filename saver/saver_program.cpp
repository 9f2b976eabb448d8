#include "saver/saver_program.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "common/picture_folder.h"
#include "common/window_id.h"
#include "saver/host/design_font.h"
#include "saver/host/message_box.h"
#include "saver/host/program_folder.h"
#include "saver/paths.h"
#include "saver/ui/settings_dialog.h"

namespace velmora {

SaverProgram::SaverProgram(std::unique_ptr<X11Connection> x11, std::string mode_letter,
                           std::optional<X11WindowId> daemon_window)
    : x11_(std::move(x11)),
      mode_letter_(std::move(mode_letter)),
      daemon_window_(daemon_window),
      program_folder_(velmora::ProgramFolder()) {}

bool SaverProgram::WindowTitledExists(std::string_view title) {
    return x11_ != nullptr && x11_->WindowTitledExists(title);
}

void SaverProgram::CreatePictureFolder() {
    PreparePictureFolder(PictureFolder());
}

void SaverProgram::LoadSettings() {
    settings_files_ = SettingsFilesFor(
        program_folder_,
        ResolveUserFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ".config"));
    velmora::LoadSettings(settings_, settings_files_.ToRead(), program_folder_);
    session_settings_ = settings_;
}

std::string SaverProgram::ProgramFolder() {
    return program_folder_;
}

bool SaverProgram::FileExists(const std::string& path) {
    return velmora::FileExists(path);
}

void SaverProgram::ShowMessageBox(std::string_view text) {
    // Inside a daemon's window nobody would see a box: the daemon covers the screen.
    if (daemon_window_) {
        std::fprintf(stderr, "%s: %.*s\n", program_invocation_short_name,
                     static_cast<int>(text.size()), text.data());
        return;
    }
    velmora::ShowMessageBox(text);
}

void SaverProgram::HideCursor() {
    if (x11_ != nullptr) {
        x11_->HideCursor();
    }
}

bool SaverProgram::ClaimSingleInstance() {
    // One per display and user: another user's session on a shared display is not ours. A
    // daemon runs one program per monitor, each in its own window: one session per window.
    std::string name = "VELMORA_SESSION_U" + std::to_string(getuid());
    if (daemon_window_) {
        name += "_W" + WindowIdText(*daemon_window_);
    }
    return x11_ == nullptr || x11_->ClaimSelection(name);
}

bool SaverProgram::ShowPreview(std::int32_t host_window) {
    if (x11_ == nullptr || host_window <= 0) {
        return false;
    }
    preview_ = EmbeddedPreview::Start(*x11_, static_cast<X11WindowId>(host_window));
    return preview_ != nullptr;
}

void SaverProgram::ShowSettingsDialog() {
    InstallDesignFontSubstitution();
    Velmora_P dialog(settings_, settings_files_, x11_.get());
    dialog.ShowModal();
}

void SaverProgram::LoadSession() {
    if (daemon_window_) {
        // One music for all the monitors: the first of the daemon's sessions plays it.
        if (x11_ == nullptr ||
            !x11_->ClaimSelection("VELMORA_MUSIC_U" + std::to_string(getuid()))) {
            session_settings_.BGM_Kind = 0;
        }
    }
    session_ = std::make_unique<SessionForm>(x11_.get(), session_settings_, mode_letter_,
                                             program_folder_, LastResult, daemon_window_);
    session_->Load();
}

}  // namespace velmora
