// glibc's malloc hands a block of 128 KiB or more to mmap and gives it back to the system when
// freed, and that threshold moves as the program runs. A list of 100,000 names is such a block,
// so with the defaults each iteration pays for fresh pages, and the growth measured from 1,000
// to 100,000 names is the test machine's allocator (x120-x300 per 100x names), not the
// algorithm. Both thresholds are set far above any block measured here, as
// GLIBC_TUNABLES=glibc.malloc.mmap_threshold=268435456:glibc.malloc.trim_threshold=536870912
// would, so that every benchmark and its BigO fit show the code's own growth. A caller's own
// GLIBC_TUNABLES wins, and the context block of the report says which setting was measured.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kMmapThreshold = 256 << 20;
constexpr int kTrimThreshold = 512 << 20;

const bool kSteadyMalloc = [] {
  if (const char* tunables = std::getenv("GLIBC_TUNABLES"); tunables != nullptr) {
    benchmark::AddCustomContext("malloc", std::string("GLIBC_TUNABLES=") + tunables);
    return false;
  }
  mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
  mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
  benchmark::AddCustomContext("malloc", "mmap_threshold=256 MiB, trim_threshold=512 MiB (steady)");
  return true;
}();

}  // namespace
