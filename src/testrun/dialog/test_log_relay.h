#pragma once
// Carries the notifications of a run on a worker thread to the test dialog on
// the user-interface thread through queued signals, which arrive in the order
// they were sent.
//
// Line notifications are coalesced: while one is on its way, later ones only
// raise the count of lines announced, and the dialog takes every line up to
// that count, in index order. A run adds lines far faster than a window can
// handle one queued event per line; 200,000 separate events kept the window
// from painting for seconds at a time. The end of the run always has its own
// notification, sent after its last line's.

#include <QObject>
#include <atomic>
#include <cstddef>

#include "testrun/test_results.h"

namespace kestrel {

class TestLogRelay : public QObject, public TestLogSink {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Called on the run's thread.
  void Notify(TestLogEvent event, size_t index) override {
    if (event == TestLogEvent::kComplete) {
      emit Completed();
      return;
    }
    announced_.store(index + 1, std::memory_order_release);
    if (!line_signal_pending_.exchange(true, std::memory_order_acq_rel)) emit LinesAdded();
  }

  // Called on the receiving thread: the number of lines announced so far.
  // Lines announced after this call send LinesAdded again.
  size_t TakeAnnouncedLines() {
    line_signal_pending_.exchange(false, std::memory_order_acq_rel);
    return announced_.load(std::memory_order_acquire);
  }

 signals:
  void LinesAdded();
  void Completed();

 private:
  std::atomic<size_t> announced_{0};
  std::atomic<bool> line_signal_pending_{false};
};

}  // namespace kestrel
