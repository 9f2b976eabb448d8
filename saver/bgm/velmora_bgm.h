#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "saver/bgm/media_commands.h"
#include "saver/bgm/sound_player.h"

namespace velmora {

// What a music file is taken for: the last three characters of its name, upper-cased.
enum class MusicFileType { kOther, kMp3, kWav };
MusicFileType MusicFileTypeOf(std::string_view file);

// The background music of a saver session: an audio CD or an MP3 file through media command
// strings, a WAV file through the sound player. It has no timer of its own: the session calls
// BGM_CDWatch every 200 ms and BGM_MP3Rewind every second, and repeat is done by those polls.
// Every call runs on the session's one thread.
class Velmora_BGM {
  public:
    // `LastResult` is the program's variable that receives the results of system calls.
    Velmora_BGM(MediaCommands& commands, SoundPlayer& player, std::int32_t& LastResult);

    void BGM_CDOpen();
    // One poll of the CD: starts the disc (repeat track 0) or jumps back to the repeated track.
    void BGM_CDWatch(std::int16_t BGM_RepeatTrack);
    void BGM_CDClose();
    // Set at the start of every poll and cleared when a poll fails; once it is false the
    // session stops polling.
    bool BGM_CDActive() const noexcept { return cd_active_; }

    void BGM_MP3Open(const std::string& BGM_File);
    bool BGM_MP3IsPlaying();
    // Starts the file again from its beginning once it no longer plays.
    void BGM_MP3Rewind();
    void BGM_MP3Close();

    void BGM_WAVPlay(const std::string& BGM_File);
    void BGM_WAVStop();

    // Sends a command that has a reply; `text` receives the reply or the error's text.
    std::int32_t BGM_SendCommand(const std::string& command, std::string& text);
    // The reply, or "Error:" and the code when the command failed.
    std::string BGM_Query(const std::string& command);
    std::int32_t BGM_PlayRange(const std::string& device, const std::string& from,
                               const std::string& to);

  private:
    // A command whose reply is not wanted; its result goes nowhere.
    std::int32_t SendWithoutReply(std::string_view command);

    MediaCommands& commands_;
    SoundPlayer& player_;
    std::int32_t& last_result_;
    bool cd_active_ = false;
};

}  // namespace velmora
