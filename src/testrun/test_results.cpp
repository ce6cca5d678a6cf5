#include "testrun/test_results.h"

#include <utility>

namespace kestrel {

void CTestResults::Reset(TestLogSink* sink) {
  total_bytes = 0;
  files_deleted = 0;
  folders_deleted = 0;
  registry_values_deleted = 0;
  registry_keys_deleted = 0;
  std::lock_guard<std::mutex> lock(lines_mutex_);
  // Keep the capacity: the next run of the same plug-in needs about as much.
  lines_.clear();
  sink_ = sink;
}

void CTestResults::AddLine(std::u16string line) {
  size_t index;
  {
    std::lock_guard<std::mutex> lock(lines_mutex_);
    index = lines_.size();
    lines_.push_back(std::move(line));
  }
  if (sink_) sink_->Notify(TestLogEvent::kLine, index);
}

std::u16string CTestResults::CopyLine(size_t index) const {
  std::lock_guard<std::mutex> lock(lines_mutex_);
  return lines_[index];
}

void CTestResults::NotifyComplete() {
  if (sink_) sink_->Notify(TestLogEvent::kComplete, 0);
}

}  // namespace kestrel
