#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "saver/host/private_profile.h"

namespace velmora {

// The saver's three settings, kept in an ini file beside the program, plus the folder where the
// settings dialog's file chooser opens.
struct Settings {
    std::int16_t BGM_Kind = 0;         // 0 none, 1 audio CD, 2 MP3 or WAV file
    std::int16_t BGM_RepeatTrack = 0;  // CD track to repeat, 0 for the whole disc
    std::string BGM_File;              // full path of the music file, or empty
    std::string BGM_Folder;            // the program folder, or the folder of BGM_File
};

// The key names are stored exactly so (ASCII, kanji and half-width katakana), or files that
// already exist are not found.
inline constexpr std::string_view kIniSection = "Section";
inline constexpr std::string_view kKindKey = "BGM区分";
inline constexpr std::string_view kRepeatTrackKey = "BGMﾘﾋﾟｰﾄ";
inline constexpr std::string_view kFileKey = "BGMﾌｧｲﾙ";

// program_folder + "/ヴェルモラ.ini"
std::string IniPath(std::string_view program_folder);

// The settings file beside the programs, and the user's own, for where that one cannot be
// written (a system-wide install): $XDG_CONFIG_HOME/velmora/ヴェルモラ.ini.
struct SettingsFiles {
    std::string shared;
    std::string own;
    // The user's own file once it exists, so that the user's choice wins over the shipped one.
    bool OwnExists() const;
    const std::string& ToRead() const { return OwnExists() ? own : shared; }
};

// config_home is $XDG_CONFIG_HOME or its stand-in.
SettingsFiles SettingsFilesFor(std::string_view program_folder,
                               const std::filesystem::path& config_home);

// The value of key as a 256-byte buffer receives it: at most 255 bytes as CP932 counts them,
// up to the first NUL; empty when the file, section or key is missing.
std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file);

// Writes one key; section and key go through 128-byte buffers, so longer names are cut to 127
// bytes. A failed write leaves the file as it was and is not reported.
void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& file);

// A decimal number with optional sign, fraction and exponent, blanks around it allowed; nothing
// for other text (hexadecimal included) or a value beyond the range of a double.
std::optional<double> ParseDecimalNumber(std::string_view text);

// How the numeric settings are written: a leading blank before a number that is not negative.
std::string FormatIniNumber(std::int16_t value);

// Fills settings from the ini file: numbers are floored and kept only when they fit 16 bits;
// a file setting that names no readable file is dropped, and kind 2 (file) then becomes 0.
void LoadSettings(Settings& settings, const std::string& ini_file,
                  const std::string& program_folder);

// The track number that the settings dialog's track text stands for: the number rounded to the
// nearest integer (ties to even); 0 for an empty text, a text that is not a number, or a number
// beyond 16 bits (no track can be that large).
std::int16_t RepeatTrackFromText(std::string_view text);

// What the settings dialog's 設定 button writes, in this order: kind, repeat track (taken from
// the dialog's track text, which also updates settings.BGM_RepeatTrack), file. All three keys
// are written, or none: the outcome says why not.
WriteOutcome SaveSettings(Settings& settings, std::string_view repeat_track_text,
                          const std::string& ini_file);

struct SettingsSaved {
    WriteOutcome outcome;
    std::string file;  // written, or where the last try failed
};

// The same into the file that is read: the user's own once it exists; else the shared one, and
// where that cannot be written, the user's own (its folder made).
SettingsSaved SaveSettings(Settings& settings, std::string_view repeat_track_text,
                           const SettingsFiles& files);

}  // namespace velmora
