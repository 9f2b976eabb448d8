#include "renderer/main_loop.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace velmora {
namespace {

using Kind = LoopEvent::Kind;

// Hands the loop the events of one batch per pass and records what the loop does.
class ScriptedHost : public FrameHost {
  public:
    explicit ScriptedHost(std::vector<std::deque<LoopEvent>> passes) : passes_(std::move(passes)) {}

    std::optional<LoopEvent> NextEvent() override {
        if (pass_ >= passes_.size()) {
            // A loop that should have ended keeps running: stop it, and let the log show it.
            log.push_back("run on");
            return LoopEvent{Kind::kCloseRequest};
        }
        auto& waiting = passes_[pass_];
        if (waiting.empty()) {
            return std::nullopt;
        }
        const LoopEvent event = waiting.front();
        waiting.pop_front();
        return event;
    }
    void view_resize(int width, int height) override {
        log.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    bool frame_draw() override {
        log.push_back("draw");
        return true;
    }
    void SwapBuffers() override {
        log.push_back("swap");
        ++pass_;
    }

    std::vector<std::string> log;

  private:
    std::vector<std::deque<LoopEvent>> passes_;
    std::size_t pass_ = 0;
};

std::vector<std::string> LoopLog(std::vector<std::deque<LoopEvent>> passes) {
    ScriptedHost host(std::move(passes));
    RunMainLoop(host);
    return host.log;
}

const LoopEvent kEscapeDown{Kind::kKeyDown, kEscapeKey};
const LoopEvent kEscapeUp{Kind::kKeyUp, kEscapeKey};
const LoopEvent kClose{Kind::kCloseRequest};

using Log = std::vector<std::string>;

TEST(MainLoop, EscapeEndsAfterTheNextFrameIsDrawnWithoutSwappingIt) {
    EXPECT_EQ(LoopLog({{}, {kEscapeDown}}), (Log{"draw", "swap", "draw"}));
}

TEST(MainLoop, EscapeTappedWithinOneBatchStillEnds) {
    EXPECT_EQ(LoopLog({{}, {kEscapeDown, kEscapeUp}}), (Log{"draw", "swap", "draw"}));
}

TEST(MainLoop, CloseRequestEndsAtOnceWithoutAnotherFrame) {
    EXPECT_EQ(LoopLog({{}, {kClose}}), (Log{"draw", "swap"}));
}

TEST(MainLoop, EveryPendingEventIsHandledBeforeTheFrame) {
    const LoopEvent resize{Kind::kResized, 0, 800, 600};
    const LoopEvent other_key{Kind::kKeyDown, 4};
    EXPECT_EQ(LoopLog({{other_key, resize, {Kind::kKeyUp, 4}, {}}, {kClose}}),
              (Log{"resize 800x600", "draw", "swap"}));
}

TEST(MainLoop, MinimisedWindowSwapsWithoutDrawing) {
    EXPECT_EQ(LoopLog({{{Kind::kMinimised}}, {}, {{Kind::kRestored}}, {kClose}}),
              (Log{"swap", "swap", "draw", "swap"}));
}

TEST(MainLoop, EscapeEndsAMinimisedWindowToo) {
    EXPECT_EQ(LoopLog({{{Kind::kMinimised}}, {kEscapeDown}}), (Log{"swap"}));
}

TEST(MainLoop, KeysOtherThanEscapeChangeNothing) {
    EXPECT_EQ(LoopLog({{{Kind::kKeyDown, 40}}, {{Kind::kKeyDown, 44}, {Kind::kOther}}, {kClose}}),
              (Log{"draw", "swap", "draw", "swap"}));
}

}  // namespace
}  // namespace velmora
