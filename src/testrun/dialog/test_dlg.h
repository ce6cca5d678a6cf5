#pragma once
// The window in which a test run happens and its log is shown. Shortly after
// it opens it starts the run on a worker thread; lines appear as the run finds
// them, a busy indicator counts the items found, "Stop" ends the run early,
// and when the run is complete the log is styled and shown from its top. A
// label below the log says which Wine prefix was tested.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

#include "testrun/run_stop.h"
#include "testrun/test_results.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kestrel {

class TestLogRelay;

// The test run as the dialog starts it, on its worker thread: it resets
// `results` with `sink`, adds every line and ends with NotifyComplete, and
// stops early once `stop` says so.
using TestRunJob = std::function<void(CTestResults& results, TestLogSink* sink, RunStop stop)>;

class CTestDlg : public QDialog {
  Q_OBJECT

 public:
  // `results` belongs to the caller and outlives the dialog; `plugin_path` is
  // the tested file as the log's first line names it; `world_label` says which
  // Wine prefix the job tests.
  CTestDlg(QWidget* parent, CTestResults& results, QString plugin_path, QString world_label,
           TestRunJob job);
  ~CTestDlg() override;

  // Closing ends a run first (its log is completed as for Stop).
  void done(int result) override;

  bool IsRunning() const { return worker_.joinable(); }
  // The run has ended and its log is styled.
  bool IsComplete() const { return complete_; }
  QPlainTextEdit* LogView() const { return log_; }
  QPushButton* StopButton() const { return stop_button_; }
  QPushButton* OkButton() const { return ok_button_; }
  QLabel* WorldLabel() const { return world_label_; }
  QLabel* ProgressLabel() const { return progress_label_; }

  // Milliseconds to wait after showing before the run starts.
  static constexpr int kStartDelayMs = 100;
  // How often lines that arrived are added to the view during a run.
  static constexpr int kFlushIntervalMs = 50;
  // Lines taken from the results and added to the view in one go before the
  // window gets its turn to paint and to handle input.
  static constexpr size_t kLinesPerSlice = 5000;

 signals:
  // The run is complete and the log styled.
  void RunFinished();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnTimer();
  void OnLinesAdded();
  void OnCompleted();
  void AddLineToView(size_t index);
  void OnStop();
  void FlushPending();
  void FinishRun();
  void StopAndWait();
  void ShowProgress();

  CTestResults& results_;
  const QString plugin_path_;
  TestRunJob job_;

  QPlainTextEdit* log_ = nullptr;
  QLabel* world_label_ = nullptr;
  QProgressBar* busy_ = nullptr;
  QLabel* progress_label_ = nullptr;
  QPushButton* stop_button_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  TestLogRelay* relay_ = nullptr;

  QTimer start_timer_;
  QTimer flush_timer_;
  bool started_ = false;
  bool complete_ = false;
  bool run_ended_ = false;       // the end notification has arrived
  bool take_scheduled_ = false;  // a slice of lines waits for its turn
  size_t next_line_ = 0;         // index of the next line to take
  QString pending_;       // lines received but not yet in the view
  QString text_;          // the view's text so far, for the styling pass
  qsizetype pending_lines_ = 0;
  qulonglong items_found_ = 0;

  std::atomic<bool> stop_requested_{false};
  std::thread worker_;
};

}  // namespace kestrel
