#pragma once

#include <memory>

#include "saver/bgm/media_commands.h"
#include "saver/bgm/sound_player.h"

namespace velmora {

class SdlMixerOutput;
class MciLayer;

// The program's media commands ("cdaudio" over libcdio, "MPEGVideo" over SDL2_mixer) and its
// sound player, sharing one sound output that opens when it is first needed. Destroying it
// closes every device and the output. Used from one thread.
class MediaServices {
  public:
    MediaServices();
    MediaServices(const MediaServices&) = delete;
    MediaServices& operator=(const MediaServices&) = delete;
    ~MediaServices();

    MediaCommands& commands() noexcept;
    SoundPlayer& player() noexcept;

  private:
    std::unique_ptr<SdlMixerOutput> output_;
    std::unique_ptr<MciLayer> commands_;
    std::unique_ptr<SoundPlayer> player_;
};

}  // namespace velmora
