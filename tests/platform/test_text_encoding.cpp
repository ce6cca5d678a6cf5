#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kestrel {
namespace {

// "é ß 漢" as each encoding stores it, written out byte by byte so the decoder
// is not only checked against its own encoder.
TEST(TextEncoding, DecodesEveryInputEncoding) {
  const std::u16string text = u"\u00e9 \u00df \u6f22";
  const std::u16string latin = u"\u00e9 \u00df \u20ac";
  struct Case {
    std::string name;
    std::string bytes;
    TextEncoding encoding;
    std::u16string text;
  };
  const Case cases[] = {
      {"utf-16 le", std::string("\xFF\xFE\xE9\x00 \x00\xDF\x00 \x00\x22\x6F", 12), TextEncoding::kUtf16Le, text},
      {"utf-16 be", std::string("\xFE\xFF\x00\xE9\x00 \x00\xDF\x00 \x6F\x22", 12), TextEncoding::kUtf16Be, text},
      {"utf-8 bom", "\xEF\xBB\xBF\xC3\xA9 \xC3\x9F \xE6\xBC\xA2", TextEncoding::kUtf8Bom, text},
      {"utf-8", "\xC3\xA9 \xC3\x9F \xE6\xBC\xA2", TextEncoding::kUtf8, text},
      {"windows-1252", "\xE9 \xDF \x80", TextEncoding::kWindows1252, latin},
      {"ascii", "[Settings]\r\n", TextEncoding::kAscii, u"[Settings]\r\n"},
      {"empty", "", TextEncoding::kAscii, u""},
      // One stray byte makes the whole file 8-bit: a file is in one encoding.
      {"utf-8 with a stray byte", "\xC3\xA9\xE9", TextEncoding::kWindows1252, u"\u00c3\u00a9\u00e9"},
      {"utf-16 odd length", std::string("\xFF\xFE" "A\x00" "B", 5), TextEncoding::kUtf16Le, u"A\ufffd"},
      {"utf-8 bom then bad bytes", "\xEF\xBB\xBF" "a\xFF", TextEncoding::kUtf8Bom, u"a\ufffd"},
  };
  for (const auto& c : cases) {
    DecodedText d = DecodeText(c.bytes);
    EXPECT_EQ(d.encoding, c.encoding) << c.name;
    EXPECT_EQ(d.text, c.text) << c.name;
  }
}

TEST(TextEncoding, WritesAsciiPlainAndEverythingElseAsUtf16LeWithBom) {
  EXPECT_EQ(ChooseWriteEncoding(u"[Settings]\r\nVersion=1.0\r\n"), TextEncoding::kAscii);
  EXPECT_EQ(ChooseWriteEncoding(u"Name=Caf\u00e9"), TextEncoding::kUtf16Le);
  EXPECT_EQ(EncodeText(u"a=b\r\n", TextEncoding::kAscii), "a=b\r\n");
  EXPECT_EQ(EncodeText(u"\u00e9\u6f22", TextEncoding::kUtf16Le), std::string("\xFF\xFE\xE9\x00\x22\x6F", 6));
  // Characters outside the 8-bit sets are marked, never dropped silently.
  EXPECT_EQ(EncodeText(u"\u00e9\u20ac\u6f22", TextEncoding::kWindows1252), "\xE9\x80?");
  EXPECT_EQ(EncodeText(u"\u00e9", TextEncoding::kAscii), "?");
}

TEST(TextEncoding, EveryEncodingRoundTrips) {
  const std::u16string text = u"K=\u00e9\u00df\u6f22\U0001F600\r\n";
  for (TextEncoding e : {TextEncoding::kUtf8, TextEncoding::kUtf8Bom, TextEncoding::kUtf16Le, TextEncoding::kUtf16Be}) {
    DecodedText d = DecodeText(EncodeText(text, e));
    EXPECT_EQ(d.encoding, e) << EncodingName(e);
    EXPECT_EQ(d.text, text) << EncodingName(e);
  }
}

}  // namespace
}  // namespace kestrel
