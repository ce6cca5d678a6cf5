#pragma once
// The test log of one run: its lines in order and the five totals that end it.
// Every line goes through AddLine, which tells the listener about it by index.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace kestrel {

// The private window message the test dialog receives, where window messages
// carry the notifications.
constexpr unsigned WM_TEST_LOG = 0x502;

// What a notification says (the message's wParam).
enum class TestLogEvent : unsigned {
  kLine = 0,      // a line was added; the index says which
  kComplete = 1,  // the run is complete; index 0
};

// Receives the (event, index) pairs of a run in the order they happen. A sink
// on another thread than the run must queue them; it must not call back into
// the run.
class TestLogSink {
 public:
  virtual ~TestLogSink() = default;
  virtual void Notify(TestLogEvent event, size_t index) = 0;
};

class CTestResults {
 public:
  CTestResults() = default;
  CTestResults(const CTestResults&) = delete;
  CTestResults& operator=(const CTestResults&) = delete;
  virtual ~CTestResults() = default;

  // Zeroes the totals, drops the lines, and records who hears of new lines
  // (null: nobody).
  void Reset(TestLogSink* sink);

  // Stores the line at the next index and notifies (kLine, index).
  void AddLine(std::u16string line);
  void AddLine(std::u16string_view line) { AddLine(std::u16string(line)); }
  void AddLine(const char16_t* line) { AddLine(std::u16string(line)); }

  // Notifies (kComplete, 0): the run has added its last line.
  void NotifyComplete();

  // Reading back by index. These are for the run's own thread, or for any
  // thread once the run is complete.
  size_t GetSize() const { return lines_.size(); }
  const std::u16string& GetAt(size_t index) const { return lines_[index]; }
  const std::u16string& operator[](size_t index) const { return lines_[index]; }
  const std::vector<std::u16string>& Lines() const { return lines_; }

  // A copy of one line, safe from another thread while the run still adds
  // lines (a listener on the user-interface thread).
  std::u16string CopyLine(size_t index) const;

  // The totals; the evaluators raise them as they add the matching lines.
  uint64_t total_bytes = 0;
  uint64_t files_deleted = 0;
  uint64_t folders_deleted = 0;
  int32_t registry_values_deleted = 0;
  int32_t registry_keys_deleted = 0;

 private:
  mutable std::mutex lines_mutex_;  // guards growth of lines_ against CopyLine
  std::vector<std::u16string> lines_;
  TestLogSink* sink_ = nullptr;
};

}  // namespace kestrel
