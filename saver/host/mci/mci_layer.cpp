#include "saver/host/mci/mci_layer.h"

#include <algorithm>
#include <utility>

#include "common/ascii_text.h"
#include "saver/host/mci/mci_errors.h"

namespace velmora {
namespace {

constexpr std::string_view kCdAudioType = "cdaudio";
constexpr std::string_view kMpegVideoType = "mpegvideo";
// A file opened without a type is taken for a music file by this extension.
constexpr std::string_view kMpegVideoExtension = "mp3";

void CopyCut(std::string_view text, std::span<char> out) {
    if (out.empty()) {
        return;
    }
    const std::size_t length = std::min(text.size(), out.size() - 1);
    std::copy_n(text.begin(), length, out.begin());
    out[length] = '\0';
}

// The result of a command that failed or has no reply.
MciResult CodeOnly(std::int32_t code) {
    return {code, {}};
}

// Words that may stand anywhere after the device name and ask for nothing here.
bool IsIgnoredFlag(std::string_view word) {
    return SameAsciiWord(word, "wait") || SameAsciiWord(word, "notify");
}

// The value after a keyword that may be given once.
std::int32_t TakeValueOnce(MciArguments& arguments, std::optional<std::string>& value) {
    if (value) {
        return mci_error::kDuplicateFlags;
    }
    value = arguments.TakeValue();
    return value ? 0 : mci_error::kMissingParameter;
}

// "from" and "to", each at most once, in either order.
std::int32_t RunPlay(MciDevice& device, MciArguments arguments) {
    std::optional<std::string> from;
    std::optional<std::string> to;
    while (!arguments.empty()) {
        std::optional<std::string>* bound = arguments.Take({"from"}) ? &from
                                            : arguments.Take({"to"}) ? &to
                                                                     : nullptr;
        if (bound == nullptr) {
            return mci_error::kUnrecognizedKeyword;
        }
        if (const std::int32_t code = TakeValueOnce(arguments, *bound); code != 0) {
            return code;
        }
    }
    return device.Play(from, to);
}

MciResult RunStatus(MciDevice& device, MciArguments arguments) {
    if (arguments.empty()) {
        return CodeOnly(mci_error::kMissingParameter);
    }
    MciStatusQuery query;
    bool takes_track = false;
    if (arguments.Take({"mode"})) {
        query.item = MciStatusItem::kMode;
    } else if (arguments.Take({"position"})) {
        query.item = MciStatusItem::kPosition;
        takes_track = true;
    } else if (arguments.Take({"length"})) {
        query.item = MciStatusItem::kLength;
        takes_track = true;
    } else if (arguments.Take({"current", "track"})) {
        query.item = MciStatusItem::kCurrentTrack;
    } else if (arguments.Take({"number", "of", "tracks"})) {
        query.item = MciStatusItem::kNumberOfTracks;
    } else if (arguments.Take({"media", "present"})) {
        query.item = MciStatusItem::kMediaPresent;
    } else if (arguments.Take({"ready"})) {
        query.item = MciStatusItem::kReady;
    } else if (arguments.Take({"time", "format"})) {
        query.item = MciStatusItem::kTimeFormat;
    } else {
        return CodeOnly(mci_error::kUnrecognizedKeyword);
    }
    if (takes_track && arguments.Take({"track"})) {
        const auto number = arguments.TakeValue();
        if (!number) {
            return CodeOnly(mci_error::kMissingParameter);
        }
        query.track = ParseMciInteger(*number);
        if (!query.track) {
            return CodeOnly(mci_error::kBadInteger);
        }
    }
    if (!arguments.empty()) {
        return CodeOnly(mci_error::kUnrecognizedKeyword);
    }
    return device.Status(query);
}

std::int32_t RunSet(MciDevice& device, MciArguments arguments) {
    if (arguments.empty()) {
        return mci_error::kMissingParameter;
    }
    if (!arguments.Take({"time", "format"})) {
        return mci_error::kUnrecognizedKeyword;
    }
    const auto name = arguments.TakeValue();
    if (!name) {
        return mci_error::kMissingParameter;
    }
    MciTimeFormat format = MciTimeFormat::kMilliseconds;
    if (SameAsciiWord(*name, "milliseconds") || SameAsciiWord(*name, "ms")) {
        format = MciTimeFormat::kMilliseconds;
    } else if (SameAsciiWord(*name, "msf")) {
        format = MciTimeFormat::kMsf;
    } else if (SameAsciiWord(*name, "tmsf")) {
        format = MciTimeFormat::kTmsf;
    } else {
        return mci_error::kBadTimeFormat;
    }
    if (!arguments.empty()) {
        return mci_error::kUnrecognizedKeyword;
    }
    return device.SetTimeFormat(format);
}

std::string_view ExtensionOf(std::string_view name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos) {
        return {};
    }
    return name.substr(dot + 1);
}

}  // namespace

MciLayer::MciLayer(MciDeviceMakers makers) : makers_(std::move(makers)) {}

MciLayer::~MciLayer() = default;

std::int32_t MciLayer::SendString(std::string_view command, std::span<char> reply) {
    const MciResult result = Run(command);
    CopyCut(result.code == 0 ? std::string_view(result.reply) : std::string_view(), reply);
    return result.code;
}

bool MciLayer::GetErrorString(std::int32_t code, std::span<char> text) {
    const auto known = mci_error::Text(code);
    CopyCut(known.value_or(std::string_view()), text);
    return known.has_value() && !text.empty();
}

std::vector<MciLayer::NamedDevice>::iterator MciLayer::Find(std::string_view name) {
    return std::find_if(devices_.begin(), devices_.end(), [name](const NamedDevice& named) {
        return SameAsciiWord(named.name, name);
    });
}

MciResult MciLayer::Run(std::string_view command) {
    MciWords split = SplitMciCommand(command);
    if (split.code != 0) {
        return CodeOnly(split.code);
    }
    if (split.words.empty()) {
        return CodeOnly(mci_error::kMissingCommandString);
    }
    std::vector<std::string> words;
    for (std::size_t i = 0; i < split.words.size(); ++i) {
        if (i < 2 || !IsIgnoredFlag(split.words[i])) {
            words.push_back(std::move(split.words[i]));
        }
    }
    const std::string verb = LowerAscii(words[0]);
    constexpr std::string_view kVerbs[] = {"open",  "close",  "play",   "stop",
                                           "pause", "resume", "status", "set"};
    if (std::find(std::begin(kVerbs), std::end(kVerbs), verb) == std::end(kVerbs)) {
        return CodeOnly(mci_error::kUnrecognizedCommand);
    }
    if (words.size() < 2) {
        return CodeOnly(mci_error::kMissingDeviceName);
    }
    const MciArguments arguments(std::span<const std::string>(words).subspan(2));
    if (verb == "open") {
        return Open(words[1], arguments);
    }
    const auto found = Find(words[1]);
    if (found == devices_.end()) {
        return CodeOnly(mci_error::kInvalidDeviceName);
    }
    MciDevice& device = *found->device;
    if (verb == "status") {
        return RunStatus(device, arguments);
    }
    if (verb == "play") {
        return CodeOnly(RunPlay(device, arguments));
    }
    if (verb == "set") {
        return CodeOnly(RunSet(device, arguments));
    }
    if (!arguments.empty()) {
        return CodeOnly(mci_error::kUnrecognizedKeyword);
    }
    if (verb == "close") {
        devices_.erase(found);
        return {};
    }
    if (verb == "stop") {
        return CodeOnly(device.Stop());
    }
    if (verb == "pause") {
        return CodeOnly(device.Pause());
    }
    return CodeOnly(device.Resume());
}

MciResult MciLayer::Open(const std::string& name, MciArguments arguments) {
    std::optional<std::string> type;
    std::optional<std::string> alias;
    while (!arguments.empty()) {
        if (arguments.Take({"shareable"})) {
            continue;
        }
        std::optional<std::string>* value = arguments.Take({"type"})    ? &type
                                            : arguments.Take({"alias"}) ? &alias
                                                                        : nullptr;
        if (value == nullptr) {
            return CodeOnly(mci_error::kUnrecognizedKeyword);
        }
        if (const std::int32_t code = TakeValueOnce(arguments, *value); code != 0) {
            return CodeOnly(code);
        }
        if ((*value)->empty()) {
            return CodeOnly(mci_error::kMissingParameter);
        }
    }

    bool cd_audio = false;
    std::string element;
    if (type) {
        if (SameAsciiWord(*type, kCdAudioType)) {
            cd_audio = true;
            element = SameAsciiWord(name, kCdAudioType) ? std::string() : name;
        } else if (SameAsciiWord(*type, kMpegVideoType)) {
            element = name;
        } else {
            return CodeOnly(mci_error::kInvalidDeviceName);
        }
    } else if (SameAsciiWord(name, kCdAudioType)) {
        cd_audio = true;
    } else if (const std::string_view extension = ExtensionOf(name); extension.empty()) {
        return CodeOnly(mci_error::kInvalidDeviceName);
    } else if (SameAsciiWord(extension, kMpegVideoExtension)) {
        element = name;
    } else {
        return CodeOnly(mci_error::kExtensionNotFound);
    }

    const std::string& device_name = alias ? *alias : name;
    if (Find(device_name) != devices_.end()) {
        return CodeOnly(alias ? mci_error::kDuplicateAlias : mci_error::kDeviceOpen);
    }
    MciOpening opening = cd_audio ? makers_.cd_audio(element) : makers_.mpeg_video(element);
    if (opening.code != 0) {
        return CodeOnly(opening.code);
    }
    devices_.push_back({device_name, std::move(opening.device)});
    return {};
}

}  // namespace velmora
