#include "saver/host/cp932.h"

#include <iconv.h>

namespace velmora {
namespace {

class Converter {
  public:
    Converter() : handle_(iconv_open("UTF-8", "CP932")) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (valid()) {
            iconv_close(handle_);
        }
    }
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

  private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view text) {
    const Converter converter;
    if (!converter.valid()) {
        return std::nullopt;
    }
    // One CP932 byte never becomes more than three UTF-8 bytes.
    std::string output(text.size() * 3, '\0');
    std::string input(text);
    char* in = input.data();
    std::size_t in_left = input.size();
    char* out = output.data();
    std::size_t out_left = output.size();
    if (iconv(converter.get(), &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) ||
        in_left != 0) {
        return std::nullopt;
    }
    output.resize(output.size() - out_left);
    return output;
}

}  // namespace velmora
