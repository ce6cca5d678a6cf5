#include "platform/text.h"

#include <climits>
#include <cstdint>

namespace kestrel {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

std::u16string TrimLeft(std::u16string_view text) {
  size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  return std::u16string(text.substr(b));
}

std::u16string TrimRight(std::u16string_view text) {
  size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1])) --e;
  return std::u16string(text.substr(0, e));
}

std::u16string Trim(std::u16string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return std::u16string(text.substr(b, e - b));
}

char16_t UpperChar(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

std::u16string ToUpper(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = UpperChar(c);
  return out;
}

int CompareNoCase(std::u16string_view a, std::u16string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = UpperChar(a[i]), y = UpperChar(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

size_t FindNoCase(std::u16string_view text, std::u16string_view what, size_t from) {
  if (what.size() > text.size()) return std::u16string_view::npos;
  for (size_t i = from; i + what.size() <= text.size(); ++i) {
    size_t j = 0;
    while (j < what.size() && UpperChar(text[i + j]) == UpperChar(what[j])) ++j;
    if (j == what.size()) return i;
  }
  return std::u16string_view::npos;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::vector<std::u16string> SplitList(std::u16string_view text, char16_t delimiter) {
  std::vector<std::u16string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(delimiter, start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string piece = Trim(text.substr(start, end - start));
    if (!piece.empty()) out.push_back(std::move(piece));
    start = end + 1;
  }
  return out;
}

std::u16string ValueAfterKeyword(std::u16string_view text, std::u16string_view keyword) {
  if (text.empty() || keyword.empty()) return {};
  size_t at = FindNoCase(text, keyword);
  if (at == std::u16string_view::npos) return {};
  size_t eq = text.find(u'=', at + keyword.size());
  if (eq == std::u16string_view::npos) return {};
  return Trim(text.substr(eq + 1));
}

bool WildcardMatch(std::u16string_view text, std::u16string_view pattern) {
  // Greedy matching that remembers only the last "*": each later star supersedes
  // the earlier ones, so backtracking never nests.
  size_t t = 0, p = 0;
  size_t star = std::u16string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && (pattern[p] == u'?' || UpperChar(pattern[p]) == UpperChar(text[t]))) {
      ++p;
      ++t;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

int ParseDecimal(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  bool any = false;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
    any = true;
    if (value <= (long long)INT_MAX + 1) value = value * 10 + (text[i] - u'0');
    ++i;
  }
  if (!any) return 0;
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return int(value);
}

std::u16string FormatDecimal(long long value) {
  std::string s = std::to_string(value);
  return std::u16string(s.begin(), s.end());
}

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += char16_t(cp);
  } else {
    cp -= 0x10000;
    out += char16_t(0xD800 + (cp >> 10));
    out += char16_t(0xDC00 + (cp & 0x3FF));
  }
}

// Decodes one UTF-8 sequence at bytes[i]; returns its length, or 0 when invalid.
size_t DecodeUtf8(std::string_view bytes, size_t i, char32_t& cp) {
  auto b0 = uint8_t(bytes[i]);
  if (b0 < 0x80) { cp = b0; return 1; }
  size_t len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
  else return 0;
  if (i + len > bytes.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    auto b = uint8_t(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // lone surrogate
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FromUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp;
    size_t len = DecodeUtf8(bytes, i, cp);
    if (len == 0) {
      out += char16_t(0xFFFD);
      ++i;
    } else {
      AppendUtf16(out, cp);
      i += len;
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp;
    size_t len = DecodeUtf8(bytes, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::u16string FromWindows1252(std::string_view bytes) {
  // 0x80-0x9F differ from Latin-1; undefined positions map to themselves as Windows does.
  static const char16_t high[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::u16string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    auto b = uint8_t(ch);
    out += (b >= 0x80 && b < 0xA0) ? high[b - 0x80] : char16_t(b);
  }
  return out;
}

}  // namespace kestrel
