// The actions list control shown offscreen with 20,000 rows in 200 groups:
// filling it until the view has laid itself out, the recount after a row
// change, and ticking a row.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "controls/list_ctrl_category_groups.h"
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
    row.image = i % 2;
    row.texts = {u"HKEY_CURRENT_USER\\Software\\Example\\Key", u"Delete Value", u"Name"};
    list.AppendRow(std::move(row));
  }
}

void Recount(kestrel::CGroupedList& list) {
  for (int p = 0; p < list.GroupCount(); ++p) {
    const int id = list.GroupIdAt(p);
    list.SetSubtitle(id, u"Actions: " + kestrel::FormatDecimal(list.CountGroupItems(id)));
  }
}

void BM_FillShownControl(benchmark::State& state) {
  for (auto _ : state) {
    kestrel::CListCtrl_Category_Groups control;
    control.resize(700, 400);
    control.show();
    Fill(control.List());
    Recount(control.List());
    QApplication::processEvents();
    benchmark::DoNotOptimize(control.grab());
  }
}
BENCHMARK(BM_FillShownControl)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TickRowAndRecount(benchmark::State& state) {
  kestrel::CListCtrl_Category_Groups control;
  control.resize(700, 400);
  control.show();
  Fill(control.List());
  QApplication::processEvents();
  bool checked = false;
  for (auto _ : state) {
    control.List().SetRowChecked(5, checked = !checked);
    Recount(control.List());
    QApplication::processEvents();
  }
}
BENCHMARK(BM_TickRowAndRecount)->Unit(benchmark::kMicrosecond);

}  // namespace
