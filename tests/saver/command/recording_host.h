#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "saver/command/command.h"

namespace velmora::test {

// Stands in for the widget: records what the button asks of its window.
class RecordingHost : public CommandHost {
  public:
    void NotifyPropertyChanged(std::string_view name) override { notified.emplace_back(name); }
    void RefreshImage() override { ++refreshes; }
    void CaptionChanged() override {}
    void StartHoverPoll(std::chrono::milliseconds interval) override { poll_interval = interval; }
    void RaiseClick() override {
        ++clicks;
        face_at_click = command != nullptr ? command->shown_face() : std::nullopt;
    }

    // Forgets what happened so far.
    void Clear() {
        notified.clear();
        refreshes = 0;
        clicks = 0;
        face_at_click.reset();
    }

    const Command* command = nullptr;
    std::vector<std::string> notified;
    int refreshes = 0;
    int clicks = 0;
    std::optional<Face> face_at_click;
    std::optional<std::chrono::milliseconds> poll_interval;
};

// A button as a form loads it: every stored value at its default, the design font around it,
// 81 x 25 pixels, and (unless told otherwise) initialised.
struct LoadedCommand {
    explicit LoadedCommand(bool initialize = true, int width = 81, int height = 25) {
        host.command = &command;
        command.ReadProperties({}, DesignFontDescription());
        command.Resize(width, height);
        if (initialize) {
            command.Initialize();
        }
        host.Clear();
    }

    RecordingHost host;
    Command command{host};
};

}  // namespace velmora::test
