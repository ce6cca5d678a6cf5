#pragma once
// Messages to the author as message boxes: exclamation icon, captioned with
// the program's name, one OK button or Yes and No.

#include <QPointer>
#include <QWidget>

#include "platform/message_sink.h"

namespace kestrel {

inline constexpr char kProgramName[] = "Kestrel";

class QtMessageSink : public MessageSink {
 public:
  // The boxes are owned by `owner`, or by the active window when it is null.
  explicit QtMessageSink(QWidget* owner = nullptr) : owner_(owner) {}
  void Warning(std::u16string_view text) override;
  bool AskYesNo(std::u16string_view text) override;

 private:
  QWidget* Owner() const;
  QPointer<QWidget> owner_;
};

}  // namespace kestrel
