#include "saver/ui/settings_choices.h"

#include <limits>

namespace velmora {
namespace {

std::int16_t Int16OrZero(int value) {
    return value >= std::numeric_limits<std::int16_t>::min() &&
                   value <= std::numeric_limits<std::int16_t>::max()
               ? static_cast<std::int16_t>(value)
               : std::int16_t{0};
}

}  // namespace

std::string FormatTrackNumber(int number) {
    return number == 0 ? std::string() : std::to_string(number);
}

std::vector<std::string> RepeatTrackEntries() {
    std::vector<std::string> entries;
    for (int track = 0; track <= kLastListedTrack; ++track) {
        entries.push_back(FormatTrackNumber(track));
    }
    return entries;
}

KindControls ControlsForKind(std::int16_t kind) {
    KindControls controls;
    if (kind >= 0 && kind <= 2) {
        controls.selected_mark = kind;
    }
    controls.repeat_enabled = kind == 1;
    controls.file_enabled = kind == 2;
    return controls;
}

WindowPosition DialogPosition(int screen_width, int screen_height, int window_width,
                              int window_height) {
    return {(screen_width - window_width) / 2, (screen_height - window_height) / 3};
}

ZoomPoint ZoomPointAt(int x, int y) {
    return {Int16OrZero(x), Int16OrZero(y)};
}

}  // namespace velmora
