#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "saver/host/font_description.h"

namespace velmora {

// A stored property: numbers and flags are kept as text, as a form file writes them.
using PropertyValue = std::variant<std::string, FontDescription>;

// The named values a form keeps for one of its controls. A control reads each with a default
// and writes each with its default; a value equal to its default is not kept.
class PropertyStore {
  public:
    PropertyStore() = default;
    PropertyStore(std::initializer_list<std::pair<const std::string, PropertyValue>> values)
        : values_(values) {}

    PropertyValue Read(const std::string& name, const PropertyValue& default_value) const;
    void Write(const std::string& name, const PropertyValue& value,
               const PropertyValue& default_value);

    bool Contains(const std::string& name) const { return values_.contains(name); }
    std::size_t size() const noexcept { return values_.size(); }

  private:
    std::map<std::string, PropertyValue> values_;
};

// Conversions of a stored value; empty when the value does not convert.
std::optional<bool> AsBoolean(const PropertyValue& value);
std::optional<std::string> AsText(const PropertyValue& value);
std::optional<FontDescription> AsFont(const PropertyValue& value);
std::optional<std::uint8_t> AsUnsigned8(const PropertyValue& value);
std::optional<std::int16_t> AsSigned16(const PropertyValue& value);
std::optional<std::uint32_t> AsUnsigned32(const PropertyValue& value);

}  // namespace velmora
