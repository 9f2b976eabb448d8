#include "saver/host/mci/cd_disc.h"

namespace velmora {

const CdTrack& CdToc::TrackAt(std::int32_t sector) const {
    const CdTrack* holder = &tracks.front();
    for (const CdTrack& track : tracks) {
        if (track.start <= sector) {
            holder = &track;
        }
    }
    return *holder;
}

const CdTrack* CdToc::FindTrack(std::int32_t number) const {
    for (const CdTrack& track : tracks) {
        if (track.number == number) {
            return &track;
        }
    }
    return nullptr;
}

std::int32_t CdToc::EndOf(const CdTrack& track) const {
    const auto index = static_cast<std::size_t>(&track - tracks.data());
    return index + 1 < tracks.size() ? tracks[index + 1].start : leadout;
}

}  // namespace velmora
