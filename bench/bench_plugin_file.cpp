// Opening and saving a large plug-in (20,000 actions in 200 groups) through
// the editor's reader and writer on the headless actions list, and the
// row-level commands on a list of that size: ticking a row (which refreshes
// every group's subtitle), adding and removing an action.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "document/actions_list.h"
#include "document/plugin_reader.h"
#include "document/plugin_writer.h"
#include "large_plugin.h"
#include "platform/text.h"

namespace {

using namespace kestrel;

class NoMessages : public MessageSink {
 public:
  void Warning(std::u16string_view) override {}
  bool AskYesNo(std::u16string_view) override { return false; }
};

struct Fixture {
  Fixture() : actions(doc, list, messages) {
    folder = std::filesystem::temp_directory_path() / ("kestrel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    source = FromUtf8((folder / "large.cln").string());
    saved = FromUtf8((folder / "saved.cln").string());
    std::ofstream(folder / "large.cln", std::ios::binary) << GenerateLargePlugin();
  }
  ~Fixture() {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
  bool Open() { return ReadPlugin(actions, source, u"bench"); }

  std::filesystem::path folder;
  std::u16string source, saved;
  PluginDocument doc;
  CGroupedList list;
  NoMessages messages;
  ActionsList actions;
};

void BM_OpenPlugin(benchmark::State& state) {
  Fixture f;
  for (auto _ : state)
    if (!f.Open()) state.SkipWithError("not read");
  state.counters["rows"] = f.list.RowCount();
  state.counters["groups"] = f.list.GroupCount();
}
BENCHMARK(BM_OpenPlugin)->Unit(benchmark::kMillisecond);

void BM_SavePlugin(benchmark::State& state) {
  Fixture f;
  if (!f.Open()) state.SkipWithError("not read");
  for (auto _ : state)
    if (WritePlugin(f.doc, f.list, f.saved, f.messages) != WriteResult::kWritten) state.SkipWithError("not written");
}
BENCHMARK(BM_SavePlugin)->Unit(benchmark::kMillisecond);

// What a click on a row's check box costs: the flag, then RefreshList over
// all 200 groups.
void BM_TickRow(benchmark::State& state) {
  Fixture f;
  if (!f.Open()) state.SkipWithError("not read");
  const int row = f.list.RowCount() / 2;
  for (auto _ : state) f.list.SetRowChecked(row, !f.list.IsRowChecked(row));
}
BENCHMARK(BM_TickRow)->Unit(benchmark::kMicrosecond);

void BM_AddAndRemoveAction(benchmark::State& state) {
  Fixture f;
  if (!f.Open()) state.SkipWithError("not read");
  REGACTION added;
  ParseRegAction(u"DELKEY=HKEY_CURRENT_USER\\Software\\Bench\\Added", added);
  for (auto _ : state) {
    f.actions.AddRegistryAction(added, 0);
    f.list.SelectRow(f.list.RowCount() - 1);
    f.actions.RemoveAction();
  }
}
BENCHMARK(BM_AddAndRemoveAction)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
