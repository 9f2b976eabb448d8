#include "saver/command/property_store.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "common/ascii_text.h"

namespace velmora {
namespace {

// A whole decimal number that fits Number, or nothing.
template <typename Number>
std::optional<Number> AsInteger(const PropertyValue& value) {
    const std::string* text = std::get_if<std::string>(&value);
    if (text == nullptr) {
        return std::nullopt;
    }
    const std::string_view digits = TrimAsciiBlanks(*text);
    long long parsed = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (error != std::errc{} || end != digits.data() + digits.size() ||
        parsed < std::numeric_limits<Number>::min() ||
        parsed > std::numeric_limits<Number>::max()) {
        return std::nullopt;
    }
    return static_cast<Number>(parsed);
}

}  // namespace

PropertyValue PropertyStore::Read(const std::string& name,
                                  const PropertyValue& default_value) const {
    const auto found = values_.find(name);
    return found == values_.end() ? default_value : found->second;
}

void PropertyStore::Write(const std::string& name, const PropertyValue& value,
                          const PropertyValue& default_value) {
    if (value == default_value) {
        values_.erase(name);
    } else {
        values_.insert_or_assign(name, value);
    }
}

std::optional<bool> AsBoolean(const PropertyValue& value) {
    if (const std::string* text = std::get_if<std::string>(&value)) {
        if (SameAsciiWord(TrimAsciiBlanks(*text), "True")) {
            return true;
        }
        if (SameAsciiWord(TrimAsciiBlanks(*text), "False")) {
            return false;
        }
    }
    if (const auto number = AsInteger<long long>(value)) {
        return *number != 0;
    }
    return std::nullopt;
}

std::optional<std::string> AsText(const PropertyValue& value) {
    if (const std::string* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    return std::nullopt;
}

std::optional<FontDescription> AsFont(const PropertyValue& value) {
    if (const FontDescription* font = std::get_if<FontDescription>(&value)) {
        return *font;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> AsUnsigned8(const PropertyValue& value) {
    return AsInteger<std::uint8_t>(value);
}

std::optional<std::int16_t> AsSigned16(const PropertyValue& value) {
    return AsInteger<std::int16_t>(value);
}

std::optional<std::uint32_t> AsUnsigned32(const PropertyValue& value) {
    return AsInteger<std::uint32_t>(value);
}

}  // namespace velmora
