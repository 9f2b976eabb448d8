#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace velmora {

// Replaces the file's content in one step: a new file beside it, then a rename over it, so that
// a failed write leaves the old file as it was and no reader sees half a file. The new file gets
// mode, or without one the usual mode for new files (0666 less the umask). False on failure.
bool ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 std::optional<mode_t> mode);

}  // namespace velmora
