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
bool RestoreKey(const mr::RegistryContext& registry, RunLog& log, const UndoRecord& record,
                const std::optional<mr::KeyContents>& now) {
  const std::wstring key = AddOnKeyPath(record.name);
  if (now == record.keyBefore) {
    log.Log(L"key as before " + key);
    return true;
  }
  if (!record.keyBefore) {
    const bool deleted = mr::DeleteRegistryKey(registry, kRoot, key);
    log.Log((deleted ? L"key deleted " : L"key not deleted ") + key);
    return deleted;
  }
  // A key that cannot be deleted (something hangs below it now) gets its values back at least.
  const bool deleted = now && mr::DeleteRegistryKey(registry, kRoot, key);
  const bool ok = mr::WriteRegistryKey(registry, kRoot, key, *record.keyBefore);
  const wchar_t* what = !ok                 ? L"key not restored "
                        : (now && !deleted) ? L"key kept, values restored "
                                            : L"key restored ";
  log.Log(what + key);
  return ok;
}

}  // namespace

std::optional<UndoRecord> RecordBeforeChange(const mr::RegistryContext& registry, Prompts& prompts,
                                             std::wstring run, UndoWork work,
                                             const AddOnEintrag& entry) {
  UndoRecord record;
  record.run = std::move(run);
  record.work = work;
  record.name = entry.AddOnName;
  record.keyBefore = mr::ReadRegistryKey(registry, kRoot, AddOnKeyPath(entry.AddOnName));
  if (work == UndoWork::Install) {
    for (const auto& [name, value] : AddOnValues(entry)) {
      std::optional<mr::StoredValue> stored = mr::StoredForm(registry, value);
      if (!stored) return std::nullopt;
      record.written.emplace_back(registry.locale.ToAnsi(name), std::move(*stored));
    }
  }
  const std::wstring list = ReadAddOnList(registry, prompts).value_or(L"");
  if (work == UndoWork::Install) {
    if (!AddOnList::IsListed(list, entry.AddOnName)) record.list = ListChange::Added;
  } else if (const std::optional<std::size_t> at = AddOnList::PlaceOf(list, entry.AddOnName)) {
    record.list = ListChange::Removed;
    record.position = static_cast<std::uint32_t>(*at);
  }
  return record;
}

UndoOutcome UndoChange(const mr::RegistryContext& registry, Prompts& prompts, RunLog& log,
                       const UndoRecord& record) {
  const std::wstring key = AddOnKeyPath(record.name);
  const std::optional<mr::KeyContents> now = mr::ReadRegistryKey(registry, kRoot, key);
  if (!StillOurs(record, now)) {
    log.Log(L"key changed by another run since, key and list left as they are: " + key);
    return UndoOutcome::NotOurs;
  }
  bool ok = RestoreKey(registry, log, record, now);
  if (record.list == ListChange::None) return ok ? UndoOutcome::Undone : UndoOutcome::Incomplete;

  const std::optional<std::wstring> before = ReadAddOnList(registry, prompts);
  if (!before) {
    log.Log(L"list cannot be read as text: list left as it is");
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
  log.Log((written ? L"list '" : L"list not written '") + *before + L"' -> '" + after + L"'");
  return ok && written ? UndoOutcome::Undone : UndoOutcome::Incomplete;
}

}  // namespace quillet
