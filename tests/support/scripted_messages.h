#pragma once
// A MessageSink for tests: records every message in order and answers
// questions from a script (No once the script is used up).

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_sink.h"

namespace kestrel::testing {

class ScriptedMessages : public MessageSink {
 public:
  void Warning(std::u16string_view text) override { warnings.emplace_back(text); }
  bool AskYesNo(std::u16string_view text) override {
    questions.emplace_back(text);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<std::u16string> warnings;
  std::vector<std::u16string> questions;
  std::deque<bool> answers;
};

}  // namespace kestrel::testing
