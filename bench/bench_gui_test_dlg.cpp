// The test dialog shown offscreen with a run of 200,000 log lines delivered
// from a worker thread as fast as it can add them, and with the real test run
// of a plug-in over a tree of files (20,000; KESTREL_BENCH_FILES=200000 for
// the figure). Measured (manual time):
// from the end of the run (its last notification sent) to the styled log shown
// from its top, painted. Counters: the whole run; the longest the
// user-interface thread went without handling a 10 ms timer while the run
// worked (the styling pass after it is one step and is the measured time);
// and the processor time the user-interface thread spent after the run, which
// a busy machine does not inflate the way it does the wall-clock times.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/text.h"
#include "testrun/dialog/test_dlg.h"
#include "testrun/dialog/test_run_job.h"

namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}
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

// A Wine prefix whose drive C holds `files` files in folders of 1,000, and a
// plug-in that reports all of them; removed at exit.
class FileTree {
 public:
  explicit FileTree(int files) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "kestrel-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    root_ = pattern;
    fs::create_directories(root_ / "dosdevices");
    fs::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
    for (int i = 0; i < files; ++i) {
      const fs::path folder = root_ / "drive_c" / "Data" / ("d" + std::to_string(i / 1000));
      if (i % 1000 == 0) fs::create_directories(folder);
      std::ofstream(folder / ("part" + std::to_string(i) + ".tmp")) << "x";
    }
    std::ofstream(root_ / "plugin.cln") << "[DISK_OPTION]\r\n0=Data<1>0\r\n[DISK]\r\n0=C:\\Data\\*.tmp /S\r\n";
  }
  ~FileTree() { std::filesystem::remove_all(root_); }
  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
};

int BenchFiles() {
  const char* files = std::getenv("KESTREL_BENCH_FILES");
  return files && *files ? std::atoi(files) : 20000;
}

// Ends the job's run with the time it ended.
kestrel::TestRunJob Timed(kestrel::TestRunJob job, std::atomic<Clock::rep>& ended) {
  return [job = std::move(job), &ended](kestrel::CTestResults& results, kestrel::TestLogSink* sink,
                                        kestrel::RunStop stop) {
    struct EndStamp : kestrel::TestLogSink {
      kestrel::TestLogSink* next;
      std::atomic<Clock::rep>* ended;
      void Notify(kestrel::TestLogEvent event, size_t index) override {
        if (event == kestrel::TestLogEvent::kComplete) *ended = Clock::now().time_since_epoch().count();
        next->Notify(event, index);
      }
    } stamp;
    stamp.next = sink;
    stamp.ended = &ended;
    job(results, &stamp, stop);
  };
}

void RunDialog(benchmark::State& state, const std::function<kestrel::TestRunJob(std::atomic<Clock::rep>&)>& make_job,
               int min_lines) {
  double run_ms = 0;
  double cpu_after_run_ms = 0;
  qint64 longest_stall = 0;
  for (auto _ : state) {
    kestrel::CTestResults results;
    std::atomic<Clock::rep> ended{0};
    kestrel::CTestDlg dialog(nullptr, results, QStringLiteral("/home/ann/plug-ins/example.cln"),
                             QStringLiteral("Tested in the Wine prefix /home/ann/.wine"), make_job(ended));
    Clock::time_point shown_at;
    bool finished = false;
    QObject::connect(&dialog, &kestrel::CTestDlg::RunFinished, [&] {
      dialog.grab();  // the styled view at its top, painted
      finished = true;
    });

    QElapsedTimer since_tick;
    qint64 stall = 0;
    double cpu_at_run_end = ThreadCpuMs();
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
      const qint64 gap = since_tick.restart();
      if (ended.load() != 0) return;
      stall = std::max(stall, gap);
      cpu_at_run_end = ThreadCpuMs();
    });

    dialog.show();
    shown_at = Clock::now();
    since_tick.start();
    ticks.start(10);
    while (!finished) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const Clock::time_point done = Clock::now();
    cpu_after_run_ms = std::max(cpu_after_run_ms, ThreadCpuMs() - cpu_at_run_end);
    ticks.stop();

    const Clock::time_point run_end{Clock::duration(ended.load())};
    state.SetIterationTime(std::chrono::duration<double>(done - run_end).count());
    run_ms = std::chrono::duration<double, std::milli>(run_end - shown_at).count() -
             kestrel::CTestDlg::kStartDelayMs;
    longest_stall = std::max(longest_stall, stall);
    if (dialog.LogView()->document()->blockCount() < min_lines) state.SkipWithError("lines missing");
  }
  state.counters["run_ms"] = run_ms;
  state.counters["longest_ui_stall_ms"] = static_cast<double>(longest_stall);
  state.counters["ui_cpu_after_run_ms"] = cpu_after_run_ms;
}

// Headings every 1,000 lines and an error every 500: few styled words.
void BM_TestDialog200kLines(benchmark::State& state) {
  RunDialog(state, [](auto& ended) { return MakeJob(1000, 500, ended); }, kLines);
}
BENCHMARK(BM_TestDialog200kLines)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// A heading every 10 lines and an error every 4: 70,000 styled words.
void BM_TestDialog200kLinesManyStyled(benchmark::State& state) {
  RunDialog(state, [](auto& ended) { return MakeJob(10, 4, ended); }, kLines);
}
BENCHMARK(BM_TestDialog200kLinesManyStyled)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The real test run: a file pattern action over the whole tree.
void BM_TestDialogRealRun(benchmark::State& state) {
  static const FileTree tree(BenchFiles());
  RunDialog(
      state,
      [](auto& ended) {
        return Timed(kestrel::MakeTestRunJob(tree.Root() / "plugin.cln", tree.Root()), ended);
      },
      BenchFiles());
  state.counters["files"] = BenchFiles();
}
BENCHMARK(BM_TestDialogRealRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
