#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

// Windows private-profile (ini) files as the saver's settings use them; other people and
// programs share them. Section and key names match without regard to ASCII case; the first
// matching section, and the first matching key in it, win. Values lose surrounding blanks and
// one pair of enclosing quotes.
//
// Encodings: a file with a UTF-16 byte-order mark (either order) is UTF-16 throughout. Any other
// file is CP932 when most of its non-ASCII section and key names are CP932 (a file written on
// Windows), else UTF-8. Lines read as UTF-8 where they are valid UTF-8, else as CP932 in a CP932
// file or one without non-ASCII names, else as they are. A write changes or adds only its own
// lines, in the file's encoding (a line whose text CP932 cannot hold goes in UTF-8); every other
// line keeps its bytes and its line ending.

// Files beyond this size are not settings files: they read as empty and are never rewritten.
inline constexpr std::size_t kProfileMaxFileBytes = 1 << 20;

// What a write did: the file written, or why not, in words for the user.
struct WriteOutcome {
    bool written = false;
    std::string reason;  // empty when written
};

struct ProfileEntry {
    std::string_view key;
    std::string_view value;
};

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key);

// The content with key in section set to value; the section is appended when missing. Nothing
// when the content is no text (a NUL byte without a byte-order mark, half a UTF-16 unit) or the
// value cannot be stored in a UTF-16 file (it is not valid UTF-8).
std::optional<std::string> SetProfileValue(std::string_view content, std::string_view section,
                                           std::string_view key, std::string_view value);

// The value of key, or fallback when the file, section or key is missing; cut to what a
// buffer of buffer_size bytes holds in CP932, the code page such buffers were made for, between
// two characters.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback,
                              std::size_t buffer_size);

// Sets the keys of one section in turn, all or none: creates the file and the section when
// missing. Refused, leaving the file as it was: names or values holding a line break or NUL,
// a file that is read-only, too large, unreadable or no text, a value the file's encoding
// cannot hold. A file of our own, with one link, in a folder we may write is replaced in one
// step, so that a failed write leaves it whole; any other file is written in place, keeping its
// owner, mode and links.
WriteOutcome WriteProfileStrings(const std::filesystem::path& file, std::string_view section,
                                 std::span<const ProfileEntry> entries);
WriteOutcome WriteProfileString(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, std::string_view value);

}  // namespace velmora
