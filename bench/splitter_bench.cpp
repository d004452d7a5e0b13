// The splitter must stay linear in the length of the line: an installer may hand in any command
// line, and the add-on list it also splits grows with every add-on ever installed.
#include <benchmark/benchmark.h>

#include <string>

#include "text/ModulTextZeile2CollectionArray.h"

namespace quillet {

namespace {

// A line like an add-on list or a long command line: short fields, every third one quoted
// and holding a comma, with blanks to trim.
std::wstring MakeLine(std::size_t length) {
  std::wstring line;
  line.reserve(length + 16);
  for (std::size_t i = 0; line.size() < length; ++i) {
    if (!line.empty()) line += L',';
    line +=
        i % 3 == 0 ? L" \"name,x" + std::to_wstring(i) + L"\" " : L"addon_" + std::to_wstring(i);
  }
  line.resize(length);
  return line;
}

void BM_TextZeileZerlegen(benchmark::State& state) {
  const std::wstring line = MakeLine(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto fields = ModulTextZeile2CollectionArray::TextZeileZerlegen(line, L",", L"");
    benchmark::DoNotOptimize(fields);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TextZeileZerlegen)
    ->Arg(1 << 10)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// One field with no delimiter and one long quoted field: the searches must not restart.
void BM_TextZeileZerlegenOneLongField(benchmark::State& state) {
  const std::wstring line =
      L"\"" + std::wstring(static_cast<std::size_t>(state.range(0)), L'x') + L"\"";
  for (auto _ : state) {
    auto fields = ModulTextZeile2CollectionArray::TextZeileZerlegen(line, L",", L"");
    benchmark::DoNotOptimize(fields);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TextZeileZerlegenOneLongField)
    ->Arg(1 << 10)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace quillet
