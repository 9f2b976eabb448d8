#include "saver/host/mci/sdl_mixer_sound_player.h"

#include <SDL_mixer.h>

#include <filesystem>

namespace velmora {
namespace {

constexpr int kLoopForever = -1;
constexpr int kPlayOnce = 0;

struct MusicDeleter {
    void operator()(Mix_Music* music) const noexcept { Mix_FreeMusic(music); }
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
        SDL_RWops* source = SDL_RWFromFile(file.c_str(), "rb");
        if (source == nullptr) {
            return false;
        }
        // Streamed from the file as it plays, so that an hour-long recording neither fills the
        // memory nor holds the caller up while it is decoded.
        music_.reset(Mix_LoadMUSType_RW(source, MUS_WAV, SDL_TRUE));
        if (!music_) {
            return false;
        }
        output_.ClaimMusic(this);
        const int loops = (flags & kSoundLoop) != 0 ? kLoopForever : kPlayOnce;
        if (Mix_PlayMusic(music_.get(), loops) != 0) {
            Stop();
            return false;
        }
        return true;
    }

    bool Stop() override {
        if (music_ && output_.OwnsMusic(this)) {
            Mix_HaltMusic();
            output_.ClaimMusic(nullptr);
        }
        music_.reset();
        return true;
    }

  private:
    SdlMixerOutput& output_;
    std::unique_ptr<Mix_Music, MusicDeleter> music_;
};

}  // namespace

std::unique_ptr<SoundPlayer> MakeMixerSoundPlayer(SdlMixerOutput& output) {
    return std::make_unique<MixerSoundPlayer>(output);
}

}  // namespace velmora
