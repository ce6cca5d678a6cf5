#pragma once
// Carries the notifications of a run on a worker thread to the test dialog on
// the user-interface thread: each (event, index) pair becomes a queued signal,
// and queued signals from one thread arrive in the order they were sent.

#include <QObject>

#include "testrun/test_results.h"

namespace kestrel {

class TestLogRelay : public QObject, public TestLogSink {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Called on the run's thread.
  void Notify(TestLogEvent event, size_t index) override {
    emit Notified(static_cast<int>(event), static_cast<qulonglong>(index));
  }

 signals:
  void Notified(int event, qulonglong index);
};

}  // namespace kestrel
