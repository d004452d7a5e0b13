#include "win32/dll/nsis/NsisStack.h"

#include <cwchar>

namespace quillet::nsis {

namespace {

// The characters of `text` up to its terminator, never more than `limit`.
std::wstring Bounded(const wchar_t* text, int limit) {
  std::size_t length = 0;
  while (length < static_cast<std::size_t>(limit) && text[length] != L'\0') ++length;
  return std::wstring(text, length);
}

}  // namespace

std::optional<std::wstring> Stack::Peek() const {
  if (top_ == nullptr || *top_ == nullptr || stringSize_ <= 0) return std::nullopt;
  return Bounded((*top_)->text, stringSize_);
}

std::optional<std::wstring> Stack::Pop() {
  std::optional<std::wstring> text = Peek();
  if (!text) return std::nullopt;
  StackEntry* entry = *top_;
  *top_ = entry->next;
  GlobalFree(entry);
  return text;
}

bool Stack::Push(const std::wstring& text) {
  if (top_ == nullptr || stringSize_ <= 0) return false;
  const std::size_t bytes = sizeof(StackEntry) + sizeof(wchar_t) * static_cast<std::size_t>(stringSize_);
  auto* entry = static_cast<StackEntry*>(GlobalAlloc(GPTR, bytes));
  if (entry == nullptr) return false;
  const std::size_t length = text.size() < static_cast<std::size_t>(stringSize_ - 1)
                                 ? text.size()
                                 : static_cast<std::size_t>(stringSize_ - 1);
  std::wmemcpy(entry->text, text.data(), length);
  entry->text[length] = L'\0';
  entry->next = *top_;
  *top_ = entry;
  return true;
}

std::wstring Variable(const wchar_t* variables, int stringSize, int index) {
  if (variables == nullptr || stringSize <= 0) return {};
  return Bounded(variables + static_cast<std::size_t>(index) * stringSize, stringSize);
}

}  // namespace quillet::nsis
