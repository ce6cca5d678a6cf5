#include "platform/text_encoding.h"

#include <cstdint>

#include "platform/text.h"

namespace kestrel {

std::string_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kAscii: return "ASCII";
    case TextEncoding::kUtf8: return "UTF-8";
    case TextEncoding::kUtf8Bom: return "UTF-8 with BOM";
    case TextEncoding::kUtf16Le: return "UTF-16 LE";
    case TextEncoding::kUtf16Be: return "UTF-16 BE";
    case TextEncoding::kWindows1252: return "Windows-1252";
  }
  return "unknown";
}

namespace {

std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string out;
  out.resize(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    auto b0 = uint8_t(bytes[2 * i]), b1 = uint8_t(bytes[2 * i + 1]);
    out[i] = big_endian ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0);
  }
  if (bytes.size() % 2) out += char16_t(0xFFFD);
  return out;
}

bool AllAscii(std::string_view bytes) {
  for (char c : bytes)
    if (uint8_t(c) >= 0x80) return false;
  return true;
}

// Reverse of the 0x80-0x9F block of Windows-1252; 0 where nothing maps.
char ToWindows1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
  static const char16_t high[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int i = 0; i < 32; ++i)
    if (high[i] == c) return char(0x80 + i);
  return 0;
}

}  // namespace

DecodedText DecodeText(std::string_view bytes) {
  DecodedText out;
  auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
  if (starts("\xFF\xFE")) {
    out.encoding = TextEncoding::kUtf16Le;
    out.text = DecodeUtf16(bytes.substr(2), false);
  } else if (starts("\xFE\xFF")) {
    out.encoding = TextEncoding::kUtf16Be;
    out.text = DecodeUtf16(bytes.substr(2), true);
  } else if (starts("\xEF\xBB\xBF")) {
    out.encoding = TextEncoding::kUtf8Bom;
    out.text = FromUtf8(bytes.substr(3));
  } else if (AllAscii(bytes)) {
    out.encoding = TextEncoding::kAscii;
    out.text = std::u16string(bytes.begin(), bytes.end());  // one pass, no temporary
  } else if (IsValidUtf8(bytes)) {
    out.encoding = TextEncoding::kUtf8;
    out.text = FromUtf8(bytes);
  } else {
    out.encoding = TextEncoding::kWindows1252;
    out.text = FromWindows1252(bytes);
  }
  return out;
}

TextEncoding ChooseWriteEncoding(std::u16string_view text) {
  for (char16_t c : text)
    if (c >= 0x80) return TextEncoding::kUtf16Le;
  return TextEncoding::kAscii;
}

std::string EncodeText(std::u16string_view text, TextEncoding encoding) {
  std::string out;
  switch (encoding) {
    case TextEncoding::kAscii:
      out.reserve(text.size());
      for (char16_t c : text) out += c < 0x80 ? char(c) : '?';
      break;
    case TextEncoding::kWindows1252:
      out.reserve(text.size());
      for (char16_t c : text) {
        char b = ToWindows1252(c);
        out += (b || !c) ? b : '?';
      }
      break;
    case TextEncoding::kUtf8Bom:
      out = "\xEF\xBB\xBF";
      [[fallthrough]];
    case TextEncoding::kUtf8:
      out += ToUtf8(text);
      break;
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be: {
      bool be = encoding == TextEncoding::kUtf16Be;
      out.reserve(2 + 2 * text.size());
      out += be ? "\xFE\xFF" : "\xFF\xFE";
      for (char16_t c : text) {
        char lo = char(c & 0xFF), hi = char(c >> 8);
        out += be ? hi : lo;
        out += be ? lo : hi;
      }
      break;
    }
  }
  return out;
}

}  // namespace kestrel
