#pragma once

#include <memory>

#include "saver/bgm/sound_player.h"
#include "saver/host/mci/sdl_mixer_output.h"

namespace velmora {

// The sound player over one SDL2_mixer channel: the file is decoded whole into memory when it
// starts. Play without kSoundAsync plays nothing, since waiting for the sound would hold the
// caller's thread up.
std::unique_ptr<SoundPlayer> MakeMixerSoundPlayer(SdlMixerOutput& output);

}  // namespace velmora
