#include "win32/Win32Registry.h"

#include <optional>
#include <utility>
#include <vector>

#include "win32/UniqueHandle.h"

namespace quillet::ModulRegistrierung {
namespace {

// The host is a 32-bit program and reads the 32-bit view: the 64-bit build must write there too.
// 32-bit Windows ignores the flag, so both builds name it on every open, create and delete.
constexpr REGSAM kHostView = KEY_WOW64_32KEY;

// KEY_READ and KEY_ALL_ACCESS without their standard-rights part: what a run has always asked.
constexpr REGSAM kReadRights = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr REGSAM kAllRights = kReadRights | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK;

// What a key on the way to the one asked for is opened with: enough to tell whether it is a
// link, and to make the next key below it when a create walks the path.
constexpr REGSAM kPassRights = KEY_QUERY_VALUE | kHostView;
constexpr REGSAM kCreatePassRights = kPassRights | KEY_CREATE_SUB_KEY;
// Deleting asks for the deletion and for the look that tells a link.
constexpr REGSAM kDeleteRights = DELETE | KEY_QUERY_VALUE | kHostView;

// How often a value that grows between the size query and the read is tried again. A writer that
// does not take our lock (the host itself) can change the list at any moment; a few tries are
// enough for a writer that is not hostile, and a hostile one only gets a refused run.
constexpr int kReadAttempts = 8;

// A key name has at most 255 characters. Windows refuses a longer one; Wine takes one of 256 and
// more when it is opened relative to its parent, so the walk refuses it itself.
constexpr int kMaxKeyNameLength = 255;

// The parts of a path as Windows takes them: cut at the first NUL, split at backslashes, empty
// parts skipped. nullopt for a path that starts with a backslash, or has a part longer than a
// key name may be, which Windows refuses.
std::optional<std::vector<std::string>> Components(const std::string& path) {
  const std::string spelt = path.substr(0, path.find('\0'));
  if (!spelt.empty() && spelt.front() == '\\') return std::nullopt;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= spelt.size()) {
    std::size_t end = spelt.find('\\', start);
    if (end == std::string::npos) end = spelt.size();
    if (end > start) {
      const int length = MultiByteToWideChar(CP_ACP, 0, spelt.data() + start,
                                             static_cast<int>(end - start), nullptr, 0);
      if (length > kMaxKeyNameLength) return std::nullopt;
      parts.push_back(spelt.substr(start, end - start));
    }
    start = end + 1;
  }
  return parts;
}

// True when `key` (opened without following links) is a registry link: a user who may make keys
// below the host's key can make one that points anywhere in HKLM, and an elevated run must not
// create, write or delete through it. A link is told by its SymbolicLinkValue of type REG_LINK;
// a key that cannot be looked at counts as one.
bool IsLink(HKEY key) {
  DWORD type = REG_NONE;
  const LSTATUS queried =
      RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
  if (queried == ERROR_FILE_NOT_FOUND) return false;
  return queried != ERROR_SUCCESS || type == REG_LINK;
}

// One key below `parent`, opened without following a link.
LSTATUS OpenPart(HKEY parent, const std::string& part, REGSAM rights, unique_hkey& key) {
  const LSTATUS opened =
      RegOpenKeyExA(parent, part.c_str(), REG_OPTION_OPEN_LINK, rights, key.put());
  if (opened != ERROR_SUCCESS) key.reset();
  return opened;
}

// One key below `parent`, made when missing. A key that exists, or turns up between the open and
// the create, is opened again without following a link, so that what is checked is the key
// itself; a key this call made is new and cannot be a link. `parent` lacks the right to make
// keys on a walk that found everything so far, so that right is asked for only here.
LSTATUS OpenOrCreatePart(HKEY parent, const std::string& part, const std::string& keyClass,
                         REGSAM rights, unique_hkey& key, bool& created) {
  created = false;
  const LSTATUS opened = OpenPart(parent, part, rights, key);
  if (opened != ERROR_FILE_NOT_FOUND) return opened;
  unique_hkey maker;
  const LSTATUS reopened = OpenPart(parent, "", kCreatePassRights, maker);
  if (reopened != ERROR_SUCCESS) return reopened;
  DWORD disposition = 0;
  const LSTATUS made =
      RegCreateKeyExA(maker.get(), part.c_str(), 0, const_cast<char*>(keyClass.c_str()),
                      REG_OPTION_OPEN_LINK, rights, nullptr, key.put(), &disposition);
  if (made != ERROR_SUCCESS) {
    key.reset();
    return made;
  }
  if (disposition == REG_CREATED_NEW_KEY) {
    created = true;
    return ERROR_SUCCESS;
  }
  return OpenPart(parent, part, rights, key);
}

// What a walk along a path found.
struct Walked {
  unique_hkey key;  // the last key, opened with the rights asked for; empty when it failed
  LSTATUS status = ERROR_SUCCESS;
  bool link = false;     // the last key is a link (`key` is then empty)
  bool created = false;  // the last key was made by this walk
};

// The key at `path`, reached one key at a time from the root, none of them followed if it is a
// link: a link on the way fails the walk, a link at its end is reported and not handed out. The
// first part is opened from the predefined root, where the 32-bit view is chosen; the parts
// below are opened relative to it in the same view. With `keyClass`, missing keys are made
// along the way, each with that class.
Walked Walk(Root root, const std::string& path, REGSAM rights,
            const std::string* keyClass = nullptr) {
  Walked walked;
  const std::optional<std::vector<std::string>> parts = Components(path);
  if (!parts) {
    walked.status = ERROR_INVALID_PARAMETER;
    return walked;
  }
  if (parts->empty()) {
    walked.status = OpenPart(RootKey(root), "", rights, walked.key);
    return walked;
  }
  unique_hkey parent;
  for (std::size_t i = 0; i < parts->size(); ++i) {
    const bool last = i + 1 == parts->size();
    const REGSAM wanted = last ? rights : kPassRights;
    const HKEY from = i == 0 ? RootKey(root) : parent.get();
    unique_hkey key;
    bool created = false;
    walked.status = keyClass != nullptr
                        ? OpenOrCreatePart(from, (*parts)[i], *keyClass, wanted, key, created)
                        : OpenPart(from, (*parts)[i], wanted, key);
    if (walked.status != ERROR_SUCCESS) return walked;
    if (!created && IsLink(key.get())) {
      walked.status = ERROR_ACCESS_DENIED;
      walked.link = last;
      return walked;
    }
    if (last) {
      walked.key = std::move(key);
      walked.created = created;
      return walked;
    }
    parent = std::move(key);
  }
  return walked;
}

// The key opened with `access`; empty with the error in `*status` when it does not open or is
// a link.
unique_hkey Open(Root root, const std::string& path, RegistryAccess access,
                 LSTATUS* status = nullptr) {
  Walked walked = Walk(root, path, AccessOf(access));
  if (status != nullptr) *status = walked.status;
  return std::move(walked.key);
}

// One value of an open key, by name. Exactly the size learned: with room to spare, Windows would
// add a NUL to a text that was stored without one, and the caller must see the bytes as stored.
// A value that grew in between (ERROR_MORE_DATA) is read again, a bounded number of times.
ValueRead Query(HKEY key, const char* name) {
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    const LSTATUS sized = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (sized == ERROR_FILE_NOT_FOUND) return {ReadStatus::Missing, {}};
    if (sized != ERROR_SUCCESS) return {ReadStatus::Failed, {}};
    std::vector<std::uint8_t> bytes(size);
    DWORD returned = size;
    const LSTATUS read =
        RegQueryValueExA(key, name, nullptr, &type, size == 0 ? nullptr : bytes.data(), &returned);
    if (read == ERROR_MORE_DATA) continue;
    if (read == ERROR_FILE_NOT_FOUND) return {ReadStatus::Missing, {}};
    if (read != ERROR_SUCCESS) return {ReadStatus::Failed, {}};
    // The ANSI call may report a text's size in its wide form first; what it returns counts.
    bytes.resize(returned < size ? returned : size);
    return {ReadStatus::Found, StoredValue{type, std::move(bytes)}};
  }
  return {ReadStatus::Failed, {}};
}

}  // namespace

HKEY RootKey(Root root) {
  return root == Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM AccessOf(RegistryAccess access) {
  return (access == RegistryAccess::Read ? kReadRights : kAllRights) | kHostView;
}

bool Win32Registry::KeyExists(Root root, const std::string& path) {
  // A link is there, even though nothing is read or written through it: an install then fails
  // on its values, a remove on the deletion, rather than pass it by as absent.
  const Walked walked = Walk(root, path, AccessOf(RegistryAccess::Read));
  return walked.key.get() != nullptr || walked.link;
}

bool Win32Registry::KeyWritable(Root root, const std::string& path) {
  return Open(root, path, RegistryAccess::Write).get() != nullptr;
}

KeyCreation Win32Registry::CreateKey(Root root, const std::string& path,
                                     const std::string& keyClass) {
  const Walked walked = Walk(root, path, AccessOf(RegistryAccess::Write), &keyClass);
  if (walked.key.get() == nullptr) return KeyCreation::Failed;
  // The key is on disk before anything is written into it; whether the flush succeeds does not
  // matter, the key exists either way.
  RegFlushKey(walked.key.get());
  return walked.created ? KeyCreation::Created : KeyCreation::Existed;
}

ValueRead Win32Registry::ReadValue(Root root, const std::string& path, const std::string& name) {
  LSTATUS status = ERROR_SUCCESS;
  const unique_hkey key = Open(root, path, RegistryAccess::Read, &status);
  if (key.get() == nullptr) {
    return {status == ERROR_FILE_NOT_FOUND ? ReadStatus::Missing : ReadStatus::Failed, {}};
  }
  return Query(key.get(), name.c_str());
}

bool Win32Registry::WriteValue(Root root, const std::string& path, const std::string& name,
                               const StoredValue& value) {
  const unique_hkey key = Open(root, path, RegistryAccess::Write);
  if (key.get() == nullptr) return false;
  return RegSetValueExA(key.get(), name.c_str(), 0, value.type, value.bytes.data(),
                        static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteKey(Root root, const std::string& path) {
  // Deleted through the handle that was checked, never by its path again: the empty name names
  // the key the handle holds.
  const Walked walked = Walk(root, path, kDeleteRights);
  if (walked.key.get() == nullptr) return false;
  return RegDeleteKeyExA(walked.key.get(), "", kHostView, 0) == ERROR_SUCCESS;
}

std::optional<KeyContents> Win32Registry::ReadKey(Root root, const std::string& path) {
  const unique_hkey key = Open(root, path, RegistryAccess::Read);
  if (key.get() == nullptr) return std::nullopt;
  // A class is at most 255 characters.
  char keyClass[256] = {};
  DWORD classLength = sizeof keyClass;
  DWORD valueCount = 0;
  if (RegQueryInfoKeyA(key.get(), keyClass, &classLength, nullptr, nullptr, nullptr, nullptr,
                       &valueCount, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  KeyContents contents{std::string(keyClass, classLength), {}};
  // Names are read by index, each value then by its name, exactly as a single read takes it.
  // The buffer holds the longest name there can be, in any code page.
  std::vector<char> name(2 * 16384 + 1);
  for (DWORD i = 0; i < valueCount; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    if (RegEnumValueA(key.get(), i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::string spelt(name.data(), nameLength);
    ValueRead read = Query(key.get(), spelt.c_str());
    if (read.status != ReadStatus::Found) return std::nullopt;
    contents.values.emplace_back(std::move(spelt), std::move(read.value));
  }
  return contents;
}

}  // namespace quillet::ModulRegistrierung
