#include "app/AddOn.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "app/AddOnList.h"
#include "app/Facts.h"
#include "app/RegistryText.h"

namespace quillet {

namespace {

namespace mr = ModulRegistrierung;

constexpr mr::Root kRoot = mr::Root::LocalMachine;
using facts::kAddOnKeyClass;
using facts::kAddOnKeyPrefix;
using facts::kHostKey;
constexpr std::wstring_view kListValue = facts::kAddOnList;

// A text in a log line, its ends made visible.
std::wstring Quoted(const std::wstring& text) { return L"'" + text + L"'"; }

// Logged when the list cannot be read, before anything was touched.
constexpr wchar_t kListUnreadable[] = L"list cannot be read as text: nothing changed";

bool WriteAddOnList(const mr::RegistryContext& registry, std::wstring list) {
  return mr::WriteRegistryValue(registry, kRoot, kHostKey, kListValue,
                                mr::RegistryValue(std::move(list)));
}

}  // namespace

std::wstring AddOnKeyPath(const std::wstring& name) { return std::wstring(kAddOnKeyPrefix) + name; }

std::vector<std::pair<std::wstring_view, mr::RegistryValue>> AddOnValues(
    const AddOnEintrag& entry) {
  // The host reads these by name; all nine are written on every install, in this order.
  return {
      {facts::value::kAddOnName, entry.AddOnName},
      {facts::value::kEinbindungsModus, entry.EinbindungsModus},
      {facts::value::kExeDateiname, entry.ExeDateiname},
      {facts::value::kParameterFest, entry.ParameterFest},
      {facts::value::kParameterZusatz, entry.ParameterZusatz},
      {facts::value::kKurzBeschreibung, entry.KurzBeschreibung},
      {facts::value::kLangBeschreibung, entry.LangBeschreibung},
      {facts::value::kSpezialButtonGrafikName, entry.SpezialButtonGrafikName},
      {facts::value::kSpezialButtonToolTiptext, entry.SpezialButtonToolTiptext},
  };
}

std::optional<std::wstring> ReadAddOnList(const mr::RegistryContext& registry, Prompts& prompts) {
  mr::ReadResult read = mr::ReadRegistryValue(registry, kRoot, kHostKey, kListValue);
  if (read.status == mr::ReadStatus::Missing) return std::wstring();
  if (read.status != mr::ReadStatus::Found || read.storedType != mr::kRegSz) return std::nullopt;
  return RegistryTextOf(std::move(read), registry, prompts, kListValue);
}

bool AddOnEinrichten(const mr::RegistryContext& registry, Prompts& prompts, RunLog& log,
                     const AddOnEintrag& entry) {
  // The list is read before anything is touched, so that a list that cannot be read leaves the
  // add-on's key as it was too.
  const std::optional<std::wstring> list = ReadAddOnList(registry, prompts);
  if (!list) {
    log.Log(kListUnreadable);
    return false;
  }
  const std::wstring key = AddOnKeyPath(entry.AddOnName);
  // An existing key is reused as it is, class and foreign values included. One the binding will
  // not write through (a registry link, or a key without write rights) would leave the add-on
  // listed with its values missing, or written elsewhere: nothing is changed then.
  if (mr::RegistryKeyExists(registry, kRoot, key)) {
    if (!mr::RegistryKeyWritable(registry, kRoot, key)) {
      log.Log(L"key cannot be written " + key + L": nothing changed");
      return false;
    }
    log.Log(L"key exists " + key);
  } else {
    const bool created = mr::CreateRegistryKey(registry, kRoot, key, kAddOnKeyClass);
    log.Log((created ? L"key created " : L"key not created ") + key);
  }

  // A failed write does not keep the others (or the list) from being written.
  bool ok = true;
  for (const auto& [name, value] : AddOnValues(entry)) {
    const bool written = mr::WriteRegistryValue(registry, kRoot, key, name, value);
    log.Log((written ? L"value written " : L"value not written ") + std::wstring(name) + L" = " +
            Quoted(mr::AsText(value)));
    if (!written) ok = false;
  }

  if (AddOnList::IsListed(*list, entry.AddOnName)) {
    log.Log(L"list holds the name already: " + Quoted(*list));
    return ok;
  }
  std::wstring updated = AddOnList::Appended(*list, entry.AddOnName);
  const bool written = WriteAddOnList(registry, updated);
  log.Log((written ? L"list " : L"list not written ") + Quoted(*list) + L" -> " + Quoted(updated));
  if (!written) ok = false;
  return ok;
}

bool AddOnEntfernen(const mr::RegistryContext& registry, Prompts& prompts, RunLog& log,
                    const std::wstring& name) {
  const std::optional<std::wstring> list = ReadAddOnList(registry, prompts);
  if (!list) {
    log.Log(kListUnreadable);
    return false;
  }
  bool ok = true;
  const std::wstring key = AddOnKeyPath(name);
  if (mr::RegistryKeyExists(registry, kRoot, key)) {
    const bool deleted = mr::DeleteRegistryKey(registry, kRoot, key);
    log.Log((deleted ? L"key deleted " : L"key not deleted ") + key);
    if (!deleted) ok = false;
  } else {
    log.Log(L"no key " + key);
  }

  if (!AddOnList::IsListed(*list, name)) {
    log.Log(L"list does not hold the name: " + Quoted(*list));
    return ok;
  }
  // Written back even when nothing was taken out: the list then loses its quotes and blanks.
  std::wstring updated = AddOnList::WithoutName(*list, name);
  const bool written = WriteAddOnList(registry, updated);
  log.Log((written ? L"list " : L"list not written ") + Quoted(*list) + L" -> " + Quoted(updated));
  if (!written) ok = false;
  return ok;
}

}  // namespace quillet
