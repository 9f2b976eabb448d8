#include "saver/host/cp932.h"

#include <iconv.h>

namespace velmora {
namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";
// One character never grows beyond three bytes either way (CP932 one byte to UTF-8 three,
// UTF-8 three bytes to CP932 two).
constexpr std::size_t kMaxGrowth = 3;

class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (valid()) {
            iconv_close(handle_);
        }
    }

    // The whole text converted, or nothing when any of it cannot be.
    std::optional<std::string> Convert(std::string_view text) const {
        if (!valid()) {
            return std::nullopt;
        }
        std::string output(text.size() * kMaxGrowth, '\0');
        std::string input(text);
        char* in = input.data();
        std::size_t in_left = input.size();
        char* out = output.data();
        std::size_t out_left = output.size();
        if (iconv(handle_, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) ||
            in_left != 0) {
            return std::nullopt;
        }
        output.resize(output.size() - out_left);
        return output;
    }

  private:
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    iconv_t handle_;
};

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view text) {
    return Converter(kUtf8, kCp932).Convert(text);
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
    auto encoded = Converter(kCp932, kUtf8).Convert(text);
    if (!encoded || Cp932ToUtf8(*encoded) != text) {
        return std::nullopt;
    }
    return encoded;
}

}  // namespace velmora
