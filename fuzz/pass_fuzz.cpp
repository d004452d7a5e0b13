// Fuzzes the whole pass (RunPass) over the in-memory registry and the recording frontend, with
// any argument text and any prior add-on list.
//
// Input: the argument text, then optionally a NUL byte and the prior "AddOns" text, both UTF-8
// (FuzzInput); the list text may hold further NUL bytes. Without the NUL the registry has no
// "AddOns" value at all. The list is stored as the host would find it: REG_SZ, in the ANSI code
// page, NUL-terminated. Around it stands a fixed registry: a current host version, foreign
// values in the host key, an add-on key with a foreign value, one with a sub-key (which cannot
// be deleted), a key whose name only begins like an add-on's, and the same paths under
// HKEY_CURRENT_USER.
//
// Invariants:
//  1. No crash, hang or out-of-bounds access (ASan, UBSan, libFuzzer's timeout).
//  2. Nothing changes outside the host key's "AddOns" value and the add-on's own key (the
//     host key path plus "AddOn_" and the name, compared without regard to case): every other
//     key, class and value of both hives stays byte for byte. A run that does nothing (usage,
//     refused name, overflow) changes nothing at all.
//  3. Install: the add-on's key exists afterwards (unless its name is too long for a key) and
//     keeps its class when it existed; its "AddOnName" is the name; foreign values in it stay.
//     Remove: the add-on's key is gone afterwards, unless it has a sub-key, and then it stays
//     unchanged.
// For a prior list that is readable as text and does not begin with a typed prefix
// ("typboolean:", "typdate:"); L is the list before, N after, the membership test looks for
// "," + name + "," in "," + list + "," without regard to letter case:
//  4. Install: N still holds every non-empty element of L, in order, and the membership test
//     finds the name in N. The list changes only at its end: N is L, or L followed by the name,
//     or L followed by "," and the name.
//  5. Remove, membership test finds the name in L: N is the elements of L as the splitter cuts
//     them (trimmed, unquoted; taken from SplitterModel, not from the product's splitter)
//     without the first one equal to the name (trimmed, ignoring case), joined by "," with
//     nothing before the first non-empty text.
//  6. Remove, membership test does not find the name: the list is not written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/Facts.h"
#include "app/Pass.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/SplitterModel.h"
#include "registry/ModulRegistrierung.h"
#include "testing/FixedLocale.h"
#include "testing/MemoryRegistry.h"
#include "testing/RecordingFrontend.h"
#include "testing/StoredBytes.h"
#include "text/Characters.h"

namespace quillet {

namespace {

namespace mr = ModulRegistrierung;
using mr::MemoryRegistry;
using SplitterModel::TrimBlanks;

constexpr mr::Root kHklm = mr::Root::LocalMachine;
std::string ToAnsi(std::wstring_view text) { return FixedLocale::AnsiOf(text); }
const std::string kHost = ToAnsi(facts::kHostKey);
const std::string kAddOnPrefix = ToAnsi(facts::kAddOnKeyPrefix);
const std::string kList = ToAnsi(facts::kAddOnList);
const std::string kClass = ToAnsi(facts::kAddOnKeyClass);

std::string g_arguments;  // for the failure message
std::string g_list;
std::string g_listAfter;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "pass invariant broken: %s\narguments: [%s]\nlist: [%s]\nafter: [%s]\n",
               what.c_str(), g_arguments.c_str(), g_list.c_str(), g_listAfter.c_str());
  std::abort();
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

using stored::Sz;

// A text as a REG_SZ holds it: its ANSI bytes and a NUL, unless it already ends with one.
std::vector<std::uint8_t> StoredText(const std::wstring& text) {
  const std::string ansi = ToAnsi(text);
  std::vector<std::uint8_t> bytes(ansi.begin(), ansi.end());
  if (text.empty() || text.back() != L'\0') bytes.push_back(0);
  return bytes;
}

void SeedText(MemoryRegistry& r, mr::Root root, std::string_view path, std::string_view name,
              std::string_view text) {
  r.SeedValue(root, path, name, mr::kRegSz, Sz(text));
}

void SeedRegistry(MemoryRegistry& r) {
  SeedText(r, kHklm, ToAnsi(facts::kVersionKey), ToAnsi(facts::kVersionValue), "4.30");
  SeedText(r, kHklm, kHost, "Pfad", "C:\\Programme\\Kestrelview");
  r.SeedValue(kHklm, kHost, "Zaehler", mr::kRegDword, {7, 0, 0, 0});
  r.SeedKey(kHklm, kAddOnPrefix + "Vellumar", kClass);
  SeedText(r, kHklm, kAddOnPrefix + "Vellumar", "AddOnName", "Vellumar");
  SeedText(r, kHklm, kAddOnPrefix + "Vellumar", "Fremd", "bleibt");
  r.SeedKey(kHklm, kAddOnPrefix + "a\\Unterschluessel", "Fremd");
  SeedText(r, kHklm, kAddOnPrefix + "Vellumar2", "AddOnName", "Vellumar2");
  SeedText(r, kHklm, kHost + "\\Einstellungen", "Farbe", "blau");
  SeedText(r, kHklm, "software\\Orvo\\Andere", kList, "fremd");
  SeedText(r, mr::Root::CurrentUser, kHost, kList, "Vellumar,B");
  SeedText(r, mr::Root::CurrentUser, kAddOnPrefix + "B", "AddOnName", "B");
}

// Letter case folded as the registry folds key names and the list its names: ASCII and the
// Latin-1 capitals (the names that pass the name check need no more).
wchar_t Fold(wchar_t c) {
  if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  return c;
}
std::wstring Folded(std::wstring text) {
  for (wchar_t& c : text) c = Fold(c);
  return text;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

// Every key, class and value from `key` down, leaving out the key `skipKey` with all below it
// and the list's value in the key `listKey`.
void Walk(const MemoryRegistry::Node& key, const std::string& path,
          const MemoryRegistry::Node* skipKey, const MemoryRegistry::Node* listKey,
          std::vector<std::string>& lines) {
  if (&key == skipKey) return;
  lines.push_back("key " + path + " class " + key.keyClass);
  for (const auto& [name, value] : key.values) {
    if (&key == listKey && text::EqualIgnoringCase(FixedLocale::TextOf(name), facts::kAddOnList))
      continue;
    lines.push_back("value " + path + " : " + name + " = " + std::to_string(value.type) + " " +
                    Hex(value.bytes));
  }
  for (const auto& subKey : key.subKeys) {
    Walk(*subKey.second, path + "\\" + subKey.second->name, skipKey, listKey, lines);
  }
}

// The host key with everything below it, leaving out the add-on's own key and the list; the
// rest of both hives is compared through MemoryRegistry::Dump, which is quicker.
std::vector<std::string> HostSnapshot(const MemoryRegistry& r, const std::string& ownKey) {
  std::vector<std::string> lines{"no host key"};
  if (const MemoryRegistry::Node* host = r.Find(kHklm, kHost)) {
    lines.clear();
    Walk(*host, kHost, r.Find(kHklm, ownKey), host, lines);
  }
  return lines;
}

// The key `path` with everything below it.
std::vector<std::string> KeySnapshot(const MemoryRegistry& r, const std::string& path) {
  std::vector<std::string> lines;
  if (const MemoryRegistry::Node* key = r.Find(kHklm, path)) Walk(*key, path, {}, {}, lines);
  return lines;
}

// The list as stored; nullopt when it or the host key is missing.
std::optional<mr::StoredValue> StoredList(const MemoryRegistry& r) {
  const MemoryRegistry::Node* host = r.Find(kHklm, kHost);
  return host ? host->Value(kList) : std::nullopt;
}

// The list as the pass reads it, as text; nullopt when it is no plain text.
std::optional<std::wstring> ReadList(MemoryRegistry& r) {
  FixedLocale locale;
  const mr::RegistryContext registry{r, locale};
  mr::ReadResult read = mr::ReadRegistryValue(registry, kHklm, facts::kHostKey, facts::kAddOnList,
                                              mr::TextDecoding::Raw);
  // Nothing read (a missing value, another type) is the empty text, as the pass takes it.
  if (mr::KindOf(read.value) == mr::RegistryValueKind::Empty) return std::wstring();
  if (const std::wstring* text = std::get_if<std::wstring>(&read.value)) return *text;
  return std::nullopt;
}

bool HasTypedPrefix(const std::wstring& list) {
  return list.starts_with(L"typboolean:") || list.starts_with(L"typdate:");
}

// The membership test, written out independently of the add-on code.
bool InList(const std::wstring& list, const std::wstring& name) {
  return (L"," + Folded(list) + L",").find(L"," + Folded(name) + L",") != std::wstring::npos;
}

std::vector<std::wstring> NonEmptyPieces(const std::wstring& list) {
  std::vector<std::wstring> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(L',', start);
    std::wstring piece = list.substr(start, comma == std::wstring::npos ? comma : comma - start);
    if (!piece.empty()) pieces.push_back(std::move(piece));
    if (comma == std::wstring::npos) return pieces;
    start = comma + 1;
  }
}

std::wstring ExpectedAfterRemove(const std::wstring& list, const std::wstring& name) {
  std::vector<std::wstring> elements = SplitterModel::Split(list, L",", L"");
  for (auto it = elements.begin(); it != elements.end(); ++it) {
    if (Folded(TrimBlanks(*it)) == Folded(TrimBlanks(name))) {
      elements.erase(it);
      break;
    }
  }
  std::wstring joined;
  for (const std::wstring& element : elements) {
    if (!joined.empty()) joined += L',';
    joined += element;
  }
  return joined;
}

// The add-on name the run works on, read from the argument text the way the command line is
// meant: an optional leading "-s", then the first field, trimmed.
std::wstring NameFromArguments(std::wstring arguments) {
  if (PortableToLower(arguments.substr(0, 2)) == L"-s") arguments = TrimBlanks(arguments.substr(2));
  const auto fields = SplitterModel::Split(arguments, L",", L"");
  return fields.empty() ? std::wstring() : TrimBlanks(fields[0]);
}

// The program file as given: the third field, trimmed; empty when there is none.
std::wstring ProgramPathFromArguments(std::wstring arguments) {
  if (PortableToLower(arguments.substr(0, 2)) == L"-s") arguments = TrimBlanks(arguments.substr(2));
  const auto fields = SplitterModel::Split(arguments, L",", L"");
  return fields.size() < 3 ? std::wstring() : TrimBlanks(fields[2]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::wstring> parts = FuzzInput::Split(data, size, 2);
  const std::wstring& arguments = parts[0];
  g_arguments = FuzzInput::EncodeUtf8(arguments);
  g_list = parts.size() > 1 ? FuzzInput::EncodeUtf8(parts[1]) : "(none)";

  MemoryRegistry registry;
  SeedRegistry(registry);
  if (parts.size() > 1) SeedText(registry, kHklm, kHost, kList, ToAnsi(parts[1]));

  const std::wstring name = NameFromArguments(arguments);
  const std::string ownKey = kAddOnPrefix + ToAnsi(name);
  const std::string outsideBefore = registry.Dump({{kHklm, kHost}});
  const std::vector<std::string> hostBefore = HostSnapshot(registry, ownKey);
  const MemoryRegistry::Node* own = registry.Find(kHklm, ownKey);  // not kept beyond the run
  const bool ownKeyBefore = own != nullptr;
  const std::string ownClassBefore = own ? own->keyClass : "";
  const auto foreignBefore = own ? own->Value("Fremd") : std::nullopt;
  const bool ownHasSubKeys = own && !own->subKeys.empty();
  const std::vector<std::string> ownBefore = KeySnapshot(registry, ownKey);
  const std::optional<std::wstring> listBefore = ReadList(registry);
  const int listWritesBefore = registry.Find(kHklm, kHost)->SetValueCount(kList);
  const auto rawListBefore = StoredList(registry);

  RecordingFrontend frontend(arguments);
  FixedLocale locale;
  const ExitStatus status = RunPass(frontend, Stores{registry, locale}, frontend.CommandText());

  Check(registry.Dump({{kHklm, kHost}}) == outsideBefore, "something outside the host key changed");
  Check(HostSnapshot(registry, ownKey) == hostBefore,
        "something outside the add-on's key and the list changed");

  const std::wstring& statusText = frontend.StatusText();
  const bool install = statusText == facts::kStatusInstall;
  const bool remove = statusText == facts::kStatusRemove;
  if (!install && !remove) {
    Check(status == ExitStatus::Refused, "a run without install or remove did not end refused");
    Check(KeySnapshot(registry, ownKey) == ownBefore && StoredList(registry) == rawListBefore,
          "a run that did nothing changed");
    return 0;
  }
  Check(status == ExitStatus::Done || status == ExitStatus::RegistryFailed,
        "an install or remove ended neither done nor failed");

  // The host key is still there: the host snapshot above is unchanged.
  const bool listWritten = registry.Find(kHklm, kHost)->SetValueCount(kList) != listWritesBefore;
  const std::optional<std::wstring> listAfter = ReadList(registry);
  g_listAfter = listAfter ? FuzzInput::EncodeUtf8(*listAfter) : "(no text)";

  // A program path the host could not spell (no exact ANSI form; the stand-in frontend knows
  // no short paths) refuses the install before anything is touched.
  bool pathAnsi = true;
  FixedLocale::AnsiOf(ProgramPathFromArguments(arguments), &pathAnsi);
  if (install && !pathAnsi) {
    Check(status == ExitStatus::RegistryFailed, "an install with an unstorable path did not fail");
    Check(KeySnapshot(registry, ownKey) == ownBefore && StoredList(registry) == rawListBefore,
          "an install refused for its program path changed something");
    return 0;
  }

  if (install) {
    // A key name has at most 255 bytes; a longer name leaves the key uncreated.
    const bool keyPossible = ToAnsi(name).size() + 6 <= 255;
    const MemoryRegistry::Node* ownAfter = registry.Find(kHklm, ownKey);
    Check(ownAfter || !keyPossible, "the add-on key is missing");
    if (ownAfter) {
      Check(ownAfter->keyClass == (ownKeyBefore ? ownClassBefore : kClass),
            "the add-on key has the wrong class");
      const auto stored = ownAfter->Value("AddOnName");
      Check(stored && stored->type == mr::kRegSz && stored->bytes == Sz(ToAnsi(name)),
            "AddOnName is not the name");
      Check(ownAfter->Value("Fremd") == foreignBefore, "a foreign value in the add-on key changed");
    }
  } else {
    if (registry.Find(kHklm, ownKey)) {
      Check(ownHasSubKeys, "an add-on key without sub-keys was not deleted");
      Check(KeySnapshot(registry, ownKey) == ownBefore, "an add-on key that stayed changed");
    }
  }

  if (!listBefore || HasTypedPrefix(*listBefore)) return 0;
  const std::wstring& before = *listBefore;
  Check(listAfter.has_value(), "the list is no text any more");
  const std::wstring& after = *listAfter;

  if (install) {
    const auto oldPieces = NonEmptyPieces(before);
    const auto newPieces = NonEmptyPieces(after);
    Check(newPieces.size() >= oldPieces.size() &&
              std::equal(oldPieces.begin(), oldPieces.end(), newPieces.begin()),
          "an install lost or reordered an element of the list");
    Check(InList(after, name), "after an install the list does not hold the name");
    Check(after == before || after == before + name || after == before + L"," + name,
          "an install changed the list other than at its end");
    Check(listWritten == (after != before), "the list was written without reason");
  } else if (InList(before, name)) {
    Check(listWritten, "a remove that found the name did not write the list");
    // Compared as stored: a list that ends in NUL (only another writer can put one there) is
    // stored without a second one, and reads back one NUL shorter.
    const auto stored = StoredList(registry);
    Check(stored && stored->type == mr::kRegSz &&
              stored->bytes == StoredText(ExpectedAfterRemove(before, name)),
          "a remove rebuilt the list wrongly");
  } else {
    Check(!listWritten, "a remove that did not find the name wrote the list");
    Check(StoredList(registry) == rawListBefore,
          "a remove that did not find the name changed the list");
  }
  return 0;
}

}  // namespace quillet
