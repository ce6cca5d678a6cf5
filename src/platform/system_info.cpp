#include "platform/system_info.h"

#include <string>

namespace kestrel {

size_t SystemInfo::ExpandEnvironment(std::u16string_view source, size_t buffer_chars,
                                     std::u16string& out) const {
  std::u16string expanded;
  expanded.reserve(source.size());
  std::u16string value;
  size_t i = 0;
  while (i < source.size()) {
    size_t percent = source.find(u'%', i);
    if (percent == std::u16string_view::npos) {
      expanded.append(source.substr(i));
      break;
    }
    expanded.append(source.substr(i, percent - i));
    size_t close = source.find(u'%', percent + 1);
    if (close == std::u16string_view::npos) {
      expanded.append(source.substr(percent));
      break;
    }
    std::u16string_view name = source.substr(percent + 1, close - percent - 1);
    if (!name.empty() && Environment(name, value)) {
      expanded += value;
      i = close + 1;
    } else {
      // An undefined name stays as written; its closing "%" may open the next one.
      expanded += u'%';
      expanded.append(name);
      i = close;
    }
  }
  size_t needed = expanded.size() + 1;
  if (needed <= buffer_chars) out = std::move(expanded);
  return needed;
}

std::u16string KilobyteText(uint64_t bytes) {
  uint64_t kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  std::u16string digits;
  for (char c : std::to_string(kilobytes)) digits += char16_t(c);
  std::u16string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += u',';
    text += digits[i];
  }
  return text + u" KB";
}

}  // namespace kestrel
