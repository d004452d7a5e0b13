#include "app/Pass.h"

#include <optional>
#include <string>

#include "app/AddOn.h"
#include "app/AddOnEintrag.h"
#include "app/Facts.h"
#include "app/Modul.h"
#include "app/VersionGate.h"
#include "text/Characters.h"
#include "text/DecimalText.h"
#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet {

namespace {

using ModulTextZeile2CollectionArray::FieldList;
using text::Trimmed;

// Longer field values are cut in the overflow message, so that the box stays readable.
constexpr std::size_t kMaxShownLength = 64;

Message UsageMessage() {
  return Message{facts::kUsageTitle, facts::kUsageText, MessageIcon::Information,
                 MessageButtons::Ok};
}

Message NoFolderMessage(const std::wstring& programFile) {
  return Message{facts::kErrorTitle,
                 std::wstring(facts::kNoFolderTextBefore) + programFile + facts::kNoFolderTextAfter,
                 MessageIcon::Error, MessageButtons::Ok};
}

Message InvalidCharacterMessage(const std::wstring& character) {
  return Message{facts::kErrorTitle,
                 facts::kInvalidCharacterBefore + character + facts::kInvalidCharacterAfter,
                 MessageIcon::Error, MessageButtons::Ok};
}

Message OverflowMessage(int field, const wchar_t* name, const std::wstring& value) {
  std::wstring shown =
      value.size() > kMaxShownLength ? value.substr(0, kMaxShownLength) + L"..." : value;
  return Message{facts::kErrorTitle,
                 facts::kOverflowValue + shown + facts::kOverflowField + text::DecimalText(field) +
                     L" (" + name + facts::kOverflowRange,
                 MessageIcon::Error, MessageButtons::Ok};
}

// The first character of `name` (a surrogate pair counting as one) that the registry's ANSI
// code page cannot hold exactly; empty when there is none. Such a name would be stored with a
// different character than it was given with.
std::wstring FirstCharacterWithoutAnsiForm(const std::wstring& name,
                                           ModulRegistrierung::Locale& locale) {
  for (std::size_t i = 0; i < name.size();) {
    std::wstring character = name.substr(i, text::CharacterLength(name, i));
    bool exact = true;
    locale.ToAnsi(character, &exact);
    if (!exact) return character;
    i += character.size();
  }
  return {};
}

// True when `path` is stored as it is, exactly, in the ANSI code page.
bool HasAnsiForm(const std::wstring& path, ModulRegistrierung::Locale& locale) {
  if (path.find(L'\0') != std::wstring::npos) return false;
  bool exact = true;
  locale.ToAnsi(path, &exact);
  return exact;
}

// The program path as the host can start it: as given when the ANSI code page spells it, else its
// short form when that one is spelt; nullopt when neither is. A path stored with '?' in place of
// a character names a program that does not exist.
std::optional<std::wstring> StorablePath(const std::wstring& path, HostProcess& host,
                                         ModulRegistrierung::Locale& locale) {
  if (HasAnsiForm(path, locale)) return path;
  std::wstring shortPath = host.ShortPath(path);
  if (!shortPath.empty() && HasAnsiForm(shortPath, locale)) return shortPath;
  return std::nullopt;
}

// Fills the record from three to nine fields, with the defaults for those not given. False when
// a number field overflows; the overflow message has then been shown.
bool ReadFields(FieldList fields, AddOnEintrag& entry, Prompts& prompts) {
  const bool onlyThree = fields.size() == 3;
  if (fields.size() < 9) fields.resize(9);
  entry.AddOnName = Trimmed(fields[0]);
  entry.KurzBeschreibung = Trimmed(fields[1]);
  entry.ExeDateiname = Trimmed(fields[2]);
  if (onlyThree) {
    entry.EinbindungsModus = facts::kDefaultEinbindungsModus;
    entry.ParameterZusatz = facts::kDefaultParameterZusatz;
  } else {
    std::optional<std::int32_t> mode = Modul::ReadNumber(fields[3]);
    if (!mode) {
      prompts.Show(OverflowMessage(4, facts::value::kEinbindungsModus, fields[3]));
      return false;
    }
    entry.EinbindungsModus = *mode;
    entry.ParameterFest = fields[4];
    std::optional<std::int32_t> extra = Modul::ReadNumber(fields[5]);
    if (!extra) {
      prompts.Show(OverflowMessage(6, facts::value::kParameterZusatz, fields[5]));
      return false;
    }
    entry.ParameterZusatz = *extra;
    entry.LangBeschreibung = fields[6];
    entry.SpezialButtonGrafikName = fields[7];
    entry.SpezialButtonToolTiptext = fields[8];
  }
  if (entry.SpezialButtonGrafikName.empty())
    entry.SpezialButtonGrafikName = facts::kDefaultButtonPicture;
  if (entry.SpezialButtonToolTiptext.empty())
    entry.SpezialButtonToolTiptext = entry.KurzBeschreibung;
  return true;
}

// False, after the message, for a name with a character outside the allowed set or one the
// registry's ANSI code page cannot hold.
bool NameAccepted(const std::wstring& name, Prompts& prompts, ModulRegistrierung::Locale& locale) {
  std::wstring character = Modul::UngueltigesNamenszeichen(
      name, [&locale](std::wstring s) { return locale.ToLower(std::move(s)); });
  if (character.empty()) character = FirstCharacterWithoutAnsiForm(name, locale);
  if (character.empty()) return true;
  prompts.Show(InvalidCharacterMessage(character));
  return false;
}

// Only a bare name is completed with a folder: "C:/x.exe" and "C:x.exe" already say where they
// are.
bool IsBareProgramName(const std::wstring& name) {
  return name.find_first_of(L"\\/:") == std::wstring::npos;
}

// The registry work of an install or removal, under the add-on list lock, the journal's record
// kept first. False when it failed or was refused.
bool Register(RunMode mode, AddOnEintrag& entry,
              const ModulRegistrierung::RegistryContext& registry, Frontend& frontend,
              AddOnJournal* journal) {
  if (mode == RunMode::Install) {
    std::optional<std::wstring> path = StorablePath(entry.ExeDateiname, frontend, registry.locale);
    if (!path) {
      frontend.Log(L"program path has no ANSI form, nor a short one: " + entry.ExeDateiname);
      return false;
    }
    entry.ExeDateiname = std::move(*path);
  }
  // Another run changing the list at the same time would lose one of the two changes.
  const std::unique_ptr<AddOnListLock> lock = frontend.LockAddOnList();
  if (journal != nullptr &&
      !journal->BeforeFirstWrite(registry, frontend, frontend, mode == RunMode::Install, entry)) {
    return false;
  }
  return mode == RunMode::Install ? AddOnEinrichten(registry, frontend, frontend, entry)
                                  : AddOnEntfernen(registry, frontend, frontend, entry.AddOnName);
}

}  // namespace

ExitStatus RunVersionGate(Frontend& frontend, const Stores& stores) {
  const ModulRegistrierung::RegistryContext registry{stores.registry, stores.locale};
  if (CheckHostVersion(registry, frontend)) return ExitStatus::Done;
  frontend.Log(L"status 3 (host outdated)");
  return ExitStatus::HostOutdated;
}

ExitStatus RunAddOnWork(Frontend& frontend, const Stores& stores, const Command& command,
                        AddOnJournal* journal) {
  const ModulRegistrierung::RegistryContext registry{stores.registry, stores.locale};
  const ExitStatus status = [&] {
    RunMode mode = command.mode;
    AddOnEintrag entry;
    if (mode == RunMode::None) {
      frontend.Show(UsageMessage());
    } else if (mode == RunMode::Remove) {
      entry.AddOnName = command.name;
    } else if (!ReadFields(command.fields, entry, frontend)) {
      // An overflowing number stops the run before anything is shown or written.
      return ExitStatus::Refused;
    }
    if (mode != RunMode::None && !NameAccepted(entry.AddOnName, frontend, stores.locale)) {
      mode = RunMode::None;
    }
    // A host that runs apart from the add-on's folder (a DLL in an installer's temporary
    // folder) names no folder of its own: a bare program name cannot be completed then.
    const std::wstring folder = frontend.OwnDirectory();
    if (mode == RunMode::Install && IsBareProgramName(entry.ExeDateiname) && folder.empty()) {
      frontend.Show(NoFolderMessage(entry.ExeDateiname));
      mode = RunMode::None;
    }

    if (mode == RunMode::Install) frontend.SetStatusText(facts::kStatusInstall);
    if (mode == RunMode::Remove) frontend.SetStatusText(facts::kStatusRemove);
    if (mode != RunMode::None && !command.silent) frontend.ShowStatusWindow();

    if (IsBareProgramName(entry.ExeDateiname))
      entry.ExeDateiname = Modul::BackslashAnhaengen(folder) + entry.ExeDateiname;

    const bool written =
        mode != RunMode::None && Register(mode, entry, registry, frontend, journal);

    if (mode != RunMode::None) {
      frontend.ProcessPendingEvents();
      if (!command.silent) frontend.Pause(1000);
    }
    frontend.UnloadStatusWindow();

    if (mode == RunMode::None) return ExitStatus::Refused;
    return written ? ExitStatus::Done : ExitStatus::RegistryFailed;
  }();
  frontend.Log(status == ExitStatus::Done ? L"status 0 (done)"
               : status == ExitStatus::Refused
                   ? L"status 2 (refused by the command line)"
                   : L"status 1 (the registry work failed or was refused)");
  return status;
}

ExitStatus RunPass(Frontend& frontend, const Stores& stores, std::wstring commandText) {
  // The gate comes first: its question is asked in silent runs and for empty command lines too.
  const ExitStatus gate = RunVersionGate(frontend, stores);
  if (gate != ExitStatus::Done) return gate;
  return RunAddOnWork(frontend, stores, ReadCommand(std::move(commandText)));
}

}  // namespace quillet
