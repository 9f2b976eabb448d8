#pragma once

#include <memory>

#include "saver/bgm/sound_player.h"
#include "saver/host/mci/sdl_mixer_output.h"

namespace velmora {

// The sound player over SDL2_mixer's music stream, which it shares with the MP3 device (the one
// that started last sounds): a WAV file is read as it plays. Play without kSoundAsync plays
// nothing, since waiting for the sound would hold the caller's thread up.
std::unique_ptr<SoundPlayer> MakeMixerSoundPlayer(SdlMixerOutput& output);

}  // namespace velmora
