#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace velmora {

// Replaces the file's content in one step: a new file beside it, then a rename over it, so that
// a failed write leaves the old file as it was and no reader sees half a file. The new file gets
// mode, or without one the usual mode for new files (0666 less the umask), and group when one
// is given. False on failure, with errno saying why.
bool ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 std::optional<mode_t> mode, std::optional<gid_t> group = std::nullopt);

// Writes content over the file's own bytes, so that it keeps its owner, mode, links and
// identity. The room a longer content needs is claimed first: a full disk leaves the old content.
// False on failure, with errno saying why.
bool RewriteFileInPlace(const std::filesystem::path& path, std::string_view content);

}  // namespace velmora
