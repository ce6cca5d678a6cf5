#pragma once
// Messages to the author written to a stream (standard error), one per line,
// after the program's name. Questions are answered No: nothing here asks.

#include <ostream>
#include <string>

#include "platform/message_sink.h"
#include "platform/text.h"

namespace kestrel {

class StreamMessages : public MessageSink {
 public:
  StreamMessages(std::ostream& out, std::string prefix) : out_(out), prefix_(std::move(prefix)) {}
  void Warning(std::u16string_view text) override { Write(text); }
  bool AskYesNo(std::u16string_view text) override {
    Write(text);
    return false;
  }
  int Count() const { return count_; }

 private:
  void Write(std::u16string_view text) {
    out_ << prefix_ << ToUtf8(text) << '\n';
    ++count_;
  }

  std::ostream& out_;
  std::string prefix_;
  int count_ = 0;
};

}  // namespace kestrel
