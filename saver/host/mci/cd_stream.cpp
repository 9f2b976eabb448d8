#include "saver/host/mci/cd_stream.h"

#include <algorithm>
#include <limits>

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

CdStream::CdStream(CdDrive& drive, std::int32_t position)
    : drive_(drive),
      buffer_(kBufferSectors * kCdSamplesPerSector),
      first_(position),
      end_(position),
      next_read_(position),
      reader_([this](const std::stop_token& stop) { Read(stop); }) {}

CdStream::~CdStream() = default;

void CdStream::Play(std::int32_t first, std::int32_t end) {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        first_ = first;
        end_ = std::max(first, end);
        next_read_ = first;
        frames_heard_ = 0;
        buffer_start_ = 0;
        buffer_count_ = 0;
        paused_ = false;
        playing_ = first_ < end_;
    }
    room_.notify_all();
}

void CdStream::Stop() {
    std::lock_guard lock(mutex_);
    ++generation_;
    playing_ = false;
    paused_ = false;
    buffer_count_ = 0;
}

void CdStream::Pause() {
    std::lock_guard lock(mutex_);
    paused_ = playing_;
}

void CdStream::Resume() {
    std::lock_guard lock(mutex_);
    paused_ = false;
}

bool CdStream::Playing() const {
    std::lock_guard lock(mutex_);
    return playing_;
}

bool CdStream::Paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

std::int32_t CdStream::Position() const {
    std::lock_guard lock(mutex_);
    const std::int64_t heard = frames_heard_ / static_cast<std::int64_t>(kCdFramesPerSector);
    return first_ + static_cast<std::int32_t>(std::min<std::int64_t>(heard, end_ - first_));
}

void CdStream::MixInto(std::span<std::int16_t> samples) noexcept {
    {
        std::lock_guard lock(mutex_);
        if (!playing_ || paused_) {
            return;
        }
        const std::size_t count = std::min(samples.size(), buffer_count_);
        for (std::size_t i = 0; i < count; ++i) {
            samples[i] = MixSample(samples[i], buffer_[(buffer_start_ + i) % buffer_.size()]);
        }
        buffer_start_ = (buffer_start_ + count) % buffer_.size();
        buffer_count_ -= count;
        frames_heard_ += static_cast<std::int64_t>(count / kOutputChannels);
        if (buffer_count_ == 0 && next_read_ == end_) {
            playing_ = false;
        }
    }
    room_.notify_one();
}

void CdStream::Read(const std::stop_token& stop) {
    std::vector<std::uint8_t> bytes(kReadSectors * kCdBytesPerSector);
    std::unique_lock lock(mutex_);
    while (room_.wait(lock, stop, [this] {
        return playing_ && next_read_ < end_ && buffer_.size() - buffer_count_ >= kReadSamples;
    })) {
        const std::int32_t sector = next_read_;
        const std::int32_t count = std::min(kReadSectors, end_ - next_read_);
        const std::uint64_t generation = generation_;
        const auto piece =
            std::span(bytes).first(static_cast<std::size_t>(count) * kCdBytesPerSector);
        lock.unlock();
        // A stretch the drive cannot read plays as silence, so the music keeps its time.
        if (!drive_.ReadAudio(sector, piece)) {
            std::fill(piece.begin(), piece.end(), std::uint8_t{0});
        }
        lock.lock();
        if (generation != generation_) {
            continue;
        }
        std::size_t at = (buffer_start_ + buffer_count_) % buffer_.size();
        for (std::size_t i = 0; i + 1 < piece.size(); i += 2) {
            buffer_[at] = static_cast<std::int16_t>(piece[i] | piece[i + 1] << 8);
            at = (at + 1) % buffer_.size();
        }
        buffer_count_ += piece.size() / 2;
        next_read_ += count;
    }
}

}  // namespace velmora
