#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "saver/bgm/media_commands.h"
#include "saver/host/mci/mci_device.h"
#include "saver/host/mci/mci_words.h"

namespace velmora {

// How the layer opens its two device types.
struct MciDeviceMakers {
    // The CD on `source`: a drive or a disc image; empty for the default drive.
    std::function<MciOpening(const std::string& source)> cd_audio;
    // The MPEGVideo device on a music file.
    std::function<MciOpening(const std::string& file)> mpeg_video;
};

// The media command strings: parses each command, keeps the open devices by name or alias and
// passes the command on. Understands open (type, alias, shareable), close, play (from, to), stop,
// pause, resume, status and set time format; "wait" and "notify" are accepted and change
// nothing, since every command completes before it returns.
class MciLayer final : public MediaCommands {
  public:
    explicit MciLayer(MciDeviceMakers makers);
    ~MciLayer() override;

    std::int32_t SendString(std::string_view command, std::span<char> reply) override;
    bool GetErrorString(std::int32_t code, std::span<char> text) override;

  private:
    struct NamedDevice {
        std::string name;
        std::unique_ptr<MciDevice> device;
    };

    MciResult Run(std::string_view command);
    MciResult Open(const std::string& name, MciArguments arguments);
    std::vector<NamedDevice>::iterator Find(std::string_view name);

    MciDeviceMakers makers_;
    std::vector<NamedDevice> devices_;
};

}  // namespace velmora
