#include "saver/saver_program.h"

#include <unistd.h>

#include "common/picture_folder.h"
#include "saver/host/design_font.h"
#include "saver/host/message_box.h"
#include "saver/host/program_folder.h"
#include "saver/paths.h"
#include "saver/ui/settings_dialog.h"

namespace velmora {

SaverProgram::SaverProgram(std::unique_ptr<X11Connection> x11, std::string mode_letter)
    : x11_(std::move(x11)),
      mode_letter_(std::move(mode_letter)),
      program_folder_(velmora::ProgramFolder()) {}

bool SaverProgram::WindowTitledExists(std::string_view title) {
    return x11_ != nullptr && x11_->WindowTitledExists(title);
}

void SaverProgram::CreatePictureFolder() {
    PreparePictureFolder(PictureFolder());
}

void SaverProgram::LoadSettings() {
    velmora::LoadSettings(settings_, IniPath(program_folder_), program_folder_);
}

std::string SaverProgram::ProgramFolder() {
    return program_folder_;
}

bool SaverProgram::FileExists(const std::string& path) {
    return velmora::FileExists(path);
}

void SaverProgram::ShowMessageBox(std::string_view text) {
    velmora::ShowMessageBox(text);
}

void SaverProgram::HideCursor() {
    if (x11_ != nullptr) {
        x11_->HideCursor();
    }
}

bool SaverProgram::ClaimSingleInstance() {
    // One per display and user: another user's session on a shared display is not ours.
    return x11_ == nullptr || x11_->ClaimSelection("VELMORA_SESSION_U" + std::to_string(getuid()));
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
    Velmora_P dialog(settings_, IniPath(program_folder_), x11_.get());
    dialog.ShowModal();
}

void SaverProgram::LoadSession() {
    session_ = std::make_unique<SessionForm>(x11_.get(), settings_, mode_letter_, program_folder_,
                                             LastResult);
    session_->Load();
}

}  // namespace velmora
