#include "saver/host/mci/sdl_mixer_music_device.h"

#include <SDL_mixer.h>

#include <filesystem>
#include <memory>

#include "saver/host/mci/mci_errors.h"
#include "saver/host/mci/mci_words.h"

namespace velmora {
namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

struct MusicDeleter {
    void operator()(Mix_Music* music) const noexcept { Mix_FreeMusic(music); }
};
using MusicHandle = std::unique_ptr<Mix_Music, MusicDeleter>;

class MixerMusicDevice final : public MciDevice {
  public:
    MixerMusicDevice(SdlMixerOutput& output, MusicHandle music)
        : output_(output), music_(std::move(music)) {
        const double seconds = Mix_MusicDuration(music_.get());
        length_ms_ = seconds > 0 ? static_cast<std::int64_t>(seconds * kMillisecondsPerSecond) : 0;
    }

    ~MixerMusicDevice() override {
        if (Sounding()) {
            Mix_HaltMusic();
        }
        if (output_.OwnsMusic(this)) {
            output_.ClaimMusic(nullptr);
        }
    }

    // Playing "to" a position would need a watch on the mixer's thread; it is refused rather
    // than played past.
    std::int32_t Play(const std::optional<std::string>& from,
                      const std::optional<std::string>& to) override {
        if (to) {
            return mci_error::kUnsupportedFunction;
        }
        std::int64_t start = 0;
        if (from) {
            const auto milliseconds = ParseMciInteger(*from);
            if (!milliseconds) {
                return mci_error::kBadInteger;
            }
            if (*milliseconds > length_ms_) {
                return mci_error::kOutOfRange;
            }
            start = *milliseconds;
        } else if (Sounding()) {
            Mix_ResumeMusic();
            return 0;
        } else {
            start = resume_ms_;
        }
        output_.ClaimMusic(this);
        if (Mix_FadeInMusicPos(music_.get(), 0, 0,
                               static_cast<double>(start) / kMillisecondsPerSecond) != 0) {
            return mci_error::kHardware;
        }
        started_ = true;
        return 0;
    }

    // The position is kept, so a later "play" goes on from it.
    std::int32_t Stop() override {
        if (Sounding()) {
            resume_ms_ = PositionMs();
            Mix_HaltMusic();
            started_ = false;
        }
        return 0;
    }

    std::int32_t Pause() override {
        if (Sounding()) {
            Mix_PauseMusic();
        }
        return 0;
    }

    std::int32_t Resume() override {
        if (Sounding()) {
            Mix_ResumeMusic();
        }
        return 0;
    }

    MciResult Status(const MciStatusQuery& query) override {
        switch (query.item) {
            case MciStatusItem::kMode:
                if (!Sounding()) {
                    return Reply(kModeStopped);
                }
                return Reply(Mix_PausedMusic() != 0 ? kModePaused : kModePlaying);
            case MciStatusItem::kPosition:
            case MciStatusItem::kLength:
                if (query.track) {
                    return {mci_error::kUnsupportedFunction, {}};
                }
                return Reply(std::to_string(query.item == MciStatusItem::kPosition ? PositionMs()
                                                                                   : length_ms_));
            case MciStatusItem::kMediaPresent:
            case MciStatusItem::kReady:
                return Reply(kReplyTrue);
            case MciStatusItem::kTimeFormat:
                return Reply(TimeFormatName(MciTimeFormat::kMilliseconds));
            case MciStatusItem::kCurrentTrack:
            case MciStatusItem::kNumberOfTracks:
                break;
        }
        return {mci_error::kUnsupportedFunction, {}};
    }

    std::int32_t SetTimeFormat(MciTimeFormat format) override {
        return format == MciTimeFormat::kMilliseconds ? 0 : mci_error::kBadTimeFormat;
    }

  private:
    static MciResult Reply(std::string_view text) { return {0, std::string(text)}; }

    // True while this device's music is in the mixer, playing or paused. Music that has played
    // to its end, or that another device has taken over, stops here and rests at its end.
    bool Sounding() {
        if (started_ && !(output_.OwnsMusic(this) && Mix_PlayingMusic() != 0)) {
            started_ = false;
            resume_ms_ = length_ms_;
        }
        return started_;
    }

    std::int64_t PositionMs() {
        if (!Sounding()) {
            return resume_ms_;
        }
        const double seconds = Mix_GetMusicPosition(music_.get());
        return seconds >= 0 ? static_cast<std::int64_t>(seconds * kMillisecondsPerSecond)
                            : resume_ms_;
    }

    SdlMixerOutput& output_;
    MusicHandle music_;
    std::int64_t length_ms_ = 0;
    std::int64_t resume_ms_ = 0;
    bool started_ = false;
};

}  // namespace

MciOpening OpenMixerMusicDevice(SdlMixerOutput& output, const std::string& file) {
    std::error_code error;
    const auto type = std::filesystem::status(file, error).type();
    if (file.empty() || type == std::filesystem::file_type::not_found) {
        return {mci_error::kFileNotFound, nullptr};
    }
    // A folder, a pipe or a device is no music file, and a pipe would hold the caller up.
    if (type != std::filesystem::file_type::regular) {
        return {mci_error::kInvalidFile, nullptr};
    }
    if (!output.Start()) {
        return {mci_error::kHardware, nullptr};
    }
    MusicHandle music(Mix_LoadMUS(file.c_str()));
    if (!music) {
        return {mci_error::kInvalidFile, nullptr};
    }
    return {0, std::make_unique<MixerMusicDevice>(output, std::move(music))};
}

}  // namespace velmora
