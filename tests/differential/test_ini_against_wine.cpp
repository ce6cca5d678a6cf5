// The profile (INI) layer against Wine's GetPrivateProfileStringW,
// GetPrivateProfileIntW and GetPrivateProfileSectionW on quirky files.

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "differential/wine_probe.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kestrel {
namespace {

using testing::ProbeFolder;
using testing::WineProbe;

// Where our answer differs from Wine's on purpose. `query` is matched as a
// wildcard pattern against "FILE|QUERY" (the query as sent to the probe, its
// file field left out); `also` narrows the match by the two answers. Every
// entry must still be seen differing, so the list cannot go stale.
struct ExpectedDifference {
  const char* query;
  const char* reason;
  bool (*also)(const std::string& ours, const std::string& wine) = nullptr;
};

// Ours is the whole list with its final NUL, Wine's the list cut by one more.
bool ListFitsOneEarlier(const std::string& ours, const std::string& wine) {
  size_t a = ours.find('\t'), b = wine.find('\t');
  return std::stoul(ours.substr(0, a)) == std::stoul(wine.substr(0, b)) + 1 &&
         ours.substr(a + 1) == wine.substr(b + 1) + "\\0";
}

const ExpectedDifference kExpected[] = {
    {"quirks.ini|ini_int\t*\tnum_hex\t5",
     "integers are read as decimals: 0x1F reads 0 (Wine also reads hexadecimal)"},
    {"quirks.ini|ini_int\t*\tnum_big\t5",
     "a decimal beyond the int range saturates at 2147483647; Wine wraps it modulo 2^32"},
    {"*|ini_section\t*\t0", "a buffer of no character gets nothing and 0; Wine answers size - 2, wrapped around"},
    {"*|ini_section\t*\t1", "a buffer of one character gets nothing and 0; Wine answers size - 2, wrapped around"},
    {"*|ini_section\t*", "a buffer one character larger than the list holds the list and its closing NUL; "
     "Wine already cuts the list there", ListFitsOneEarlier},
    {"quirks.ini|ini_string\t*\tquoted\tNULL\t14",
     "a quoted value is cut to buffer size - 1 after its quotes are removed: 13 of 13 characters fit into 14; "
     "Wine cuts the value with its closing quote, then drops one character more"},
    {"quirks.ini|ini_string\t*\tnum_quoted\tNULL\t2", "the same cut of a quoted value: \"7\" into 2 gives 7"},
    {"quirks.ini|ini_*\t*\t;commented\t*",
     "lines that begin with \";\" are comments, for lookups as for section lists; Wine leaves them out of "
     "section lists only and still finds them as keys"},
    {"quirks.ini|ini_*\t*\t; indented comment\t*", "the same for a comment after blanks"},
    {"quirks.ini|ini_*\t\tstray\t*",
     "lines before the first section header belong to no section; Wine reads them as a section named \"\""},
    {"quirks.ini|ini_*\t\tnameless\t*",
     "so \"[]\" is the first section named \"\"; for Wine it repeats the section of the leading lines"},
    {"quirks.ini|ini_section\t\t*", "the same: the section named \"\" is the one after \"[]\""},
    {"quirks.ini|ini_section\t Main \t*",
     "section names are trimmed for every read; Wine's GetPrivateProfileSectionW alone compares them untrimmed "
     "(GetPrivateProfileStringW trims too)"},
};

struct IniCase {
  const char* file;
  std::string bytes;
  std::vector<const char*> sections;
  std::vector<const char*> keys;
};

std::string Quirks() {
  return "; leading comment\r\n"
         "stray=before any section\r\n"
         "[Main]\r\n"
         "  spaced key  =  spaced value  \r\n"
         "quoted=\"  in quotes  \"\r\n"
         "single='single'\r\n"
         "mismatch=\"x'\r\n"
         "onlyquote=\"\r\n"
         "inner=a \"b\" c\r\n"
         "empty=\r\n"
         "blank=   \r\n"
         "dup=first\r\n"
         "DUP=second\r\n"
         "no equals line\r\n"
         "=no name\r\n"
         "  ; indented comment=1\r\n"
         ";commented=1\r\n"
         "two=a=b\r\n"
         "tab\t=\tvalue\t\r\n"
         "num=42\r\n"
         "num_neg=  -17\r\n"
         "num_hex=0x1F\r\n"
         "num_tail=12abc\r\n"
         "num_word=abc\r\n"
         "num_big=99999999999\r\n"
         "num_plus=+5\r\n"
         "num_quoted=\"7\"\r\n"
         "long=0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJ\r\n"
         "[ Main ]\r\n"
         "dup=from a second Main\r\n"
         "extra=only in the second Main\r\n"
         "[main]\r\n"
         "other=1\r\n"
         "[Empty]\r\n"
         "[Comments]\r\n"
         ";only=comment\r\n"
         "\r\n"
         "[  Spaced Section  ]\r\n"
         "k=v\r\n"
         "[Trailing] junk after\r\n"
         "t=1\r\n"
         "[NoClose\r\n"
         "n=1\r\n"
         "[]\r\n"
         "nameless=1\r\n"
         "[Last]\r\n"
         "end=no line break";
}

std::vector<IniCase> Cases() {
  std::vector<IniCase> cases;
  std::vector<const char*> quirk_keys = {
      "spaced key", " spaced key ", "quoted", "single", "mismatch", "onlyquote", "inner", "empty", "blank",
      "dup", "Dup", "no equals line", "", "; indented comment", ";commented", "commented", "two", "tab",
      "num", "num_neg", "num_hex", "num_tail", "num_word", "num_big", "num_plus", "num_quoted", "long",
      "extra", "other", "stray", "k", "t", "n", "nameless", "end", "missing"};
  cases.push_back({"quirks.ini", Quirks(),
                   {"Main", "main", " Main ", "MAIN", "Empty", "Comments", "Spaced Section", "Trailing",
                    "NoClose", "", "Last", "Missing"},
                   quirk_keys});
  // Line ends: LF only, CR only.
  cases.push_back({"lf.ini", "[A]\nx=1\ny = two \n[B]\nz=3\n", {"A", "B"}, {"x", "y", "z"}});
  cases.push_back({"cr.ini", "[A]\rx=1\ry = two \r[B]\rz=3\r", {"A", "B"}, {"x", "y", "z"}});
  // Encodings with a byte order mark.
  std::u16string unicode = U("[Sect\xc3\xafon]\r\nschl\xc3\xbcssel=Wert \xe2\x82\xac \"q\"\r\nk=v\r\n");
  cases.push_back({"utf16le.ini", EncodeText(unicode, TextEncoding::kUtf16Le),
                   {"Sect\xc3\xafon", "SECT\xc3\xafON"}, {"schl\xc3\xbcssel", "k"}});
  cases.push_back({"utf8bom.ini", "\xEF\xBB\xBF" + ToUtf8(unicode), {"Sect\xc3\xafon"}, {"schl\xc3\xbcssel", "k"}});
  // An empty file and a file of blanks.
  cases.push_back({"empty.ini", "", {"A"}, {"x"}});
  cases.push_back({"blanks.ini", "\r\n   \r\n\t\r\n", {"A"}, {"x"}});
  return cases;
}

// A query as the probe reads it, and our answer in the probe's form.
struct Query {
  std::string text;
  std::string ours;
};

std::vector<Query> Queries(const IniCase& c, const IniFile& ini) {
  std::vector<Query> out;
  auto field = [](const char* utf8) { return WineProbe::Escape(U(utf8)); };
  for (const char* section : c.sections) {
    for (const char* key : c.keys) {
      for (int size : {1, 2, 5, 512}) {
        std::u16string value;
        int n = ini.ReadString(U(section), U(key), u"NULL", size, value);
        out.push_back({"ini_string\t" + field(section) + "\t" + field(key) + "\tNULL\t" + std::to_string(size),
                       std::to_string(n) + "\t" + WineProbe::Escape(value)});
      }
      out.push_back({"ini_int\t" + field(section) + "\t" + field(key) + "\t5",
                     std::to_string(ini.ReadInt(U(section), U(key), 5))});
    }
    std::u16string list;
    int whole = ini.ReadSection(U(section), 32767, list);
    for (int size = 0; size <= whole + 3; ++size) {
      int n = ini.ReadSection(U(section), size, list);
      out.push_back({"ini_section\t" + field(section) + "\t" + std::to_string(size),
                     std::to_string(n) + "\t" + WineProbe::Escape(list)});
    }
  }
  // Long values at every buffer size around their length.
  for (const char* section : c.sections) {
    for (const char* key : c.keys) {
      std::optional<std::u16string> value = ini.Value(U(section), U(key));
      if (!value || value->size() < 8) continue;
      for (int size = 0; size <= int(value->size()) + 2; ++size) {
        std::u16string got;
        int n = ini.ReadString(U(section), U(key), u"NULL", size, got);
        out.push_back({"ini_string\t" + field(section) + "\t" + field(key) + "\tNULL\t" + std::to_string(size),
                       std::to_string(n) + "\t" + WineProbe::Escape(got)});
      }
    }
  }
  return out;
}

TEST(IniAgainstWine, QuirkyFilesAnswerAsWineDoes) {
  if (std::string why = WineProbe::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  ProbeFolder folder;
  std::vector<std::string> probe_queries;
  struct Asked {
    const char* file;
    Query query;
  };
  std::vector<Asked> asked;
  for (const IniCase& c : Cases()) {
    IniFile ini(folder.Write(c.file, c.bytes));
    std::string file = WineProbe::Escape(folder.WindowsPath(c.file));
    for (Query& q : Queries(c, ini)) {
      size_t tab = q.text.find('\t');
      probe_queries.push_back(q.text.substr(0, tab) + "\t" + file + q.text.substr(tab));
      asked.push_back({c.file, std::move(q)});
    }
  }
  std::vector<std::string> answers = WineProbe::Run(probe_queries);
  ASSERT_EQ(answers.size(), asked.size());

  std::vector<bool> expected_seen(std::size(kExpected), false);
  for (size_t i = 0; i < asked.size(); ++i) {
    const Asked& a = asked[i];
    if (a.query.ours == answers[i]) continue;
    std::u16string id = U(std::string(a.file) + "|" + a.query.text);
    bool expected = false;
    for (size_t e = 0; e < std::size(kExpected) && !expected; ++e) {
      if (!WildcardMatch(id, U(kExpected[e].query))) continue;
      if (kExpected[e].also && !kExpected[e].also(a.query.ours, answers[i])) continue;
      expected = expected_seen[e] = true;
    }
    if (!expected) ADD_FAILURE() << a.file << ": " << a.query.text << "\n  ours: " << a.query.ours
                                 << "\n  wine: " << answers[i];
  }
  for (size_t e = 0; e < std::size(kExpected); ++e)
    EXPECT_TRUE(expected_seen[e]) << "expected difference no longer seen: " << kExpected[e].query;
}

}  // namespace
}  // namespace kestrel
