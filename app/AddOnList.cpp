#include "app/AddOnList.h"

#include <string_view>
#include <utility>

#include "text/Characters.h"
#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet::AddOnList {

namespace {

constexpr wchar_t kComma = L',';

using ModulTextZeile2CollectionArray::FieldList;

FieldList Elements(std::wstring list) {
  return ModulTextZeile2CollectionArray::TextZeileZerlegen(std::move(list), L",", L"");
}

std::wstring Joined(const FieldList& elements, std::size_t skip, std::size_t length) {
  std::wstring joined;
  joined.reserve(length);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (i == skip) continue;
    if (!joined.empty()) joined += kComma;
    joined += elements[i];
  }
  return joined;
}

std::size_t FirstEqual(const FieldList& elements, const std::wstring& name) {
  const std::wstring_view wanted = text::TrimBlanks(name);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (text::EqualIgnoringCase(text::TrimBlanks(elements[i]), wanted)) return i;
  }
  return elements.size();
}

}  // namespace

// Linear in the list's length: a name holds no comma, so each candidate comparison ends at the
// next comma at the latest.
bool IsListed(const std::wstring& list, const std::wstring& name) {
  std::wstring haystack;
  haystack.reserve(list.size() + 2);
  haystack += kComma;
  for (wchar_t c : list) haystack += text::FoldCase(c);
  haystack += kComma;
  const std::wstring needle = kComma + text::Folded(name) + kComma;
  return haystack.find(needle) != std::wstring::npos;
}

std::wstring Appended(std::wstring list, const std::wstring& name) {
  if (!list.empty() && list.back() != kComma) list += kComma;
  list += name;
  return list;
}

std::wstring WithoutName(std::wstring list, const std::wstring& name) {
  const std::size_t length = list.size();
  const FieldList elements = Elements(std::move(list));
  return Joined(elements, FirstEqual(elements, name), length);
}

std::optional<std::size_t> PlaceOf(const std::wstring& list, const std::wstring& name) {
  if (!IsListed(list, name)) return std::nullopt;
  const FieldList elements = Elements(list);
  const std::size_t at = FirstEqual(elements, name);
  if (at == elements.size()) return std::nullopt;
  return at;
}

std::wstring InsertedAt(std::wstring list, const std::wstring& name, std::size_t place) {
  const std::size_t length = list.size() + name.size() + 1;
  FieldList elements = Elements(std::move(list));
  if (place > elements.size()) place = elements.size();
  elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(place), name);
  return Joined(elements, elements.size(), length);
}

}  // namespace quillet::AddOnList
