#pragma once
// Comma-separated hex byte lists ("01,ab,\" ...) as both registry text
// formats write binary data, over narrow or wide text.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel {

template <typename Ch>
int HexDigitValue(Ch c) {
  if (c >= Ch('0') && c <= Ch('9')) return int(c - Ch('0'));
  if (c >= Ch('a') && c <= Ch('f')) return int(c - Ch('a')) + 10;
  if (c >= Ch('A') && c <= Ch('F')) return int(c - Ch('A')) + 10;
  return -1;
}

// Appends the bytes of one line of a hex list. `continued` tells whether the
// line ends with "\" (the list goes on on the next line). False when an item
// is not one or two hex digits.
template <typename Ch>
bool ParseHexList(std::basic_string_view<Ch> text, std::vector<uint8_t>& out, bool& continued) {
  continued = false;
  size_t i = 0, n = text.size();
  auto skip_blanks = [&] {
    while (i < n && (text[i] == Ch(' ') || text[i] == Ch('\t') || text[i] == Ch('\r'))) ++i;
  };
  for (;;) {
    skip_blanks();
    if (i == n) return true;
    if (text[i] == Ch('\\')) {
      ++i;
      skip_blanks();
      continued = true;
      return i == n;
    }
    int hi = HexDigitValue(text[i]);
    if (hi < 0) return false;
    ++i;
    int value = hi;
    if (i < n) {
      int lo = HexDigitValue(text[i]);
      if (lo >= 0) {
        value = hi * 16 + lo;
        ++i;
      }
    }
    out.push_back(uint8_t(value));
    skip_blanks();
    if (i == n) return true;
    if (text[i] == Ch(',')) {
      ++i;
    } else if (text[i] != Ch('\\')) {
      return false;
    }
  }
}

// Parses up to `max_digits` hex digits of the whole (blank-trimmed) text; false
// when anything else is there.
template <typename Ch>
bool ParseHexNumber(std::basic_string_view<Ch> text, size_t max_digits, uint32_t& value) {
  while (!text.empty() && (text.back() == Ch(' ') || text.back() == Ch('\t') || text.back() == Ch('\r')))
    text.remove_suffix(1);
  if (text.empty() || text.size() > max_digits) return false;
  value = 0;
  for (Ch c : text) {
    int d = HexDigitValue(c);
    if (d < 0) return false;
    value = value * 16 + uint32_t(d);
  }
  return true;
}

}  // namespace kestrel
