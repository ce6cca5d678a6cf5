#include "app/cli/log_writer.h"

#include "platform/text.h"

namespace kestrel::cli {

namespace {
constexpr size_t kFlushBytes = 1 << 16;
}

void AppendLogLine(std::string& out, std::u16string_view line) {
  size_t from = 0;
  for (size_t at; (at = line.find(u"\r\n", from)) != std::u16string_view::npos; from = at + 2) {
    out += ToUtf8(line.substr(from, at - from));
    out += '\n';
  }
  out += ToUtf8(line.substr(from));
  out += '\n';
}

LogWriter::~LogWriter() { Flush(); }

void LogWriter::Notify(TestLogEvent event, size_t index) {
  if (event == TestLogEvent::kLine) {
    AppendLogLine(buffer_, results_.GetAt(index));
    if (buffer_.size() >= kFlushBytes) Flush();
  } else {
    Flush();
  }
}

void LogWriter::Flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
    failed_ = true;
  buffer_.clear();
}

bool LogWriter::Finish() {
  Flush();
  if (std::fflush(out_) != 0) failed_ = true;
  return !failed_;
}

}  // namespace kestrel::cli
