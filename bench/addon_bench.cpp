// Install and remove must stay linear in the length of the add-on list: the list only grows,
// one name per add-on ever installed, and every run reads, searches and (mostly) rewrites it
// whole. Measured over the in-memory registry, so that only our own work is timed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/AddOn.h"
#include "app/AddOnEintrag.h"
#include "app/Facts.h"
#include "testing/FixedLocale.h"
#include "testing/MemoryRegistry.h"
#include "testing/RecordingFrontend.h"

namespace quillet {

namespace {

namespace mr = ModulRegistrierung;

const std::string kHost = FixedLocale::AnsiOf(facts::kHostKey);

std::string Name(std::int64_t i) { return "Zusatz" + std::to_string(i); }

// "Zusatz0,Zusatz1,...": names of ten to twelve characters, as add-on names are.
std::vector<std::uint8_t> ListOf(std::int64_t count) {
  std::string list;
  for (std::int64_t i = 0; i < count; ++i) {
    if (i > 0) list += ',';
    list += Name(i);
  }
  std::vector<std::uint8_t> bytes(list.begin(), list.end());
  bytes.push_back(0);
  return bytes;
}

AddOnEintrag Entry(const std::string& name) {
  AddOnEintrag e;
  e.AddOnName = std::wstring(name.begin(), name.end());
  e.KurzBeschreibung = L"Videoetiketten drucken";
  e.ExeDateiname = L"C:\\Programme\\Vellumar\\Vellumar.exe";
  e.EinbindungsModus = 1;
  e.ParameterZusatz = 2;
  e.SpezialButtonGrafikName = facts::kDefaultButtonPicture;
  e.SpezialButtonToolTiptext = e.KurzBeschreibung;
  return e;
}

// Puts the list of `count` names back (and, for a remove, the add-on's key) before each
// iteration; only the operation itself is timed.
struct Fixture {
  mr::MemoryRegistry registry;
  FixedLocale locale;
  RecordingFrontend frontend;
  mr::RegistryContext registryContext{registry, locale};
  std::vector<std::uint8_t> list;

  explicit Fixture(std::int64_t count) : list(ListOf(count)) {}
  void Reset(const std::string& addOnKeyName = {}) {
    registry.SeedValue(mr::Root::LocalMachine, kHost, FixedLocale::AnsiOf(facts::kAddOnList),
                       mr::kRegSz, list);
    if (!addOnKeyName.empty()) {
      registry.SeedKey(mr::Root::LocalMachine,
                       FixedLocale::AnsiOf(facts::kAddOnKeyPrefix) + addOnKeyName,
                       FixedLocale::AnsiOf(facts::kAddOnKeyClass));
    }
  }
};

// A new add-on: the list is searched through and written back one name longer.
void BM_AddOnEinrichten_New(benchmark::State& state) {
  Fixture f(state.range(0));
  const AddOnEintrag entry = Entry("Vellumar");
  for (auto _ : state) {
    state.PauseTiming();
    f.Reset();
    state.ResumeTiming();
    benchmark::DoNotOptimize(AddOnEinrichten(f.registryContext, f.frontend, f.frontend, entry));
  }
  state.SetComplexityN(state.range(0));
}

// A repeated install of the last name (in other letter case): found at the end, not written.
void BM_AddOnEinrichten_Present(benchmark::State& state) {
  Fixture f(state.range(0));
  f.Reset();
  const AddOnEintrag entry = Entry("zusatz" + std::to_string(state.range(0) - 1));
  for (auto _ : state)
    benchmark::DoNotOptimize(AddOnEinrichten(f.registryContext, f.frontend, f.frontend, entry));
  state.SetComplexityN(state.range(0));
}

// Removing the last name: found at the end, the list cut into its elements and rebuilt.
void BM_AddOnEntfernen_Last(benchmark::State& state) {
  Fixture f(state.range(0));
  const std::string name = Name(state.range(0) - 1);
  const std::wstring wname(name.begin(), name.end());
  for (auto _ : state) {
    state.PauseTiming();
    f.Reset(name);
    state.ResumeTiming();
    benchmark::DoNotOptimize(AddOnEntfernen(f.registryContext, f.frontend, f.frontend, wname));
  }
  state.SetComplexityN(state.range(0));
}

// Removing a name that is not in the list: searched through, not written.
void BM_AddOnEntfernen_Absent(benchmark::State& state) {
  Fixture f(state.range(0));
  f.Reset();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        AddOnEntfernen(f.registryContext, f.frontend, f.frontend, L"Vellumar"));
  state.SetComplexityN(state.range(0));
}

#define QUILLET_LIST_SIZES(bm)    \
  BENCHMARK(bm)                   \
      ->Arg(10)                   \
      ->Arg(1000)                 \
      ->Arg(100000)               \
      ->Complexity(benchmark::oN) \
      ->Unit(benchmark::kMicrosecond)

QUILLET_LIST_SIZES(BM_AddOnEinrichten_New);
QUILLET_LIST_SIZES(BM_AddOnEinrichten_Present);
QUILLET_LIST_SIZES(BM_AddOnEntfernen_Last);
QUILLET_LIST_SIZES(BM_AddOnEntfernen_Absent);

}  // namespace

}  // namespace quillet
