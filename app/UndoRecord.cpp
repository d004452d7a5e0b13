#include "app/UndoRecord.h"

#include <utility>

#include "app/AddOn.h"
#include "app/AddOnList.h"
#include "app/Facts.h"

namespace quillet {

namespace {

namespace mr = ModulRegistrierung;

constexpr mr::Root kRoot = mr::Root::LocalMachine;

using Values = std::vector<std::pair<std::string, mr::StoredValue>>;

// The value `name` of `values`; null when there is none.
const mr::StoredValue* ValueNamed(const Values& values, const std::string& name) {
  for (const auto& [valueName, value] : values) {
    if (valueName == name) return &value;
  }
  return nullptr;
}

bool Same(const mr::StoredValue* a, const mr::StoredValue* b) {
  return a == nullptr || b == nullptr ? a == b : *a == *b;
}

// True while the key holds only what this run left there: each value it writes is either
// written (or, not yet written, as before); after a removal, the key is gone (or was never
// deleted). Another run's registration since fails this.
bool StillOurs(const UndoRecord& record, const std::optional<mr::KeyContents>& now) {
  if (now == record.keyBefore) return true;
  if (record.work == UndoWork::Remove) return !now;
  if (!now) return false;
  for (const auto& [name, value] : record.written) {
    const mr::StoredValue* current = ValueNamed(now->values, name);
    const mr::StoredValue* before =
        record.keyBefore ? ValueNamed(record.keyBefore->values, name) : nullptr;
    if (!Same(current, &value) && !Same(current, before)) return false;
  }
  return true;
}

// The key as it was: deleted when there was none, else made again from nothing with its class
// and its values, so that values the change added go too. Logged after each step.
bool RestoreKey(const mr::RegistryContext& registry, Frontend& frontend, const UndoRecord& record,
                const std::optional<mr::KeyContents>& now) {
  const std::wstring key = AddOnKeyPath(record.name);
  if (now == record.keyBefore) {
    frontend.Log(L"key as before " + key);
    return true;
  }
  const std::string path = registry.locale.ToAnsi(key);
  if (!record.keyBefore) {
    const bool deleted = registry.store.DeleteKey(kRoot, path);
    frontend.Log((deleted ? L"key deleted " : L"key not deleted ") + key);
    return deleted;
  }
  const bool deleted = now && registry.store.DeleteKey(kRoot, path);
  if (!now || deleted) {
    if (registry.store.CreateKey(kRoot, path, record.keyBefore->keyClass) ==
        mr::KeyCreation::Failed) {
      frontend.Log(L"key not restored " + key);
      return false;
    }
  }
  bool ok = true;
  for (const auto& [name, value] : record.keyBefore->values) {
    if (!registry.store.WriteValue(kRoot, path, name, value)) ok = false;
  }
  // A key that could not be deleted (something hangs below it now) gets its values back at least.
  const wchar_t* what = !ok                 ? L"key values not restored "
                        : (now && !deleted) ? L"key kept, values restored "
                                            : L"key restored ";
  frontend.Log(what + key);
  return ok;
}

}  // namespace

std::optional<UndoRecord> RecordBeforeChange(const mr::RegistryContext& registry,
                                             Frontend& frontend, std::wstring run, UndoWork work,
                                             const AddOnEintrag& entry) {
  UndoRecord record;
  record.run = std::move(run);
  record.work = work;
  record.name = entry.AddOnName;
  record.keyBefore =
      registry.store.ReadKey(kRoot, registry.locale.ToAnsi(AddOnKeyPath(entry.AddOnName)));
  if (work == UndoWork::Install) {
    for (const auto& [name, value] : AddOnValues(entry)) {
      std::optional<mr::StoredValue> stored = mr::StoredForm(registry, value);
      if (!stored) return std::nullopt;
      record.written.emplace_back(registry.locale.ToAnsi(name), std::move(*stored));
    }
  }
  const std::wstring list = ReadAddOnList(registry, frontend).value_or(L"");
  if (work == UndoWork::Install) {
    if (!AddOnList::IsListed(list, entry.AddOnName)) record.list = ListChange::Added;
  } else if (const std::optional<std::size_t> at = AddOnList::PlaceOf(list, entry.AddOnName)) {
    record.list = ListChange::Removed;
    record.position = static_cast<std::uint32_t>(*at);
  }
  return record;
}

UndoOutcome UndoChange(const mr::RegistryContext& registry, Frontend& frontend,
                       const UndoRecord& record) {
  const std::wstring key = AddOnKeyPath(record.name);
  const std::optional<mr::KeyContents> now =
      registry.store.ReadKey(kRoot, registry.locale.ToAnsi(key));
  if (!StillOurs(record, now)) {
    frontend.Log(L"key changed by another run since, key and list left as they are: " + key);
    return UndoOutcome::NotOurs;
  }
  bool ok = RestoreKey(registry, frontend, record, now);
  if (record.list == ListChange::None) return ok ? UndoOutcome::Undone : UndoOutcome::Incomplete;

  const std::optional<std::wstring> before = ReadAddOnList(registry, frontend);
  if (!before) {
    frontend.Log(L"list cannot be read as text: list left as it is");
    return UndoOutcome::Incomplete;
  }
  std::wstring after;
  if (record.list == ListChange::Added) {
    if (!AddOnList::IsListed(*before, record.name))
      return ok ? UndoOutcome::Undone : UndoOutcome::Incomplete;
    after = AddOnList::WithoutName(*before, record.name);
  } else {
    if (AddOnList::IsListed(*before, record.name))
      return ok ? UndoOutcome::Undone : UndoOutcome::Incomplete;
    after = AddOnList::InsertedAt(*before, record.name, record.position);
  }
  const bool written = mr::WriteRegistryValue(registry, kRoot, facts::kHostKey, facts::kAddOnList,
                                              mr::RegistryValue(after));
  frontend.Log((written ? L"list '" : L"list not written '") + *before + L"' -> '" + after + L"'");
  return ok && written ? UndoOutcome::Undone : UndoOutcome::Incomplete;
}

}  // namespace quillet
