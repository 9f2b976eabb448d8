#include "saver/host/mci/sdl_mixer_sound_player.h"

#include <SDL_mixer.h>

#include <filesystem>

namespace velmora {
namespace {

constexpr int kSoundChannel = 0;
constexpr int kLoopForever = -1;

struct ChunkDeleter {
    void operator()(Mix_Chunk* chunk) const noexcept { Mix_FreeChunk(chunk); }
};

class MixerSoundPlayer final : public SoundPlayer {
  public:
    explicit MixerSoundPlayer(SdlMixerOutput& output) : output_(output) {}
    ~MixerSoundPlayer() override { Stop(); }

    std::uint32_t DeviceCount() override { return output_.DeviceCount(); }

    bool Play(const std::string& file, std::uint32_t flags) override {
        Stop();
        if ((flags & kSoundAsync) == 0) {
            return false;
        }
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error) || !output_.Start()) {
            return false;
        }
        chunk_.reset(Mix_LoadWAV(file.c_str()));
        if (!chunk_) {
            return false;
        }
        const int loops = (flags & kSoundLoop) != 0 ? kLoopForever : 0;
        if (Mix_PlayChannel(kSoundChannel, chunk_.get(), loops) < 0) {
            chunk_.reset();
            return false;
        }
        return true;
    }

    bool Stop() override {
        if (chunk_) {
            Mix_HaltChannel(kSoundChannel);
            chunk_.reset();
        }
        return true;
    }

  private:
    SdlMixerOutput& output_;
    std::unique_ptr<Mix_Chunk, ChunkDeleter> chunk_;
};

}  // namespace

std::unique_ptr<SoundPlayer> MakeMixerSoundPlayer(SdlMixerOutput& output) {
    return std::make_unique<MixerSoundPlayer>(output);
}

}  // namespace velmora
