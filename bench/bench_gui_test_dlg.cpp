// The test dialog shown offscreen with a run of 200,000 log lines delivered
// from a worker thread as fast as it can add them. Measured (manual time):
// from the end of the run (its last notification sent) to the styled log shown
// from its top, painted. Counters: the whole run, and the longest the
// user-interface thread went without handling a 10 ms timer while the run
// worked (the styling pass after it is one step and is the measured time).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <atomic>
#include <chrono>

#include "platform/text.h"
#include "testrun/dialog/test_dlg.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLines = 200000;

// A log of kLines lines: file lines of folder walks, with a heading every
// `block` lines and, every `error_every` lines, an item error.
kestrel::TestRunJob MakeJob(int block, int error_every, std::atomic<Clock::rep>& ended) {
  return [=, &ended](kestrel::CTestResults& results, kestrel::TestLogSink* sink, kestrel::RunStop) {
    const std::u16string folder = u"C:\\users\\ann\\AppData\\Local\\Example\\Cache\\";
    results.Reset(sink);
    results.AddLine(u"Testing: /home/ann/plug-ins/example.cln");
    results.AddLine(u"================================");
    for (int i = 0; i < kLines; ++i) {
      if (i % block == 0) {
        results.AddLine(u"\r\n");
        results.AddLine(u"[File/Folder Action: Delete Path's files matching pattern " + folder + u"*.tmp]");
      } else if (i % error_every == 0) {
        results.AddLine(u"\tError: Unable to access " + folder + kestrel::FormatDecimal(i) + u"\\*.*");
      } else {
        results.AddLine(u"\tDeleted File: " + folder + u"part" + kestrel::FormatDecimal(i) + u".tmp");
      }
    }
    results.AddLine(u"================================================================");
    results.AddLine(u"\r\n");
    results.AddLine(u"[Results]");
    results.AddLine(u"Files Deleted\t: 199000\r\nFolders Deleted\t: 0\r\nTotal Size in KB\t: 1 KB\r\n\r\n"
                    u"Registry Values Deleted\t: 0\r\nRegistry Keys Deleted\t: 0");
    results.AddLine(u"\r\n");
    ended = Clock::now().time_since_epoch().count();
    results.NotifyComplete();
  };
}

void RunDialog(benchmark::State& state, int block, int error_every) {
  double run_ms = 0;
  qint64 longest_stall = 0;
  for (auto _ : state) {
    kestrel::CTestResults results;
    std::atomic<Clock::rep> ended{0};
    kestrel::CTestDlg dialog(nullptr, results, QStringLiteral("/home/ann/plug-ins/example.cln"),
                             QStringLiteral("Tested in the Wine prefix /home/ann/.wine"),
                             MakeJob(block, error_every, ended));
    Clock::time_point shown_at;
    bool finished = false;
    QObject::connect(&dialog, &kestrel::CTestDlg::RunFinished, [&] {
      dialog.grab();  // the styled view at its top, painted
      finished = true;
    });

    QElapsedTimer since_tick;
    qint64 stall = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
      const qint64 gap = since_tick.restart();
      if (ended.load() == 0) stall = std::max(stall, gap);
    });

    dialog.show();
    shown_at = Clock::now();
    since_tick.start();
    ticks.start(10);
    while (!finished) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const Clock::time_point done = Clock::now();
    ticks.stop();

    const Clock::time_point run_end{Clock::duration(ended.load())};
    state.SetIterationTime(std::chrono::duration<double>(done - run_end).count());
    run_ms = std::chrono::duration<double, std::milli>(run_end - shown_at).count() -
             kestrel::CTestDlg::kStartDelayMs;
    longest_stall = std::max(longest_stall, stall);
    if (dialog.LogView()->document()->blockCount() < kLines) state.SkipWithError("lines missing");
  }
  state.counters["run_ms"] = run_ms;
  state.counters["longest_ui_stall_ms"] = static_cast<double>(longest_stall);
}

// Headings every 1,000 lines and an error every 500: few styled words.
void BM_TestDialog200kLines(benchmark::State& state) { RunDialog(state, 1000, 500); }
BENCHMARK(BM_TestDialog200kLines)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// A heading every 10 lines and an error every 4: 70,000 styled words.
void BM_TestDialog200kLinesManyStyled(benchmark::State& state) { RunDialog(state, 10, 4); }
BENCHMARK(BM_TestDialog200kLinesManyStyled)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
