#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/renderer_window.h"
#include "saver/bgm/velmora_bgm.h"
#include "saver/pictures.h"
#include "saver/settings.h"

namespace velmora {

// The session's three timers: file-music keep-alive, CD step, renderer watch.
enum class SessionTimer { kTimer1, kTimer2, kTimer3 };
inline constexpr int kTimer1Milliseconds = 1000;
inline constexpr int kTimer2Milliseconds = 200;
inline constexpr int kTimer3Milliseconds = 500;

// What the session needs from the platform; the session form provides the real ones.
class SessionHost {
  public:
    virtual ~SessionHost() = default;
    // The primary screen as it is now, turned left to right, as the bytes of a 24-bit bitmap
    // file; nothing when it cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> CaptureDesktopPicture() = 0;
    // Writes a picture file into the picture folder; false when it could not be written.
    virtual bool SavePicture(std::string_view file_name, const std::vector<std::uint8_t>& bmp) = 0;
    // Starts the program with no arguments as a child of the session, without waiting for it;
    // its end is reported through Velmora_S::RendererExited.
    virtual void StartRenderer(const std::string& path) = 0;
    // Asks the renderer, if it still runs, to end, and returns once it has gone.
    virtual void EndRenderer() = 0;
    virtual bool WindowTitledExists(std::string_view title) = 0;
    virtual void SetTimerEnabled(SessionTimer timer, bool enabled) = 0;
    virtual void ShowCursor() = 0;
    // Ends the program at once; no further session event runs.
    virtual void EndProgram() = 0;
};

// The hidden saver session: photographs the desktop, starts the renderer and the music, keeps
// the music going and ends with the renderer's window.
class Velmora_S {
  public:
    // The renderer shows its window soon after it starts; a session whose renderer has shown
    // none within this many watch ticks (5 s) gives up and ends it.
    static constexpr int kRendererStartTicks = 10;

    Velmora_S(SessionHost& host, Velmora_BGM& music, const Settings& settings,
              std::string mode_letter, std::string program_folder);

    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    // The renderer process has ended (or could not start): so does the session, at once.
    void RendererExited();
    // The end of the session, however it comes: ends the renderer if it still runs, stops the
    // music, gives the cursor back (mode "S") and ends the program. Runs once.
    void Form_QueryUnload();

    bool TimerEnabled(SessionTimer timer) const;

  private:
    void SetTimer(SessionTimer timer, bool enabled);

    SessionHost& host_;
    Velmora_BGM& music_;
    const Settings& settings_;
    const std::string mode_letter_;
    const std::string program_folder_;
    bool timer_enabled_[3] = {false, false, true};  // the watch runs from the window's creation
    int watch_ticks_ = 0;
    bool renderer_seen_ = false;
    bool ended_ = false;
};

}  // namespace velmora
