#include "renderer/sdl_message_box_reporter.h"

#include <SDL2/SDL.h>

#include <cstdio>

#include "renderer/x11_box_focus.h"

namespace velmora {

void SdlMessageBoxReporter::ShowError(const std::string& message) {
    const KeyboardToNewWindow keyboard_to_the_box(kErrorBoxTitle);
    if (SDL_ShowSimpleMessageBox(0, kErrorBoxTitle, message.c_str(), SDL_GetKeyboardFocus()) != 0) {
        // No box can be shown (no fonts, no display): the message still reaches someone.
        std::fprintf(stderr, "%s: %s\n", kErrorBoxTitle, message.c_str());
    }
}

}  // namespace velmora
