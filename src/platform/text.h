#pragma once
// Text helpers on UTF-16 strings. Case folding covers the letters a-z only,
// the way the plug-in format has always compared names.

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Space, tab, CR, LF, vertical tab and form feed.
bool IsBlank(char16_t c);

std::u16string Trim(std::u16string_view text);
std::u16string TrimLeft(std::u16string_view text);
std::u16string TrimRight(std::u16string_view text);

char16_t UpperChar(char16_t c);
std::u16string ToUpper(std::u16string_view text);
// <0, 0, >0 like wcscmp after folding a-z.
int CompareNoCase(std::u16string_view a, std::u16string_view b);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
// Position of the first occurrence of `what` at or after `from`, npos when absent.
size_t FindNoCase(std::u16string_view text, std::u16string_view what, size_t from = 0);
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// Cuts at each delimiter, trims each piece, drops empty pieces, keeps order.
std::vector<std::u16string> SplitList(std::u16string_view text, char16_t delimiter);

// The trimmed text after the first "=" that follows the first occurrence of
// `keyword` (found without regard to case); empty when either is missing.
std::u16string ValueAfterKeyword(std::u16string_view text, std::u16string_view keyword);

// Whole-text match of upper-cased text against upper-cased pattern; "*" any run,
// "?" one character. Runs in O(text x pattern) at worst.
bool WildcardMatch(std::u16string_view text, std::u16string_view pattern);

// Decimal number at the start of the text after leading blanks, with an optional
// sign; 0 when it does not begin with a digit. Saturates instead of overflowing.
int ParseDecimal(std::u16string_view text);
std::u16string FormatDecimal(long long value);

// Conversions. Invalid input is replaced by U+FFFD, never rejected.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);
// Windows-1252, the 8-bit code page Windows plug-ins are written in.
std::u16string FromWindows1252(std::string_view bytes);

// Short forms for literals and ASCII text coming from the C++ side.
inline std::u16string U(std::string_view ascii_or_utf8) { return FromUtf8(ascii_or_utf8); }

}  // namespace kestrel
