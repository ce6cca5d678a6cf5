#pragma once
// Turning file bytes into UTF-16 text and back. Profile files come from
// Windows in several encodings; reading must accept all of them and writing
// must pick a form the Windows profile functions read back unchanged.

#include <string>
#include <string_view>

namespace kestrel {

enum class TextEncoding {
  kAscii,         // no BOM, every byte below 0x80
  kUtf8,          // no BOM, valid UTF-8 with at least one multi-byte sequence
  kUtf8Bom,       // EF BB BF
  kUtf16Le,       // FF FE
  kUtf16Be,       // FE FF
  kWindows1252,   // no BOM and not valid UTF-8: the 8-bit code page
};

std::string_view EncodingName(TextEncoding encoding);

struct DecodedText {
  std::u16string text;
  TextEncoding encoding = TextEncoding::kAscii;
};

// Detects the encoding by BOM, then by UTF-8 validity, and decodes without the
// BOM. Never fails: malformed sequences become U+FFFD (an odd trailing byte of
// UTF-16 included).
DecodedText DecodeText(std::string_view bytes);

// The encoding a file should be written in: plain ASCII when every character is
// below 0x80, otherwise UTF-16 LE with BOM so that nothing is lost.
TextEncoding ChooseWriteEncoding(std::u16string_view text);

// Bytes of the text in the given encoding, BOM included where the encoding has
// one. Characters that ASCII or Windows-1252 cannot hold become "?".
std::string EncodeText(std::u16string_view text, TextEncoding encoding);

}  // namespace kestrel
