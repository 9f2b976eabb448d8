#include "saver/bgm/velmora_bgm.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "common/ascii_text.h"

namespace velmora {
namespace {

// Buffer lengths, in characters, that the commands are sent with.
constexpr std::size_t kReplyLength = 512;
constexpr std::size_t kErrorTextLength = 256;
constexpr std::size_t kCdModeLength = 255;
constexpr std::size_t kMp3ModeLength = 30;

constexpr std::string_view kNoCommandText = "コマンド文字列が指定されていません";
constexpr std::string_view kNoErrorText = "Error (文字列が取れません)";
constexpr std::string_view kQueryErrorPrefix = "Error:";
constexpr std::int32_t kNoCommandCode = -1;

constexpr std::string_view kCdDevice = "cdaudio";
constexpr std::string_view kCdOpen = "open cdaudio";
constexpr std::string_view kCdTimeFormat = "set cdaudio time format tmsf";
constexpr std::string_view kCdStop = "stop cdaudio";
constexpr std::string_view kCdClose = "close cdaudio";
constexpr std::string_view kCdCurrentTrack = "status cdaudio current track";
constexpr std::string_view kCdNumberOfTracks = "status cdaudio number of tracks";
constexpr std::string_view kCdMode = "status cdaudio mode";
constexpr std::string_view kCdTrackPosition = "status cdaudio position track ";

constexpr std::string_view kMp3OpenTail = " type MPEGVideo Alias MP3Play";
constexpr std::string_view kMp3Play = "play MP3Play";
constexpr std::string_view kMp3Mode = "status MP3Play mode";
constexpr std::string_view kMp3Stop = "stop MP3Play";
constexpr std::string_view kMp3Rewind = "play MP3Play from 0";
constexpr std::string_view kMp3Close = "close MP3Play";

// Modes are compared on their first seven characters.
constexpr std::size_t kModeCompareLength = 7;
constexpr std::string_view kPlayingMode = "playing";
constexpr std::string_view kStoppedMode = "stopped";
// A failing query reads "Error:<code>", which this finds once upper-cased.
constexpr std::string_view kFailureMark = "ERR";

// A text returned in a buffer ends at its first NUL.
template <std::size_t N>
std::string TextOf(const std::array<char, N>& buffer) {
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    return std::string(buffer.begin(), end);
}

bool ModeIs(std::string_view mode, std::string_view expected) {
    return mode.substr(0, kModeCompareLength) == expected;
}

// A track number as the drive writes it; blanks around it are allowed.
std::optional<std::int16_t> ReadTrackNumber(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

MusicFileType MusicFileTypeOf(std::string_view file) {
    constexpr std::size_t kTypeLength = 3;
    const std::string type =
        UpperAscii(file.substr(file.size() - std::min(file.size(), kTypeLength)));
    if (type == "MP3") {
        return MusicFileType::kMp3;
    }
    if (type == "WAV") {
        return MusicFileType::kWav;
    }
    return MusicFileType::kOther;
}

Velmora_BGM::Velmora_BGM(MediaCommands& commands, SoundPlayer& player, std::int32_t& LastResult)
    : commands_(commands), player_(player), last_result_(LastResult) {}

std::int32_t Velmora_BGM::SendWithoutReply(std::string_view command) {
    return commands_.SendString(command, {});
}

void Velmora_BGM::BGM_CDOpen() {
    last_result_ = SendWithoutReply(kCdOpen);
    last_result_ = SendWithoutReply(kCdTimeFormat);
}

void Velmora_BGM::BGM_CDWatch(std::int16_t BGM_RepeatTrack) {
    cd_active_ = true;
    const std::string current = BGM_Query(std::string(kCdCurrentTrack));
    if (UpperAscii(current).find(kFailureMark) != std::string::npos) {
        cd_active_ = false;
        return;
    }
    if (UpperAscii(BGM_Query(std::string(kCdNumberOfTracks))).find(kFailureMark) !=
        std::string::npos) {
        cd_active_ = false;
        return;
    }
    std::array<char, kCdModeLength> mode_buffer{};
    last_result_ = commands_.SendString(kCdMode, mode_buffer);
    const std::string mode = TextOf(mode_buffer);
    const bool stopped = ModeIs(mode, kStoppedMode);

    if (BGM_RepeatTrack == 0) {
        if (stopped) {
            BGM_PlayRange(std::string(kCdDevice), "", "");
        }
        return;
    }
    // The current track is read even when the drive has stopped, so a reply that is no number
    // ends the polling either way.
    const auto current_track = ReadTrackNumber(current);
    if (!current_track) {
        cd_active_ = false;
        return;
    }
    if (stopped || *current_track != BGM_RepeatTrack) {
        const std::string position =
            BGM_Query(std::string(kCdTrackPosition) + std::to_string(BGM_RepeatTrack));
        BGM_PlayRange(std::string(kCdDevice), position, "");
    }
}

void Velmora_BGM::BGM_CDClose() {
    last_result_ = SendWithoutReply(kCdStop);
    last_result_ = SendWithoutReply(kCdClose);
}

void Velmora_BGM::BGM_MP3Open(const std::string& BGM_File) {
    const std::string open = "open \"" + BGM_File + "\"" + std::string(kMp3OpenTail);
    if (SendWithoutReply(open) == 0) {
        SendWithoutReply(kMp3Play);
    }
}

bool Velmora_BGM::BGM_MP3IsPlaying() {
    std::array<char, kMp3ModeLength> mode_buffer{};
    commands_.SendString(kMp3Mode, mode_buffer);
    return ModeIs(TextOf(mode_buffer), kPlayingMode);
}

void Velmora_BGM::BGM_MP3Rewind() {
    if (!BGM_MP3IsPlaying()) {
        SendWithoutReply(kMp3Stop);
        SendWithoutReply(kMp3Rewind);
    }
}

void Velmora_BGM::BGM_MP3Close() {
    SendWithoutReply(kMp3Stop);
    SendWithoutReply(kMp3Close);
}

void Velmora_BGM::BGM_WAVPlay(const std::string& BGM_File) {
    if (player_.DeviceCount() > 0) {
        last_result_ = player_.Play(BGM_File, kSoundAsync | kSoundLoop) ? 1 : 0;
    }
}

void Velmora_BGM::BGM_WAVStop() {
    last_result_ = player_.Stop() ? 1 : 0;
}

std::int32_t Velmora_BGM::BGM_SendCommand(const std::string& command, std::string& text) {
    if (command.empty()) {
        text = kNoCommandText;
        return kNoCommandCode;
    }
    std::array<char, kReplyLength> reply{};
    last_result_ = commands_.SendString(command, reply);
    const std::int32_t code = last_result_;
    if (code != 0) {
        std::array<char, kErrorTextLength> error_text{};
        text = commands_.GetErrorString(code, error_text) ? TextOf(error_text)
                                                          : std::string(kNoErrorText);
        return code;
    }
    text = TextOf(reply);
    return 0;
}

std::string Velmora_BGM::BGM_Query(const std::string& command) {
    std::string text;
    const std::int32_t code = BGM_SendCommand(command, text);
    last_result_ = code;
    if (code != 0) {
        return std::string(kQueryErrorPrefix) + std::to_string(code);
    }
    return text;
}

std::int32_t Velmora_BGM::BGM_PlayRange(const std::string& device, const std::string& from,
                                        const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) {
        command += " from " + from;
    }
    if (!to.empty()) {
        command += " to " + to;
    }
    std::string text;
    return BGM_SendCommand(command, text);
}

}  // namespace velmora
