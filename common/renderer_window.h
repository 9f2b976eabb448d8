#pragma once

namespace velmora {

// The renderer's window title: the saver's only way to tell that the renderer still runs.
inline constexpr const char* kRendererWindowTitle = "Velmora_VC";

}  // namespace velmora
