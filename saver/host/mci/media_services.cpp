#include "saver/host/mci/media_services.h"

#include "saver/host/mci/cd_audio_device.h"
#include "saver/host/mci/cdio_drive.h"
#include "saver/host/mci/mci_errors.h"
#include "saver/host/mci/mci_layer.h"
#include "saver/host/mci/sdl_mixer_music_device.h"
#include "saver/host/mci/sdl_mixer_output.h"
#include "saver/host/mci/sdl_mixer_sound_player.h"

namespace velmora {

MediaServices::MediaServices() : output_(std::make_unique<SdlMixerOutput>()) {
    SdlMixerOutput& output = *output_;
    MciDeviceMakers makers;
    makers.cd_audio = [&output](const std::string& source) -> MciOpening {
        CdDriveOpening opening = OpenCdioDrive(source);
        if (opening.code != 0) {
            return {opening.code, nullptr};
        }
        if (!output.Start()) {
            return {mci_error::kHardware, nullptr};
        }
        return {0, std::make_unique<CdAudioDevice>(std::move(opening.drive), output)};
    };
    makers.mpeg_video = [&output](const std::string& file) {
        return OpenMixerMusicDevice(output, file);
    };
    commands_ = std::make_unique<MciLayer>(std::move(makers));
    player_ = MakeMixerSoundPlayer(output);
}

// The devices and the player go before the output they play through.
MediaServices::~MediaServices() {
    player_.reset();
    commands_.reset();
}

MediaCommands& MediaServices::commands() noexcept {
    return *commands_;
}

SoundPlayer& MediaServices::player() noexcept {
    return *player_;
}

}  // namespace velmora
