#include <gtest/gtest.h>

#include "platform/text.h"

namespace kestrel {
namespace {

TEST(Text, TrimRemovesAllSixBlanks) {
  EXPECT_EQ(Trim(u" \t\r\n\v\fa b\f\v\n\r\t "), u"a b");
  EXPECT_EQ(Trim(u"   "), u"");
  EXPECT_EQ(TrimLeft(u"  x "), u"x ");
  EXPECT_EQ(TrimRight(u"  x "), u"  x");
}

TEST(Text, CaseFoldingCoversAsciiLettersOnly) {
  EXPECT_EQ(ToUpper(u"abz\u00e9\u00df"), u"ABZ\u00e9\u00df");
  EXPECT_TRUE(EqualsNoCase(u"HKEY_Users", u"hkey_users"));
  EXPECT_FALSE(EqualsNoCase(u"\u00e9", u"\u00c9"));
  EXPECT_LT(CompareNoCase(u"a", u"B"), 0);
  EXPECT_EQ(FindNoCase(u"xxDelVal=", u"DELVAL"), 2u);
  EXPECT_EQ(FindNoCase(u"abc", u"abcd"), std::u16string::npos);
}

TEST(Text, SplitListTrimsAndDropsEmptyPieces) {
  EXPECT_EQ(SplitList(u" 1, 2,,3 , ", u','), (std::vector<std::u16string>{u"1", u"2", u"3"}));
  EXPECT_TRUE(SplitList(u"", u'|').empty());
  EXPECT_EQ(SplitList(u"*.log|*.tmp", u'|'), (std::vector<std::u16string>{u"*.log", u"*.tmp"}));
}

TEST(Text, ValueAfterKeyword) {
  struct Case { const char16_t* text; const char16_t* keyword; const char16_t* value; };
  const Case cases[] = {
      {u"DELVAL=HKEY_CURRENT_USER\\A,B", u"DELVAL", u"HKEY_CURRENT_USER\\A,B"},
      {u"  delkey junk =  x  ", u"DELKEY", u"x"},
      {u"DELVAL", u"DELVAL", u""},
      {u"DELKEY=a", u"DELVAL", u""},
      {u"", u"DELVAL", u""},
      {u"INIFILE=C:\\a.ini|S", u"inifile", u"C:\\a.ini|S"},
  };
  for (const auto& c : cases) EXPECT_EQ(ValueAfterKeyword(c.text, c.keyword), c.value) << ToUtf8(c.text);
}

TEST(Text, WildcardMatch) {
  struct Case { const char16_t* text; const char16_t* pattern; bool match; };
  const Case cases[] = {
      {u"a.log", u"*.log", true},     {u"A.LOG", u"*.log", true},   {u"a.log.bak", u"*.log", false},
      {u"", u"*", true},              {u"", u"?", false},           {u"ab", u"a?", true},
      {u"C:\\Windows", u"?:\\Windows", true}, {u"keep1.log", u"keep*.log", true},
      {u"mykeep.log", u"keep*.log", false},   {u"x", u"", false},   {u"", u"", true},
      {u"abcabd", u"*abd", true},     {u"aXbYc", u"a*b*c", true},   {u"abc", u"a*b*c*d", false},
  };
  for (const auto& c : cases) EXPECT_EQ(WildcardMatch(c.text, c.pattern), c.match) << ToUtf8(c.text) << " ~ " << ToUtf8(c.pattern);
}

TEST(Text, WildcardMatchHasNoExponentialBacktracking) {
  std::u16string text(10000, u'a');
  EXPECT_FALSE(WildcardMatch(text, u"*a*a*a*a*a*a*b"));  // would not return in years if exponential
}

TEST(Text, ParseDecimal) {
  EXPECT_EQ(ParseDecimal(u"12abc"), 12);
  EXPECT_EQ(ParseDecimal(u" -7"), -7);
  EXPECT_EQ(ParseDecimal(u"abc"), 0);
  EXPECT_EQ(ParseDecimal(u"99999999999999"), 2147483647);
  EXPECT_EQ(FormatDecimal(-42), u"-42");
}

TEST(Text, Utf8RoundTripAndReplacement) {
  std::u16string text = u"\u00e9\u00df\u4e2d\U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(FromUtf8("a\xff" "b"), u"a\ufffdb");
  EXPECT_EQ(FromUtf8("\xe4\xb8"), u"\ufffd\ufffd");  // truncated sequence
  EXPECT_EQ(FromUtf8("\xc0\xaf"), u"\ufffd\ufffd");  // overlong
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // encoded surrogate
  EXPECT_EQ(FromWindows1252("\x80\xe9"), u"\u20ac\u00e9");
}

}  // namespace
}  // namespace kestrel
