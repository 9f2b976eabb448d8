#include "saver/host/mci/cd_audio_device.h"

#include <algorithm>

#include "saver/host/mci/cd_time.h"
#include "saver/host/mci/mci_errors.h"

namespace velmora {
namespace {

struct SectorRun {
    std::int32_t first = 0;
    std::int32_t end = 0;
};

// The audio from `sector` on to the end of that stretch of audio tracks, passing over data
// tracks; nothing when no audio follows.
std::optional<SectorRun> AudioFrom(const CdToc& toc, std::int32_t sector) {
    const auto& tracks = toc.tracks;
    auto index = static_cast<std::size_t>(&toc.TrackAt(sector) - tracks.data());
    for (; index < tracks.size(); ++index) {
        const std::int32_t first = std::max(sector, tracks[index].start);
        if (!tracks[index].audio || first >= toc.EndOf(tracks[index])) {
            continue;
        }
        while (index + 1 < tracks.size() && tracks[index + 1].audio) {
            ++index;
        }
        return SectorRun{first, toc.EndOf(tracks[index])};
    }
    return std::nullopt;
}

std::int32_t StartOf(const std::optional<CdToc>& toc) {
    return toc ? toc->tracks.front().start : 0;
}

MciResult Reply(std::string_view text) {
    return {0, std::string(text)};
}

}  // namespace

CdAudioDevice::CdAudioDevice(std::unique_ptr<CdDrive> drive, PcmOutput& output)
    : output_(output), toc_(drive->Toc()), stream_(std::move(drive), StartOf(toc_)) {
    output_.Attach(stream_);
}

CdAudioDevice::~CdAudioDevice() {
    output_.Detach(stream_);
}

const CdToc* CdAudioDevice::Disc() const {
    return toc_ && !stream_.DiscGone() ? &*toc_ : nullptr;
}

std::int32_t CdAudioDevice::Play(const std::optional<std::string>& from,
                                 const std::optional<std::string>& to) {
    const CdToc* toc = Disc();
    if (toc == nullptr) {
        return mci_error::kDeviceNotReady;
    }
    std::int32_t start = stream_.Position();
    if (from) {
        const CdPositionReading reading = ParseCdPosition(*toc, *from, format_);
        if (reading.code != 0) {
            return reading.code;
        }
        start = reading.sector;
    }
    std::int32_t end = toc->leadout;
    if (to) {
        const CdPositionReading reading = ParseCdPosition(*toc, *to, format_);
        if (reading.code != 0) {
            return reading.code;
        }
        end = reading.sector;
    }
    auto run = AudioFrom(*toc, start);
    if (!run && !from) {
        run = AudioFrom(*toc, toc->tracks.front().start);
    }
    if (!run || end <= run->first) {
        return mci_error::kOutOfRange;
    }
    stream_.Play(run->first, std::min(run->end, end));
    return 0;
}

std::int32_t CdAudioDevice::Stop() {
    stream_.Stop();
    return 0;
}

std::int32_t CdAudioDevice::Pause() {
    if (Disc() == nullptr) {
        return mci_error::kDeviceNotReady;
    }
    stream_.Pause();
    return 0;
}

std::int32_t CdAudioDevice::Resume() {
    if (Disc() == nullptr) {
        return mci_error::kDeviceNotReady;
    }
    stream_.Resume();
    return 0;
}

MciResult CdAudioDevice::Status(const MciStatusQuery& query) {
    const CdToc* toc = Disc();
    switch (query.item) {
        case MciStatusItem::kTimeFormat:
            return Reply(TimeFormatName(format_));
        case MciStatusItem::kMediaPresent:
        case MciStatusItem::kReady:
            return Reply(toc != nullptr ? kReplyTrue : kReplyFalse);
        case MciStatusItem::kMode:
            if (toc == nullptr) {
                return Reply(kModeNotReady);
            }
            if (!stream_.Playing()) {
                return Reply(kModeStopped);
            }
            return Reply(stream_.Paused() ? kModePaused : kModePlaying);
        case MciStatusItem::kPosition:
        case MciStatusItem::kLength:
        case MciStatusItem::kCurrentTrack:
        case MciStatusItem::kNumberOfTracks:
            break;
    }
    if (toc == nullptr) {
        return {mci_error::kDeviceNotReady, {}};
    }
    if (query.item == MciStatusItem::kNumberOfTracks) {
        return Reply(std::to_string(toc->tracks.size()));
    }
    if (query.item == MciStatusItem::kCurrentTrack) {
        return Reply(std::to_string(toc->TrackAt(stream_.Position()).number));
    }
    const CdTrack* track = nullptr;
    if (query.track) {
        track = toc->FindTrack(*query.track);
        if (track == nullptr) {
            return {mci_error::kOutOfRange, {}};
        }
    }
    if (query.item == MciStatusItem::kPosition) {
        return Reply(FormatCdPosition(*toc, track ? track->start : stream_.Position(), format_));
    }
    const std::int32_t length =
        track ? toc->EndOf(*track) - track->start : toc->leadout - toc->tracks.front().start;
    return Reply(FormatCdLength(length, format_));
}

std::int32_t CdAudioDevice::SetTimeFormat(MciTimeFormat format) {
    format_ = format;
    return 0;
}

}  // namespace velmora
