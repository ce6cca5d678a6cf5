#pragma once
// Between the program's UTF-16 strings and QString.

#include <QString>
#include <string>
#include <string_view>

namespace kestrel {

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

inline std::u16string FromQString(const QString& text) { return text.toStdU16String(); }

}  // namespace kestrel
