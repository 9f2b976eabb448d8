#include "saver/session.h"

#include "common/picture_folder.h"
#include "saver/entry.h"
#include "saver/host/bmp_writer.h"

namespace velmora {

Velmora_S::Velmora_S(SessionHost& host, Velmora_BGM& music, const Settings& settings,
                     std::string mode_letter, std::string program_folder)
    : host_(host),
      music_(music),
      settings_(settings),
      mode_letter_(std::move(mode_letter)),
      program_folder_(std::move(program_folder)) {}

bool Velmora_S::TimerEnabled(SessionTimer timer) const {
    return timer_enabled_[static_cast<int>(timer)];
}

void Velmora_S::SetTimer(SessionTimer timer, bool enabled) {
    timer_enabled_[static_cast<int>(timer)] = enabled;
    host_.SetTimerEnabled(timer, enabled);
}

void Velmora_S::Form_Load() {
    // Each step stands alone: a failed capture or save leaves the renderer an older picture.
    if (const auto desktop = host_.CaptureDesktopPicture()) {
        host_.SavePicture(kDesktopPictureName, *desktop);
    }
    host_.SavePicture(kFlarePictureName, EncodeBmp(FlarePicture()));
    host_.StartRenderer(RendererPath(program_folder_));
    if (settings_.BGM_Kind == 1) {
        music_.BGM_CDOpen();
        SetTimer(SessionTimer::kTimer2, true);
    }
    if (settings_.BGM_Kind == 2) {
        const MusicFileType type = MusicFileTypeOf(settings_.BGM_File);
        if (type == MusicFileType::kWav) {
            music_.BGM_WAVPlay(settings_.BGM_File);
        }
        if (type == MusicFileType::kMp3) {
            music_.BGM_MP3Open(settings_.BGM_File);
            SetTimer(SessionTimer::kTimer1, true);
        }
    }
}

void Velmora_S::Timer1_Timer() {
    if (!ended_) {
        music_.BGM_MP3Rewind();
    }
}

void Velmora_S::Timer2_Timer() {
    if (!ended_) {
        music_.BGM_CDWatch(settings_.BGM_RepeatTrack);
        SetTimer(SessionTimer::kTimer2, music_.BGM_CDActive());
    }
}

void Velmora_S::Timer3_Timer() {
    if (ended_) {
        return;
    }
    ++watch_ticks_;
    if (host_.WindowTitledExists(kRendererWindowTitle)) {
        renderer_seen_ = true;
        return;
    }
    // The renderer switches the display mode before its window appears; wait for it.
    if (!renderer_seen_ && watch_ticks_ < kRendererStartTicks) {
        return;
    }
    SetTimer(SessionTimer::kTimer3, false);
    Form_QueryUnload();
}

void Velmora_S::RendererExited() {
    if (ended_) {
        return;
    }
    SetTimer(SessionTimer::kTimer3, false);
    Form_QueryUnload();
}

void Velmora_S::Form_QueryUnload() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // The renderer is the session's: it must not go on full screen with no music and no owner.
    host_.EndRenderer();
    if (TimerEnabled(SessionTimer::kTimer2)) {
        SetTimer(SessionTimer::kTimer2, false);
        music_.BGM_CDClose();
    }
    if (settings_.BGM_Kind == 2) {
        const MusicFileType type = MusicFileTypeOf(settings_.BGM_File);
        if (type == MusicFileType::kWav) {
            music_.BGM_WAVStop();
        }
        if (type == MusicFileType::kMp3) {
            SetTimer(SessionTimer::kTimer1, false);
            music_.BGM_MP3Close();
        }
    }
    if (mode_letter_ == "S") {
        host_.ShowCursor();
    }
    host_.EndProgram();
}

}  // namespace velmora
