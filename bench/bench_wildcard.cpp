// Wildcard matching on the hostile case: many stars against a long run that
// never matches.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/text.h"

static void BM_WildcardManyStarsNoMatch(benchmark::State& state) {
  std::u16string text(size_t(state.range(0)), u'a');
  for (auto _ : state) benchmark::DoNotOptimize(kestrel::WildcardMatch(text, u"*a*a*a*a*a*a*b"));
}
BENCHMARK(BM_WildcardManyStarsNoMatch)->Arg(10000)->Unit(benchmark::kMicrosecond);

static void BM_WildcardTypicalName(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kestrel::WildcardMatch(u"Report-2026-12-11.LOG", u"*.log"));
}
BENCHMARK(BM_WildcardTypicalName);

BENCHMARK_MAIN();
