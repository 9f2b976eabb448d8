#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "saver/bgm/media_commands.h"
#include "saver/bgm/sound_player.h"

namespace velmora {

struct Answer {
    std::int32_t code = 0;
    std::string reply;
};

// Records every command and sound-player call and answers from a script; a command without a
// scripted answer succeeds with an empty reply. A failed command writes nothing, as a device may
// not, so what the caller reads then is what its buffer held: every buffer must come blank.
class ScriptedMedia final : public MediaCommands, public SoundPlayer {
  public:
    ScriptedMedia() : sent(own_log_) {}
    // Records into a log that the test shares with other recorders, to see the order of both.
    explicit ScriptedMedia(std::vector<std::string>& log) : sent(log) {}

    std::map<std::string, Answer> answers;
    std::map<std::int32_t, std::string> error_texts;
    std::uint32_t devices = 1;
    bool play_succeeds = true;

    std::vector<std::string>& sent;
    std::vector<std::size_t> reply_lengths;
    std::vector<std::size_t> error_text_lengths;

    std::int32_t SendString(std::string_view command, std::span<char> reply) override {
        sent.emplace_back(command);
        reply_lengths.push_back(reply.size());
        ExpectBlank(reply, command);
        const auto found = answers.find(std::string(command));
        const Answer answer = found == answers.end() ? Answer{} : found->second;
        if (answer.code == 0) {
            Write(answer.reply, reply);
        }
        return answer.code;
    }

    bool GetErrorString(std::int32_t code, std::span<char> text) override {
        error_text_lengths.push_back(text.size());
        ExpectBlank(text, "the error text");
        const auto found = error_texts.find(code);
        if (found == error_texts.end()) {
            return false;
        }
        Write(found->second, text);
        return true;
    }

    std::uint32_t DeviceCount() override { return devices; }

    bool Play(const std::string& file, std::uint32_t flags) override {
        sent.push_back("PlaySound " + file + " flags " + std::to_string(flags));
        return play_succeeds;
    }

    bool Stop() override {
        sent.emplace_back("PlaySound stop");
        return true;
    }

  private:
    std::vector<std::string> own_log_;

    static void ExpectBlank(std::span<const char> buffer, std::string_view what) {
        EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == '\0'; }))
            << "the buffer for \"" << what << "\" came with text in it";
    }

    static void Write(const std::string& text, std::span<char> out) {
        if (out.empty()) {
            return;
        }
        const std::size_t length = std::min(text.size(), out.size() - 1);
        std::copy_n(text.begin(), length, out.begin());
        out[length] = '\0';
    }
};

}  // namespace velmora
