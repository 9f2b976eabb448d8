#include "saver/host/mci/sdl_mixer_output.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <span>

namespace velmora {
namespace {

// Frames per mixing round: about 23 ms at 44100 Hz, short enough for a quick start.
constexpr int kChunkFrames = 1024;

}  // namespace

SdlMixerOutput::~SdlMixerOutput() {
    if (open_) {
        Mix_SetPostMix(nullptr, nullptr);
        Mix_CloseAudio();
        Mix_Quit();
    }
    if (audio_initialised_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

bool SdlMixerOutput::InitAudio() {
    if (!audio_initialised_) {
        audio_initialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    return audio_initialised_;
}

bool SdlMixerOutput::Start() {
    if (open_) {
        return true;
    }
    if (!InitAudio() || Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, kOutputChannels,
                                            kChunkFrames, nullptr, 0) != 0) {
        return false;
    }
    // Loads the MP3 decoder now rather than at the first file; a missing decoder shows later
    // as a file that cannot be opened.
    Mix_Init(MIX_INIT_MP3);
    Mix_SetPostMix(&SdlMixerOutput::MixSources, this);
    open_ = true;
    return true;
}

void SdlMixerOutput::Attach(PcmSource& source) {
    std::lock_guard lock(sources_mutex_);
    sources_.push_back(&source);
}

void SdlMixerOutput::Detach(PcmSource& source) {
    std::lock_guard lock(sources_mutex_);
    sources_.erase(std::remove(sources_.begin(), sources_.end(), &source), sources_.end());
}

std::uint32_t SdlMixerOutput::DeviceCount() {
    if (!InitAudio()) {
        return 0;
    }
    const int listed = SDL_GetNumAudioDevices(0);
    if (listed > 0) {
        return static_cast<std::uint32_t>(listed);
    }
    return Start() ? 1 : 0;
}

void SdlMixerOutput::MixSources(void* output, std::uint8_t* stream, int length) {
    auto* self = static_cast<SdlMixerOutput*>(output);
    const std::span samples(reinterpret_cast<std::int16_t*>(stream),
                            static_cast<std::size_t>(length) / sizeof(std::int16_t));
    std::lock_guard lock(self->sources_mutex_);
    for (PcmSource* source : self->sources_) {
        source->MixInto(samples);
    }
}

}  // namespace velmora
