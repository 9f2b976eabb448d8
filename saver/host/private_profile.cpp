#include "saver/host/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <variant>
#include <vector>

#include "common/ascii_text.h"
#include "common/file_bytes.h"
#include "common/replace_file.h"
#include "saver/host/cp932.h"
#include "saver/utf8.h"

namespace velmora {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeByteOrderMark = "\xFE\xFF";

// Why a write was refused, as the user reads it.
constexpr std::string_view kBadTextReason = "名前か値に改行などの書けない文字があります。";
constexpr std::string_view kReadOnlyReason = "読み取り専用のﾌｧｲﾙです。";
constexpr std::string_view kTooLargeReason = "ﾌｧｲﾙが大きすぎます。";
constexpr std::string_view kUnreadableReason = "ﾌｧｲﾙを読み込めません。";
constexpr std::string_view kNotTextReason = "ﾃｷｽﾄﾌｧｲﾙではありません。";
constexpr std::string_view kEncodingReason = "値をﾌｧｲﾙの文字ｺｰﾄﾞで書けません。";

enum class Encoding { kUtf8, kCp932, kUtf16Le, kUtf16Be };

struct Line {
    std::string stored;  // the line's bytes as found, without its ending
    std::string ending;  // the ending's bytes as found: a line feed, or a carriage return and
                         // a line feed; for the last line also a carriage return or nothing
    std::string text;    // the line in UTF-8, for matching
};

struct Profile {
    std::string prefix;  // a byte-order mark, kept as found
    Encoding encoding = Encoding::kUtf8;
    bool text = true;  // false for bytes no text file holds
    std::vector<Line> lines;
};

// The text in the profile's encoding; nothing when that cannot hold it. A line in a CP932
// file goes in UTF-8 when CP932 lacks one of its characters, or when its CP932 bytes would read
// back as other UTF-8 text.
std::optional<std::string> Store(const Profile& profile, std::string_view text) {
    switch (profile.encoding) {
        case Encoding::kUtf16Le:
        case Encoding::kUtf16Be:
            return Utf8ToUtf16(text, profile.encoding == Encoding::kUtf16Be);
        case Encoding::kCp932:
            if (!IsAscii(text)) {
                if (auto stored = Utf8ToCp932(text); stored && !IsValidUtf8(*stored)) {
                    return stored;
                }
            }
            return std::string(text);
        case Encoding::kUtf8:
            break;
    }
    return std::string(text);
}

// Byte lines end at each line feed; a carriage return before it belongs to the ending.
std::vector<Line> SplitBytes(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        const auto feed = content.find('\n');
        Line line;
        line.stored = content.substr(0, feed);
        content.remove_prefix(feed == std::string_view::npos ? content.size() : feed + 1);
        if (line.stored.ends_with('\r')) {
            line.stored.pop_back();
            line.ending = "\r";
        }
        if (feed != std::string_view::npos) {
            line.ending += "\n";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<Line> SplitUtf16(std::string_view content, bool big_endian) {
    const auto unit_is = [&](std::size_t offset, char ascii) {
        const char high = big_endian ? content[offset] : content[offset + 1];
        const char low = big_endian ? content[offset + 1] : content[offset];
        return high == '\0' && low == ascii;
    };
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t offset = 0; offset + 1 < content.size(); offset += 2) {
        const bool feed = unit_is(offset, '\n');
        const bool last = offset + 3 >= content.size();
        if (!feed && !last) {
            continue;
        }
        const std::size_t end = feed ? offset : offset + 2;
        Line line;
        line.stored = content.substr(start, end - start);
        if (line.stored.size() >= 2 && unit_is(start + line.stored.size() - 2, '\r')) {
            line.ending = line.stored.substr(line.stored.size() - 2);
            line.stored.resize(line.stored.size() - 2);
        }
        if (feed) {
            line.ending += content.substr(offset, 2);
        }
        line.text = Utf16ToUtf8(line.stored, big_endian);
        lines.push_back(std::move(line));
        start = offset + 2;
    }
    return lines;
}

// The name of a section header line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view text) {
    text = TrimAsciiBlanks(text);
    if (!text.starts_with('[')) {
        return std::nullopt;
    }
    text.remove_prefix(1);
    if (const auto close = text.rfind(']'); close != std::string_view::npos) {
        text = text.substr(0, close);
    }
    return TrimAsciiBlanks(text);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view text) {
    text = TrimAsciiBlanks(text);
    if (text.empty() || text.starts_with('[')) {
        return std::nullopt;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        return KeyLine{text, {}};
    }
    std::string_view value = TrimAsciiBlanks(text.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return KeyLine{TrimAsciiBlanks(text.substr(0, equals)), value};
}

// The section or key name a line holds.
std::optional<std::string_view> NameOf(std::string_view text) {
    if (const auto section = SectionName(text)) {
        return section;
    }
    if (const auto entry = ParseKeyLine(text)) {
        return entry->key;
    }
    return std::nullopt;
}

// Gives each line of a file without byte-order mark its text, and the file its encoding: the
// one that more of its non-ASCII names are in. Lines that are not UTF-8 read as CP932 unless
// the names say UTF-8 (a Latin-1 line in a UTF-8 file stays as it is).
void DecodeBytes(Profile& profile) {
    int utf8_names = 0, cp932_names = 0;
    for (const Line& line : profile.lines) {
        if (IsAscii(line.stored)) {
            continue;
        }
        const bool utf8 = IsValidUtf8(line.stored);
        const auto text = utf8 ? std::optional(line.stored) : Cp932ToUtf8(line.stored);
        const auto name = text ? NameOf(*text) : std::nullopt;
        if (name && !IsAscii(*name)) {
            ++(utf8 ? utf8_names : cp932_names);
        }
    }
    profile.encoding = cp932_names > utf8_names ? Encoding::kCp932 : Encoding::kUtf8;
    const bool read_cp932 = utf8_names == 0 || profile.encoding == Encoding::kCp932;
    for (Line& line : profile.lines) {
        line.text = line.stored;
        if (read_cp932 && !IsValidUtf8(line.stored)) {
            if (auto text = Cp932ToUtf8(line.stored)) {
                line.text = std::move(*text);
            }
        }
    }
}

Profile Parse(std::string_view content) {
    Profile profile;
    if (content.starts_with(kUtf16LeByteOrderMark) || content.starts_with(kUtf16BeByteOrderMark)) {
        const bool big_endian = content.starts_with(kUtf16BeByteOrderMark);
        profile.encoding = big_endian ? Encoding::kUtf16Be : Encoding::kUtf16Le;
        profile.prefix = content.substr(0, kUtf16LeByteOrderMark.size());
        content.remove_prefix(kUtf16LeByteOrderMark.size());
        profile.text = content.size() % 2 == 0;
        profile.lines = SplitUtf16(content, big_endian);
        return profile;
    }
    if (content.starts_with(kUtf8ByteOrderMark)) {
        profile.prefix = kUtf8ByteOrderMark;
        content.remove_prefix(kUtf8ByteOrderMark.size());
    }
    // Without a byte-order mark, NUL bytes mean UTF-16 or no text at all.
    profile.text = content.find('\0') == std::string_view::npos;
    profile.lines = SplitBytes(content);
    DecodeBytes(profile);
    return profile;
}

struct Location {
    std::optional<std::size_t> section;  // index of the header line
    std::optional<std::size_t> key;      // index of the key line
    std::size_t section_end = 0;         // one past the section's last non-blank line
};

Location Locate(const Profile& profile, std::string_view section, std::string_view key) {
    Location location;
    const auto& lines = profile.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (name && SameAsciiWord(*name, section)) {
            location.section = i;
            break;
        }
    }
    if (!location.section) {
        return location;
    }
    location.section_end = *location.section + 1;
    for (std::size_t i = *location.section + 1; i < lines.size() && !SectionName(lines[i].text);
         ++i) {
        if (!TrimAsciiBlanks(lines[i].text).empty()) {
            location.section_end = i + 1;
        }
        const auto entry = ParseKeyLine(lines[i].text);
        if (!location.key && entry && SameAsciiWord(entry->key, key)) {
            location.key = i;
        }
    }
    return location;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool UsableNamesAndValue(std::string_view section, std::string_view key, std::string_view value) {
    return !HasLineBreakOrNul(section) && !HasLineBreakOrNul(key) && !HasLineBreakOrNul(value) &&
           section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos;
}

// The content with the key set, or why it cannot take it.
std::variant<std::string, std::string_view> Edit(std::string_view content, std::string_view section,
                                                 std::string_view key, std::string_view value) {
    Profile profile = Parse(content);
    if (!profile.text) {
        return kNotTextReason;
    }
    const std::string entry_text = std::string(key) + "=" + std::string(value);
    const std::string header_text = "[" + std::string(section) + "]";
    const auto entry = Store(profile, entry_text);
    const auto header = Store(profile, header_text);
    const std::string feed = *Store(profile, "\n");
    const std::string carriage_return = *Store(profile, "\r");
    if (!entry || !header) {
        return kEncodingReason;
    }
    std::string ending = feed;
    for (const Line& line : profile.lines) {
        if (line.ending.ends_with(feed)) {
            ending = line.ending;
            break;
        }
    }
    auto& lines = profile.lines;
    // A line that gets a successor needs an ending of its own.
    auto end_line = [&](std::size_t index) {
        if (lines[index].ending.empty()) {
            lines[index].ending = ending;
        } else if (lines[index].ending == carriage_return) {
            lines[index].ending += feed;
        }
    };
    const Location location = Locate(profile, section, key);
    if (location.key) {
        lines[*location.key].stored = *entry;
    } else if (location.section) {
        end_line(location.section_end - 1);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(location.section_end),
                     Line{*entry, ending, entry_text});
    } else {
        if (!lines.empty()) {
            end_line(lines.size() - 1);
        }
        lines.push_back(Line{*header, ending, header_text});
        lines.push_back(Line{*entry, ending, entry_text});
    }
    std::string result = profile.prefix;
    for (const auto& line : lines) {
        result += line.stored;
        result += line.ending;
    }
    return result;
}

// The longest start of text that takes at most limit bytes in CP932, ending between two
// characters. A character that CP932 lacks counts with its UTF-8 bytes.
std::string CutToCodePageBytes(std::string_view text, std::size_t limit) {
    std::size_t used = 0, offset = 0;
    while (offset < text.size()) {
        const std::size_t length = Utf8CharacterLength(text, offset);
        std::size_t bytes = length;
        if (length > 1) {
            if (const auto stored = Utf8ToCp932(text.substr(offset, length))) {
                bytes = stored->size();
            }
        }
        if (used + bytes > limit) {
            break;
        }
        used += bytes;
        offset += length;
    }
    return std::string(text.substr(0, offset));
}

WriteOutcome Refused(std::string_view reason) {
    return {false, std::string(reason)};
}

WriteOutcome FailedWithErrno(int error) {
    return {false, std::strerror(error)};
}

// A file that no one may write, whatever our privileges, counts as read-only too.
bool ReadOnly(const std::filesystem::path& file, const struct stat& info) {
    return (info.st_mode & 0222) == 0 || faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
}

bool InOurGroups(gid_t group) {
    if (group == getegid()) {
        return true;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

// Replacing the file is safe where the new one can be all the old one was: our own file, one
// link, a group we may give, in a folder we may write.
bool ReplaceKeepsTheFile(const std::filesystem::path& file, const struct stat& info) {
    return info.st_uid == geteuid() && info.st_nlink == 1 && InOurGroups(info.st_gid) &&
           faccessat(AT_FDCWD, file.parent_path().c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key) {
    const Profile profile = Parse(content);
    const Location location = Locate(profile, section, key);
    if (!location.key) {
        return std::nullopt;
    }
    return std::string(ParseKeyLine(profile.lines[*location.key].text)->value);
}

std::optional<std::string> SetProfileValue(std::string_view content, std::string_view section,
                                           std::string_view key, std::string_view value) {
    auto edited = Edit(content, section, key, value);
    if (auto* result = std::get_if<std::string>(&edited)) {
        return std::move(*result);
    }
    return std::nullopt;
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback,
                              std::size_t buffer_size) {
    if (buffer_size == 0) {
        return {};
    }
    const FileBytes read = ReadFileBytes(file, kProfileMaxFileBytes);
    std::optional<std::string> value;
    if (read.status == FileBytes::Status::kRead) {
        value = FindProfileValue(
            std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()),
            section, key);
    }
    return CutToCodePageBytes(value ? *value : fallback, buffer_size - 1);
}

WriteOutcome WriteProfileStrings(const std::filesystem::path& file, std::string_view section,
                                 std::span<const ProfileEntry> entries) {
    for (const ProfileEntry& entry : entries) {
        if (!UsableNamesAndValue(section, entry.key, entry.value)) {
            return Refused(kBadTextReason);
        }
    }
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(file, error);
    std::string content;
    struct stat info {};
    const bool exists = !error;
    if (!exists && error != std::errc::no_such_file_or_directory) {
        return FailedWithErrno(error.value());
    }
    if (exists) {
        if (stat(target.c_str(), &info) != 0) {
            return FailedWithErrno(errno);
        }
        if (!S_ISREG(info.st_mode)) {
            return FailedWithErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        }
        if (ReadOnly(target, info)) {
            return Refused(kReadOnlyReason);
        }
        const FileBytes read = ReadFileBytes(target, kProfileMaxFileBytes);
        if (read.status == FileBytes::Status::kTooLarge) {
            return Refused(kTooLargeReason);
        }
        if (read.status != FileBytes::Status::kRead) {
            return Refused(kUnreadableReason);
        }
        content.assign(read.bytes.begin(), read.bytes.end());
    }
    for (const ProfileEntry& entry : entries) {
        auto edited = Edit(content, section, entry.key, entry.value);
        if (const auto* reason = std::get_if<std::string_view>(&edited)) {
            return Refused(*reason);
        }
        content = std::move(std::get<std::string>(edited));
    }
    bool written = false;
    if (!exists) {
        written = ReplaceFile(file, content, std::nullopt);
    } else if (ReplaceKeepsTheFile(target, info)) {
        written = ReplaceFile(target, content, info.st_mode & 07777, info.st_gid);
    } else {
        written = RewriteFileInPlace(target, content);
    }
    return written ? WriteOutcome{true, {}} : FailedWithErrno(errno);
}

WriteOutcome WriteProfileString(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, std::string_view value) {
    const ProfileEntry entry{key, value};
    return WriteProfileStrings(file, section, std::span(&entry, 1));
}

}  // namespace velmora
