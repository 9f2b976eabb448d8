#include "saver/settings.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/ascii_text.h"
#include "saver/paths.h"

namespace velmora {
namespace {

constexpr std::string_view kIniFileName = "ヴェルモラ.ini";
// The user's own settings folder under $XDG_CONFIG_HOME: ASCII, like the command.
constexpr std::string_view kOwnFolderName = "velmora";
constexpr auto kOwnFolderMode = std::filesystem::perms::owner_all;
constexpr std::size_t kValueBufferSize = 256;
constexpr std::size_t kNameBufferSize = 128;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<std::int16_t> ToInt16(double value) {
    if (!(value >= std::numeric_limits<std::int16_t>::min() &&
          value <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

// A stored number: its floor, when that fits 16 bits.
std::optional<std::int16_t> IniNumber(std::string_view text) {
    const auto number = ParseDecimalNumber(text);
    return number ? ToInt16(std::floor(*number)) : std::nullopt;
}

void LoadNumber(std::int16_t& variable, std::string_view key, const std::string& ini_file) {
    const std::string text = ReadIniValue(kIniSection, key, ini_file);
    if (text.empty()) {
        variable = 0;
    } else if (const auto number = IniNumber(text)) {
        variable = *number;
    }
}

}  // namespace

std::string IniPath(std::string_view program_folder) {
    return std::string(program_folder) + "/" + std::string(kIniFileName);
}

SettingsFiles SettingsFilesFor(std::string_view program_folder,
                               const std::filesystem::path& config_home) {
    return {IniPath(program_folder), (config_home / kOwnFolderName / kIniFileName).string()};
}

bool SettingsFiles::OwnExists() const {
    std::error_code error;
    return std::filesystem::exists(own, error);
}

std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file) {
    std::string value = ReadProfileString(file, section, key, "", kValueBufferSize);
    if (const auto nul = value.find('\0'); nul != std::string::npos) {
        value.resize(nul);
    }
    return value;
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& file) {
    WriteProfileString(file, section.substr(0, kNameBufferSize - 1),
                       key.substr(0, kNameBufferSize - 1), value);
}

std::optional<double> ParseDecimalNumber(std::string_view text) {
    text = TrimAsciiBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Check the shape first: from_chars would also take "inf", "nan" and hexadecimal floats.
    std::size_t i = 0, digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponent_start = i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
        }
        if (i == exponent_start) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string FormatIniNumber(std::int16_t value) {
    return (value < 0 ? "" : " ") + std::to_string(value);
}

void LoadSettings(Settings& settings, const std::string& ini_file,
                  const std::string& program_folder) {
    LoadNumber(settings.BGM_Kind, kKindKey, ini_file);
    LoadNumber(settings.BGM_RepeatTrack, kRepeatTrackKey, ini_file);
    settings.BGM_File = ReadIniValue(kIniSection, kFileKey, ini_file);
    if (!settings.BGM_File.empty() && !FileExists(settings.BGM_File)) {
        settings.BGM_File.clear();
    }
    if (settings.BGM_File.empty() && settings.BGM_Kind == 2) {
        settings.BGM_Kind = 0;
    }
    settings.BGM_Folder =
        settings.BGM_File.empty() ? program_folder : FolderOfPath(settings.BGM_File);
}

std::int16_t RepeatTrackFromText(std::string_view text) {
    const auto number = ParseDecimalNumber(text);
    if (!number) {
        return 0;
    }
    return ToInt16(std::nearbyint(*number)).value_or(0);
}

WriteOutcome SaveSettings(Settings& settings, std::string_view repeat_track_text,
                          const std::string& ini_file) {
    const std::string kind = FormatIniNumber(settings.BGM_Kind);
    settings.BGM_RepeatTrack = RepeatTrackFromText(repeat_track_text);
    const std::string repeat_track = FormatIniNumber(settings.BGM_RepeatTrack);
    const ProfileEntry entries[] = {
        {kKindKey, kind}, {kRepeatTrackKey, repeat_track}, {kFileKey, settings.BGM_File}};
    return WriteProfileStrings(ini_file, kIniSection, entries);
}

SettingsSaved SaveSettings(Settings& settings, std::string_view repeat_track_text,
                           const SettingsFiles& files) {
    if (!files.OwnExists()) {
        SettingsSaved saved{SaveSettings(settings, repeat_track_text, files.shared), files.shared};
        if (saved.outcome.written) {
            return saved;
        }
    }
    const std::filesystem::path own_folder = std::filesystem::path(files.own).parent_path();
    std::error_code error;
    if (std::filesystem::create_directories(own_folder, error)) {
        std::filesystem::permissions(own_folder, kOwnFolderMode, error);
    }
    return {SaveSettings(settings, repeat_track_text, files.own), files.own};
}

}  // namespace velmora
