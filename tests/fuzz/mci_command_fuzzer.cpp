// Feeds command strings, one a line, to the media-command layer with a CD device over a disc in
// memory. The first byte of the input sets the reply buffer's length.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "saver/host/mci/cd_audio_device.h"
#include "saver/host/mci/mci_errors.h"
#include "saver/host/mci/mci_layer.h"

namespace {

using namespace velmora;

class SilentDrive final : public CdDrive {
  public:
    const std::optional<CdToc>& Toc() const override { return toc_; }
    bool ReadAudio(std::int32_t, std::span<std::uint8_t> bytes) override {
        std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
        return true;
    }
    bool DiscChanged() override { return false; }

  private:
    std::optional<CdToc> toc_ = CdToc{{{1, 0, false}, {2, 150, true}, {3, 4000, true}}, 9000};
};

class IdleOutput final : public PcmOutput {
  public:
    bool Start() override { return true; }
    void Attach(PcmSource&) override {}
    void Detach(PcmSource&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    IdleOutput output;
    MciDeviceMakers makers;
    makers.cd_audio = [&output](const std::string&) {
        return MciOpening{0,
                          std::make_unique<CdAudioDevice>(std::make_unique<SilentDrive>(), output)};
    };
    makers.mpeg_video = [](const std::string&) {
        return MciOpening{mci_error::kFileNotFound, nullptr};
    };
    MciLayer layer(std::move(makers));
    std::vector<char> reply(data[0] % 64);
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t start = 0;
    while (start <= input.size()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::int32_t code = layer.SendString(input.substr(start, end - start), reply);
        std::vector<char> text(data[0] % 32);
        layer.GetErrorString(code, text);
        start = end + 1;
    }
    return 0;
}
