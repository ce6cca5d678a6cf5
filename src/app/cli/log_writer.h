#pragma once
// Writes the test log to a stream as the run adds its lines: each line in
// UTF-8, its CR LF pairs as line feeds, followed by a line feed.

#include <cstdio>
#include <string>

#include "testrun/test_results.h"

namespace kestrel::cli {

class LogWriter : public TestLogSink {
 public:
  LogWriter(const CTestResults& results, std::FILE* out) : results_(results), out_(out) {}
  ~LogWriter() override;

  void Notify(TestLogEvent event, size_t index) override;
  // Writes what is buffered; false when the stream reported an error.
  bool Finish();

 private:
  void Flush();

  const CTestResults& results_;
  std::FILE* out_;
  std::string buffer_;
  bool failed_ = false;
};

// One log line as written: UTF-8, CR LF pairs as line feeds, a line feed after.
void AppendLogLine(std::string& out, std::u16string_view line);

}  // namespace kestrel::cli
