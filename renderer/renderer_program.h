#pragma once

namespace velmora {

// The renderer program: full screen (or in a window where the display offers no 1024 x 768
// mode) until Escape or a close request; with "--window-id ID", inside that window until it
// goes. 0; 1 when there is nothing to show on (no X display, no such window); 2 for arguments
// it does not know.
int RunRenderer(int argc, const char* const* argv);

}  // namespace velmora
