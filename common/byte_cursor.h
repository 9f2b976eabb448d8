#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora {

// Reads untrusted bytes (a file's whole content) from front to back. Every read is checked
// against the end: a read that does not fit yields zeros and sets a sticky failure flag, so a
// parser can read a whole header and test failed() once.
class ByteCursor {
  public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}

    std::size_t position() const noexcept { return position_; }
    std::size_t size() const noexcept { return bytes_.size(); }
    std::size_t remaining() const noexcept { return bytes_.size() - position_; }
    bool at_end() const noexcept { return position_ == bytes_.size(); }
    bool failed() const noexcept { return failed_; }

    // Moves to an absolute offset; an offset past the end fails and leaves the position.
    bool seek(std::size_t offset) noexcept {
        if (offset > bytes_.size()) {
            failed_ = true;
            return false;
        }
        position_ = offset;
        return true;
    }

    bool skip(std::size_t count) noexcept {
        if (count > remaining()) {
            failed_ = true;
            return false;
        }
        position_ += count;
        return true;
    }

    // The next count bytes, or an empty span (and failure) when fewer remain.
    std::span<const std::uint8_t> take(std::size_t count) noexcept {
        if (count > remaining()) {
            failed_ = true;
            return {};
        }
        auto piece = bytes_.subspan(position_, count);
        position_ += count;
        return piece;
    }

    // The bytes up to the next '\n' (not included; the '\n' is consumed), or to the end.
    std::span<const std::uint8_t> take_line() noexcept {
        std::size_t end = position_;
        while (end < bytes_.size() && bytes_[end] != '\n') {
            ++end;
        }
        auto line = bytes_.subspan(position_, end - position_);
        position_ = end < bytes_.size() ? end + 1 : end;
        return line;
    }

    std::uint8_t u8() noexcept { return static_cast<std::uint8_t>(little_endian(1)); }
    std::uint16_t u16() noexcept { return static_cast<std::uint16_t>(little_endian(2)); }
    std::uint32_t u32() noexcept { return static_cast<std::uint32_t>(little_endian(4)); }
    std::int16_t i16() noexcept { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() noexcept { return static_cast<std::int32_t>(u32()); }

  private:
    std::uint64_t little_endian(std::size_t width) noexcept {
        auto piece = take(width);
        std::uint64_t value = 0;
        for (std::size_t i = piece.size(); i > 0; --i) {
            value = (value << 8) | piece[i - 1];
        }
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace velmora
