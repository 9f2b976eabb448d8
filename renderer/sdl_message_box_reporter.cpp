#include "renderer/sdl_message_box_reporter.h"

#include <SDL2/SDL.h>

#include <cstdio>

namespace velmora {

void SdlMessageBoxReporter::ShowError(const std::string& message) {
    if (SDL_ShowSimpleMessageBox(0, kErrorBoxTitle, message.c_str(), SDL_GetKeyboardFocus()) != 0) {
        // No box can be shown (no fonts, no display): the message still reaches someone.
        std::fprintf(stderr, "%s: %s\n", kErrorBoxTitle, message.c_str());
    }
}

}  // namespace velmora
