#include "saver/host/mci/cd_stream.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <vector>

namespace velmora {
namespace {

// Two seconds of sound ahead of the output; each read takes a fifth of a second.
constexpr std::size_t kBufferSectors = 150;
constexpr std::int32_t kReadSectors = 15;
constexpr std::size_t kReadSamples = kReadSectors * kCdSamplesPerSector;

std::int16_t MixSample(std::int16_t a, std::int16_t b) {
    const int sum = a + b;
    return static_cast<std::int16_t>(std::clamp(sum, int{std::numeric_limits<std::int16_t>::min()},
                                                int{std::numeric_limits<std::int16_t>::max()}));
}

}  // namespace

struct CdStream::State {
    State(std::unique_ptr<CdDrive> drive_taken, std::int32_t position)
        : drive(std::move(drive_taken)),
          buffer(kBufferSectors * kCdSamplesPerSector),
          first(position),
          end(position),
          next_read(position) {}

    // Empties the buffer and drops any read in progress.
    void Restart() {
        ++generation;
        buffer_start = 0;
        buffer_count = 0;
    }

    const std::unique_ptr<CdDrive> drive;  // used by the reader alone
    std::mutex mutex;
    std::condition_variable room;      // the output has taken samples, or the work changed
    std::condition_variable ended;     // the reader has finished
    std::vector<std::int16_t> buffer;  // a ring of samples read but not yet heard
    std::size_t buffer_start = 0;
    std::size_t buffer_count = 0;
    std::int32_t first = 0;
    std::int32_t end = 0;
    std::int32_t next_read = 0;
    std::int64_t frames_heard = 0;
    bool playing = false;
    bool paused = false;
    bool disc_gone = false;
    bool closing = false;
    bool reader_ended = false;
    std::uint64_t generation = 0;  // counts plays and stops; a read begun before one is dropped
};

CdStream::CdStream(std::unique_ptr<CdDrive> drive, std::int32_t position)
    : state_(std::make_shared<State>(std::move(drive), position)), reader_(Read, state_) {}

CdStream::~CdStream() {
    std::unique_lock lock(state_->mutex);
    state_->closing = true;
    state_->room.notify_all();
    const bool ended =
        state_->ended.wait_for(lock, kCdCloseWait, [this] { return state_->reader_ended; });
    lock.unlock();
    if (ended) {
        reader_.join();
    } else {
        reader_.detach();
    }
}

void CdStream::Play(std::int32_t first, std::int32_t end) {
    {
        std::lock_guard lock(state_->mutex);
        State& s = *state_;
        s.Restart();
        s.first = first;
        s.end = std::max(first, end);
        s.next_read = first;
        s.frames_heard = 0;
        s.paused = false;
        s.playing = !s.disc_gone && s.first < s.end;
    }
    state_->room.notify_all();
}

void CdStream::Stop() {
    std::lock_guard lock(state_->mutex);
    state_->Restart();
    state_->playing = false;
    state_->paused = false;
}

void CdStream::Pause() {
    std::lock_guard lock(state_->mutex);
    state_->paused = state_->playing;
}

void CdStream::Resume() {
    std::lock_guard lock(state_->mutex);
    state_->paused = false;
}

bool CdStream::Playing() const {
    std::lock_guard lock(state_->mutex);
    return state_->playing;
}

bool CdStream::Paused() const {
    std::lock_guard lock(state_->mutex);
    return state_->paused;
}

std::int32_t CdStream::Position() const {
    std::lock_guard lock(state_->mutex);
    const State& s = *state_;
    const std::int64_t heard = s.frames_heard / static_cast<std::int64_t>(kCdFramesPerSector);
    return s.first + static_cast<std::int32_t>(std::min<std::int64_t>(heard, s.end - s.first));
}

bool CdStream::DiscGone() const {
    std::lock_guard lock(state_->mutex);
    return state_->disc_gone;
}

void CdStream::MixInto(std::span<std::int16_t> samples) noexcept {
    {
        std::lock_guard lock(state_->mutex);
        State& s = *state_;
        if (!s.playing || s.paused) {
            return;
        }
        const std::size_t count = std::min(samples.size(), s.buffer_count);
        for (std::size_t i = 0; i < count; ++i) {
            samples[i] = MixSample(samples[i], s.buffer[(s.buffer_start + i) % s.buffer.size()]);
        }
        s.buffer_start = (s.buffer_start + count) % s.buffer.size();
        s.buffer_count -= count;
        s.frames_heard += static_cast<std::int64_t>(count / kOutputChannels);
        if (s.buffer_count == 0 && s.next_read == s.end) {
            s.playing = false;
        }
    }
    state_->room.notify_one();
}

// Holds its own share of the state, so a read that outlasts the stream still has its drive and
// buffers, and the last one out frees them.
void CdStream::Read(std::shared_ptr<State> state) {
    State& s = *state;
    std::vector<std::uint8_t> bytes(kReadSectors * kCdBytesPerSector);
    std::unique_lock lock(s.mutex);
    while (true) {
        s.room.wait(lock, [&s] {
            return s.closing || (s.playing && s.next_read < s.end &&
                                 s.buffer.size() - s.buffer_count >= kReadSamples);
        });
        if (s.closing) {
            break;
        }
        const std::int32_t sector = s.next_read;
        const std::int32_t count = std::min(kReadSectors, s.end - s.next_read);
        const std::uint64_t generation = s.generation;
        const auto piece =
            std::span(bytes).first(static_cast<std::size_t>(count) * kCdBytesPerSector);
        lock.unlock();
        // A stretch the drive cannot read plays as silence, so the music keeps its time.
        if (!s.drive->ReadAudio(sector, piece)) {
            std::fill(piece.begin(), piece.end(), std::uint8_t{0});
        }
        const bool disc_gone = s.drive->DiscChanged();
        lock.lock();
        if (disc_gone) {
            s.disc_gone = true;
            s.playing = false;
            s.paused = false;
            s.Restart();
            continue;
        }
        if (generation != s.generation) {
            continue;
        }
        std::size_t at = (s.buffer_start + s.buffer_count) % s.buffer.size();
        for (std::size_t i = 0; i + 1 < piece.size(); i += 2) {
            s.buffer[at] = static_cast<std::int16_t>(piece[i] | piece[i + 1] << 8);
            at = (at + 1) % s.buffer.size();
        }
        s.buffer_count += piece.size() / 2;
        s.next_read += count;
    }
    s.reader_ended = true;
    s.ended.notify_all();
}

}  // namespace velmora
