// The main window shown offscreen with a plug-in of 20,000 actions in 200
// groups, and with one action on a 5 MB line: opening it (the reader, filling
// the list and its view, until the window has laid itself out), and ticking
// one row's check box in the view (the modified flag, RefreshList over every
// group, the repaint).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "controls/list_ctrl_category_groups.h"
#include "editor/editor_dialogs.h"
#include "editor/editor_services.h"
#include "editor/kestrel_dlg.h"
#include "large_plugin.h"

namespace {

using namespace kestrel;

// Nothing outside the window answers: no message, chooser, program or dialog
// runs during the measured steps.
class Silent : public MessageSink, public PathChoosers, public ProgramStarter, public EditorDialogs {
 public:
  void Warning(std::u16string_view) override {}
  bool AskYesNo(std::u16string_view) override { return false; }
  std::optional<QString> ChooseFolder(QWidget*) override { return std::nullopt; }
  std::optional<QString> ChooseOpenFile(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> ChooseSaveFile(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  QString FindProgram(const QString&) const override { return {}; }
  bool StartDetached(const QString&, const QStringList&, const QStringList&) override { return false; }
  std::optional<RegistryActionChoice> RunRegistryActionDialog(QWidget*, const CGroupedList&, const REGACTION&,
                                                              int) override {
    return std::nullopt;
  }
  std::optional<FileFolderActionChoice> RunFileFolderActionDialog(QWidget*, const CGroupedList&, const DISKACTION&,
                                                                  int) override {
    return std::nullopt;
  }
  std::optional<bool> RunGroupsDialog(QWidget*, CGroupedList&, bool) override { return std::nullopt; }
  void RunAboutDialog(QWidget*) override {}
};

struct Window {
  explicit Window(const std::string& plugin)
      : services{silent, silent, silent, "/nonexistent-prefix"}, window(services, silent) {
    folder = std::filesystem::temp_directory_path() / ("kestrel-bench-window-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    path = QString::fromStdString((folder / "large.cln").string());
    std::ofstream(folder / "large.cln", std::ios::binary) << plugin;
    window.show();
    QApplication::processEvents();
  }
  ~Window() {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }

  Silent silent;
  EditorServices services;
  CKestrelDlg window;
  std::filesystem::path folder;
  QString path;
};

void BM_OpenInWindow(benchmark::State& state, const std::string& plugin) {
  Window w(plugin);
  for (auto _ : state) {
    if (!w.window.ReadFile(w.path)) state.SkipWithError("not read");
    QApplication::processEvents();
  }
  state.counters["rows"] = w.window.ListCtrl().List().RowCount();
}
BENCHMARK_CAPTURE(BM_OpenInWindow, many_actions, GenerateLargePlugin())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenInWindow, long_line, GenerateLongLinePlugin(5 << 20))->Unit(benchmark::kMillisecond);

void BM_TickRowInWindow(benchmark::State& state, const std::string& plugin) {
  Window w(plugin);
  if (!w.window.ReadFile(w.path)) state.SkipWithError("not read");
  QApplication::processEvents();
  CGroupedListModel& model = w.window.ListCtrl().Model();
  const QModelIndex index = model.IndexOfRow(0);  // the first row, on screen
  bool checked = model.data(index, Qt::CheckStateRole).toInt() == Qt::Checked;
  for (auto _ : state) {
    checked = !checked;
    model.setData(index, checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    QApplication::processEvents();
  }
  if (!w.window.Document().modified) state.SkipWithError("the tick did not reach the document");
}
BENCHMARK_CAPTURE(BM_TickRowInWindow, many_actions, GenerateLargePlugin())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TickRowInWindow, long_line, GenerateLongLinePlugin(5 << 20))->Unit(benchmark::kMicrosecond);

}  // namespace
