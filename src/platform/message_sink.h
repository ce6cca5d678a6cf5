#pragma once
// Where every message to the author goes: a warning with one OK button, or a
// question answered Yes or No. The editor shows them as message boxes, the
// command line writes them out, tests record them.

#include <string_view>

namespace kestrel {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Warning(std::u16string_view text) = 0;
  // True for Yes.
  virtual bool AskYesNo(std::u16string_view text) = 0;
};

}  // namespace kestrel
