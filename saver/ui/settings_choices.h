#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "saver/zoom.h"

namespace velmora {

// The "##" number format of the track chooser: the digits of the number, nothing for 0.
std::string FormatTrackNumber(int number);

// The entries of the track chooser: tracks 0 (shown empty, the whole disc) to 30.
inline constexpr int kLastListedTrack = 30;
std::vector<std::string> RepeatTrackEntries();

// What the music rows show for a kind: the radio mark drawn selected (none for a kind outside
// 0 to 2, as a hand-edited file may hold) and which of the kind's own controls take input.
struct KindControls {
    std::optional<int> selected_mark;
    bool repeat_enabled = false;  // the track chooser, for the music CD
    bool file_enabled = false;    // the file button, for an MP3 or WAV file
    bool operator==(const KindControls&) const = default;
};
KindControls ControlsForKind(std::int16_t kind);

struct WindowPosition {
    int left = 0, top = 0;
    bool operator==(const WindowPosition&) const = default;
};

// Centred across the screen and a third of the free height down.
WindowPosition DialogPosition(int screen_width, int screen_height, int window_width,
                              int window_height);

// The zoom point for a cursor position; a coordinate that does not fit 16 bits counts as 0, as
// when the position cannot be read.
ZoomPoint ZoomPointAt(int x, int y);

}  // namespace velmora
