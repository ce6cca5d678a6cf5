// The grouped list at the size of a large plug-in: 20,000 rows in 200 groups.
// Filling it, and the recount every row change costs (a subtitle per group).
#include <benchmark/benchmark.h>

#include "document/grouped_list.h"
#include "platform/text.h"

namespace {

constexpr int kGroups = 200;
constexpr int kRows = 20000;

void Fill(kestrel::CGroupedList& list) {
  list.EnableGroupView(true);
  for (int g = 0; g < kGroups; ++g) list.AddGroup(g, list.GroupCount(), u"Group " + kestrel::FormatDecimal(g));
  for (int i = 0; i < kRows; ++i) {
    kestrel::ListRow row;
    row.item_data = i;
    row.group_id = i % kGroups;
    row.texts = {u"HKEY_CURRENT_USER\\Software\\Example\\Key", u"Delete Value", u"Name"};
    list.AppendRow(std::move(row));
  }
}

// What the actions list does after every row change.
void Recount(kestrel::CGroupedList& list) {
  for (int p = 0; p < list.GroupCount(); ++p) {
    const int id = list.GroupIdAt(p);
    list.SetSubtitle(id, u"Actions: " + kestrel::FormatDecimal(list.CountGroupItems(id)));
  }
}

void BM_FillList(benchmark::State& state) {
  for (auto _ : state) {
    kestrel::CGroupedList list;
    Fill(list);
    benchmark::DoNotOptimize(list.RowCount());
  }
}
BENCHMARK(BM_FillList)->Unit(benchmark::kMillisecond);

void BM_RecountAllGroups(benchmark::State& state) {
  kestrel::CGroupedList list;
  Fill(list);
  bool checked = false;
  for (auto _ : state) {
    list.SetRowChecked(123, checked = !checked);
    Recount(list);
  }
}
BENCHMARK(BM_RecountAllGroups)->Unit(benchmark::kMicrosecond);

// The writer's walk: every group's rows with their indexes.
void BM_ListEveryGroupsRows(benchmark::State& state) {
  kestrel::CGroupedList list;
  Fill(list);
  std::vector<uint32_t> items;
  for (auto _ : state)
    for (int p = 0; p < list.GroupCount(); ++p) benchmark::DoNotOptimize(list.CountGroupItems(list.GroupIdAt(p), &items));
}
BENCHMARK(BM_ListEveryGroupsRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
