#pragma once

#include <string>

#include "saver/host/mci/mci_device.h"
#include "saver/host/mci/sdl_mixer_output.h"

namespace velmora {

// Opens the "MPEGVideo" device on a music file (MP3, or whatever else SDL2_mixer decodes),
// played through the mixer's one music stream; its time format is milliseconds. Opening reads
// the file's header, not the whole file.
MciOpening OpenMixerMusicDevice(SdlMixerOutput& output, const std::string& file);

}  // namespace velmora
