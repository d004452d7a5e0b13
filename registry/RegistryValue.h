// The tagged value that the registry operations write and read.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace quillet::ModulRegistrierung {

// A calendar date with time of day, as an OLE Automation date: days since 1899-12-30, the time
// of day as the fraction.
struct Date {
  double oleDate = 0;
  friend bool operator==(const Date&, const Date&) = default;
};

enum class RegistryValueKind { Empty, Integer16, Integer32, Boolean, Date, Text };

// Empty is a holder that was never assigned. The alternatives are in the order of
// RegistryValueKind, so index() gives the kind.
using RegistryValue =
    std::variant<std::monostate, std::int16_t, std::int32_t, bool, Date, std::wstring>;

inline RegistryValueKind KindOf(const RegistryValue& value) {
  return static_cast<RegistryValueKind>(value.index());
}

// The value as the callers keep it, as text: a Text unchanged, an integer as its decimal digits
// (with a minus sign when negative), a Boolean as "True" or "False", a Date in `dateText` (the
// platform's date-to-text form), Empty as the empty text.
std::wstring AsText(const RegistryValue& value, const std::wstring& dateText = {});

}  // namespace quillet::ModulRegistrierung
