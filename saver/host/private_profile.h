#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Windows private-profile (ini) files as the saver's settings use them. Section and key names
// match without regard to ASCII case; the first matching section, and the first matching key
// in it, win. Values lose surrounding blanks and one pair of enclosing quotes. Lines are taken
// as UTF-8, or as CP932 when they are not valid UTF-8, so a file carried over from Windows reads
// the same. A write rewrites or adds one line, keeps every other line, and leaves the file in
// UTF-8.

// Files beyond this size are not settings files: they read as empty and are never rewritten.
inline constexpr std::size_t kProfileMaxFileBytes = 1 << 20;

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key);

// The content with key in section set to value; the section is appended when missing.
std::string SetProfileValue(std::string_view content, std::string_view section,
                            std::string_view key, std::string_view value);

// The value of key, or fallback when the file, section or key is missing; at most
// buffer_size - 1 bytes of it, as a fixed-size buffer would hold.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback,
                              std::size_t buffer_size);

// Creates the file and the section when missing. The file is replaced in one step, so a failed
// write leaves it as it was. False when nothing was written: names or a value holding a line
// break or NUL (they would corrupt the file), a file that cannot be read or replaced.
bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

}  // namespace velmora
