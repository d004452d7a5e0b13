// The host's comma-separated add-on list "AddOns", as text: whether it holds a name, and the list
// with a name appended, taken out, or put back at a place.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace quillet::AddOnList {

// ","+name+"," found in ","+list+",", ignoring letter case, with nothing trimmed or unquoted:
// an element with blanks or quotes around it does not count.
bool IsListed(const std::wstring& list, const std::wstring& name);

// `name` appended, after a comma unless the list is empty or ends with one.
std::wstring Appended(std::wstring list, const std::wstring& name);

// The list cut into its elements (trimmed and unquoted by the splitter), without the first one
// that equals `name`, joined again. The other elements come back as the splitter gave them, so
// blanks and quotes around them are gone, and a leading empty element vanishes.
std::wstring WithoutName(std::wstring list, const std::wstring& name);

// The place (from 0) of the element WithoutName would take out; nullopt when IsListed is false
// or no element equals `name`.
std::optional<std::size_t> PlaceOf(const std::wstring& list, const std::wstring& name);

// The list cut into its elements, with `name` put in at `place` (at the end when the list is
// shorter), joined again.
std::wstring InsertedAt(std::wstring list, const std::wstring& name, std::size_t place);

}  // namespace quillet::AddOnList
