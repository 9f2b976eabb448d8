#include "saver/host/mci/mci_errors.h"

#include <array>
#include <utility>

namespace velmora::mci_error {
namespace {

// The texts of these codes, in the words the system uses for them (two reworded slightly).
constexpr std::array<std::pair<std::int32_t, std::string_view>, 22> kTexts{{
    {0, "The specified command was carried out."},
    {kUnrecognizedKeyword, "The driver cannot recognize the specified command parameter."},
    {kUnrecognizedCommand, "The driver cannot recognize the specified command."},
    {kHardware,
     "There is a problem with your media device. Make sure it is working correctly or contact "
     "the device manufacturer."},
    {kInvalidDeviceName, "The specified device is not open or is not recognized by MCI."},
    {kDeviceOpen,
     "The device name is already being used as an alias by this application. Use a unique "
     "alias."},
    {kMissingCommandString, "No command was given."},
    {kBadInteger, "The specified integer is invalid for this command."},
    {kMissingParameter, "The specified command requires a parameter. Please supply one."},
    {kUnsupportedFunction, "The MCI device you are using does not support the specified command."},
    {kFileNotFound, "Cannot find the specified file. Make sure the path and filename are correct."},
    {kDeviceNotReady, "The device driver is not ready."},
    {kExtensionNotFound, "Cannot determine the device type from the given filename extension."},
    {kOutOfRange, "The specified parameter is out of range for the specified command."},
    {kDuplicateAlias,
     "The specified alias is already being used in this application. Use a unique alias."},
    {kMissingDeviceName,
     "The specified command requires an alias, file, driver, or device name. Please supply one."},
    {kBadTimeFormat,
     "The specified value for the time format is invalid. Refer to the MCI documentation for "
     "valid formats."},
    {kNoClosingQuote,
     "A closing double-quotation mark is missing from the parameter value. Please supply one."},
    {kDuplicateFlags, "A parameter or value was given twice. Only give it once."},
    {kInvalidFile,
     "The specified file cannot be played on the specified MCI device. The file may be corrupt, "
     "or not in the correct format."},
    {kExtraCharacters,
     "Cannot specify extra characters after a string enclosed in quotation marks."},
    {kDeviceNotInstalled,
     "The specified device is not installed on the system. Use the Drivers option in Control "
     "Panel to install the device."},
}};

}  // namespace

std::optional<std::string_view> Text(std::int32_t code) {
    for (const auto& [known, text] : kTexts) {
        if (known == code) {
            return text;
        }
    }
    return std::nullopt;
}

}  // namespace velmora::mci_error
