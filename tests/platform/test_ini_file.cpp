#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/ini_file.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string Utf8(std::u16string_view s) { return ToUtf8(s); }

class IniFileTest : public ::testing::Test {
 protected:
  IniFile Load(const std::string& bytes) { return IniFile(dir_.Write("p.ini", bytes)); }
  std::string Stored() const { return dir_.Read("p.ini"); }
  fs::path Path() const { return dir_.path() / "p.ini"; }

  TempDir dir_;
};

const char kSample[] =
    "; leading comment\r\n"
    "Stray=before any section\r\n"
    "[Settings]\r\n"
    "Description=Removes things\r\n"
    "  Spaced  =   padded value   \r\n"
    "Empty=\r\n"
    "Quoted=\"  inner  \"\r\n"
    "Single='x'\r\n"
    "Mismatch=\"x'\r\n"
    "OnlyQuote=\"\r\n"
    "Long=0123456789\r\n"
    "Equals=a=b\r\n"
    ";Comment=1\r\n"
    "no equals here\r\n"
    "[ Other ]\r\n"
    "\r\n";

TEST_F(IniFileTest, ReadStringAnswers) {
  IniFile ini = Load(kSample);
  struct Case {
    const char16_t* section;
    const char16_t* key;
    const char16_t* default_text;
    int buffer;
    const char16_t* out;
  };
  const Case cases[] = {
      {u"Settings", u"Description", u"d", 512, u"Removes things"},
      {u"SETTINGS", u"description", u"d", 512, u"Removes things"},
      {u" settings ", u" Description ", u"d", 512, u"Removes things"},
      {u"Settings", u"Spaced", u"d", 512, u"padded value"},
      {u"Settings", u"Empty", u"d", 512, u""},  // present, so not the default
      {u"Settings", u"Quoted", u"d", 512, u"  inner  "},
      {u"Settings", u"Single", u"d", 512, u"x"},
      {u"Settings", u"Mismatch", u"d", 512, u"\"x'"},
      {u"Settings", u"OnlyQuote", u"d", 512, u"\""},
      {u"Settings", u"Equals", u"d", 512, u"a=b"},
      {u"Settings", u"Long", u"d", 11, u"0123456789"},
      {u"Settings", u"Long", u"d", 10, u"012345678"},  // cut: buffer - 1
      {u"Settings", u"Long", u"d", 1, u""},
      {u"Settings", u"Long", u"d", 0, u""},
      {u"Settings", u"Long", u"d", -5, u""},
      {u"Settings", u"Missing", u"NULL", 1024, u"NULL"},
      {u"Settings", u"Missing", u"NULL", 3, u"NU"},  // the default is cut too
      {u"Missing", u"Description", u"NULL", 1024, u"NULL"},
      {u"Settings", u";Comment", u"NULL", 1024, u"NULL"},
      {u"Settings", u"Comment", u"NULL", 1024, u"NULL"},
      {u"Settings", u"no equals here", u"NULL", 1024, u"NULL"},
      {u"Settings", u"Stray", u"NULL", 1024, u"NULL"},  // keys before any section belong to none
      {u"Other", u"Description", u"NULL", 1024, u"NULL"},
  };
  for (const auto& c : cases) {
    std::u16string out = u"garbage";
    int n = ini.ReadString(c.section, c.key, c.default_text, c.buffer, out);
    EXPECT_EQ(Utf8(out), Utf8(c.out)) << Utf8(c.section) << "/" << Utf8(c.key) << " buffer " << c.buffer;
    EXPECT_EQ(n, int(out.size())) << Utf8(c.key);
  }
  EXPECT_EQ(ini.Value(u"settings", u"LONG"), u"0123456789");
  EXPECT_EQ(ini.Value(u"Settings", u"Missing"), std::nullopt);
  EXPECT_TRUE(ini.HasSection(u"other"));
}

TEST_F(IniFileTest, ReadIntAnswers) {
  IniFile ini = Load(
      "[S]\nSeven=7\nPadded=  42  \nNegative=-3\nWord=abc\nTrailing=12abc\nEmpty=\n"
      "Quoted=\"5\"\nHuge=99999999999999\n");
  struct Case {
    const char16_t* key;
    int value;
  };
  const Case cases[] = {
      {u"Seven", 7},  {u"padded", 42},      {u"Negative", -3},   {u"Word", 0},      {u"Trailing", 12},
      {u"Empty", -1}, {u"Quoted", 5},       {u"Huge", 2147483647}, {u"Missing", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.ReadInt(u"S", c.key, -1), c.value) << Utf8(c.key);
  EXPECT_EQ(ini.ReadInt(u"Nowhere", u"Seven", 9), 9);
}

TEST_F(IniFileTest, ReadSectionAnswers) {
  IniFile ini = Load(
      "[Recent]\r\nFile1 = a.txt \r\n; note\r\n\r\nbare line\r\nFile1=again\r\n"
      "[Empty]\r\n; only a comment\r\n\r\n[Recent]\r\nFile9=never read\r\n");
  const std::u16string full = std::u16string(u"File1=a.txt\0bare line\0File1=again\0", 34);
  struct Case {
    const char16_t* section;
    int buffer;
    std::u16string out;
  };
  const Case cases[] = {
      {u"recent", 1024, full},
      {u"Recent", 35, full},                 // list and its final NUL just fit
      {u"Recent", 34, full.substr(0, 32)},   // cut: buffer - 2
      {u"Recent", 10, full.substr(0, 8)},
      {u"Recent", 2, u""},
      {u"Empty", 1024, u""},
      {u"Missing", 1024, u""},
  };
  for (const auto& c : cases) {
    std::u16string out;
    EXPECT_EQ(ini.ReadSection(c.section, c.buffer, out), int(c.out.size())) << Utf8(c.section) << " " << c.buffer;
    EXPECT_EQ(out, c.out) << Utf8(c.section) << " " << c.buffer;
  }
  EXPECT_EQ(ini.SectionLines(u"Recent"), (std::vector<std::u16string>{u"File1=a.txt", u"bare line", u"File1=again"}));
}

TEST_F(IniFileTest, FirstOccurrenceWinsForDuplicates) {
  IniFile ini = Load("[A]\nk=first\nK=second\nonly=1\n[B]\nb=1\n[a]\nk=third\nlater=x\n");
  EXPECT_EQ(ini.Value(u"A", u"k"), u"first");
  EXPECT_EQ(ini.Value(u"A", u"later"), std::nullopt);  // the second [a] is never read
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::u16string>{u"A", u"B"}));
  EXPECT_EQ(ini.KeyNames(u"a"), (std::vector<std::u16string>{u"k", u"only"}));
}

// A "[" line without "]" is no section header: it and the keys after it stay
// in the section above, as Windows reads such a file.
TEST_F(IniFileTest, BracketLineWithoutCloseIsNoHeader) {
  IniFile ini = Load("[A]\r\na=1\r\n[B\r\nb=2\r\n[C]=3\r\nc=4\r\n");
  EXPECT_FALSE(ini.HasSection(u"B"));
  EXPECT_EQ(ini.Value(u"A", u"b"), u"2");
  EXPECT_EQ(ini.Value(u"C", u"c"), u"4");
  EXPECT_EQ(ini.SectionLines(u"A"), (std::vector<std::u16string>{u"a=1", u"[B", u"b=2"}));
}

TEST_F(IniFileTest, WritesGoAtTheEndOfTheirSectionAndReplaceInPlace) {
  Load(
      "; head\n"
      "[A]\n"
      "k1=v1\n"
      "\n"
      "[B]\n"
      "  x = 1  \n"
      "; about C\n"
      "[C]\n"
      "[a]\n"
      "dup=1");
  IniFile ini(Path());
  EXPECT_TRUE(ini.WriteString(u"A", u"k2", u"v2"));
  EXPECT_TRUE(ini.WriteString(u"b", u"y", u"2"));
  EXPECT_TRUE(ini.WriteString(u"C", u"z", u"3"));
  EXPECT_TRUE(ini.WriteString(u"D", u"new", u"4"));
  EXPECT_TRUE(ini.WriteString(u"a", u"K1", u"replaced"));
  EXPECT_TRUE(ini.WriteString(u"B", u"X", u"10"));
  EXPECT_TRUE(ini.WriteString(u"d", u"NEW", u"5"));
  EXPECT_TRUE(ini.WriteString(u"D", u"second", u" spaced "));
  // Reads see writes before the save.
  EXPECT_EQ(ini.Value(u"A", u"k1"), u"replaced");
  EXPECT_EQ(ini.Value(u"D", u"new"), u"5");
  EXPECT_TRUE(ini.Modified());

  std::string why;
  ASSERT_TRUE(ini.Save(&why)) << why;
  EXPECT_EQ(Stored(),
            "; head\r\n"
            "[A]\r\n"
            "k1=replaced\r\n"
            "k2=v2\r\n"
            "\r\n"
            "[B]\r\n"
            "x=10\r\n"
            "y=2\r\n"
            "; about C\r\n"
            "[C]\r\n"
            "z=3\r\n"
            "[a]\r\n"
            "dup=1\r\n"
            "[D]\r\n"
            "new=5\r\n"
            "second= spaced \r\n");
  EXPECT_FALSE(ini.Modified());
  IniFile back(Path());
  EXPECT_EQ(back.Value(u"b", u"y"), u"2");
  EXPECT_EQ(back.Value(u"D", u"second"), u"spaced");
  EXPECT_EQ(back.KeyNames(u"A"), (std::vector<std::u16string>{u"k1", u"k2"}));
  // The saved profile keeps answering and accepts further writes.
  EXPECT_EQ(ini.Value(u"C", u"z"), u"3");
  EXPECT_TRUE(ini.WriteString(u"C", u"w", u"4"));
  ASSERT_TRUE(ini.Save());
  EXPECT_EQ(IniFile(Path()).KeyNames(u"C"), (std::vector<std::u16string>{u"z", u"w"}));
}

TEST_F(IniFileTest, QuotedValuesAreStoredToReadBackAsGiven) {
  const std::u16string values[] = {u"\"quoted\"", u"'single'", u"\"\"\"deep\"\"", u"'mixed\"", u"\"",
                                   u"plain \"inside\" text", u""};
  IniFile ini = IniFile::CreateNew(Path());
  for (size_t i = 0; i < std::size(values); ++i) ASSERT_TRUE(ini.WriteString(u"S", FromUtf8(std::to_string(i)), values[i]));
  ASSERT_TRUE(ini.Save());
  EXPECT_NE(Stored().find("0=\"\"quoted\"\"\r\n"), std::string::npos) << Stored();
  EXPECT_NE(Stored().find("3='mixed\"\r\n4=\"\r\n5=plain \"inside\" text\r\n6=\r\n"), std::string::npos)
      << Stored();  // as given
  IniFile again(Path());
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(again.Value(u"S", FromUtf8(std::to_string(i))), values[i]) << i;
    EXPECT_EQ(ini.Value(u"S", FromUtf8(std::to_string(i))), values[i]) << i;  // before the save too
  }
}

TEST_F(IniFileTest, WriteRefusesWhatCouldNotBeReadBack) {
  struct Case {
    const char16_t* section;
    const char16_t* key;
    std::u16string value;
  };
  const Case cases[] = {
      {u"Se]ction", u"k", u"v"}, {u"S", u"a=b", u"v"},   {u"S", u";k", u"v"},    {u"S", u"[k", u"v"},
      {u"S", u"k", u"line\r\nbreak"}, {u"S\nT", u"k", u"v"}, {u"S", u"k", std::u16string(u"a\0b", 3)},
  };
  IniFile ini = IniFile::CreateNew(Path());
  for (const auto& c : cases) {
    std::string why;
    EXPECT_FALSE(ini.WriteString(c.section, c.key, c.value, &why)) << Utf8(c.key);
    EXPECT_FALSE(why.empty());
  }
  EXPECT_FALSE(ini.Modified());
}

TEST_F(IniFileTest, CreateNewReplacesTheOldFileAsAsciiWithCrLf) {
  Load("[Settings]\r\nForeign=1\r\n[Mine]\r\nold=1\r\n");
  IniFile ini = IniFile::CreateNew(Path());
  EXPECT_EQ(ini.Value(u"Settings", u"Foreign"), std::nullopt);
  ini.WriteString(u"Settings", u"Description", u"");
  ini.WriteString(u"REGISTRY", u"0", u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile");
  ASSERT_TRUE(ini.Save());
  EXPECT_EQ(Stored(),
            "[Settings]\r\nDescription=\r\n[REGISTRY]\r\n"
            "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n");
}

TEST_F(IniFileTest, NonAsciiRoundTripsFromEveryInputEncoding) {
  const std::u16string text = u"Caf\u00e9 Stra\u00dfe \u6f22\u5b57";
  const std::u16string latin = u"Caf\u00e9 Stra\u00dfe";
  struct Case {
    TextEncoding encoding;
    std::u16string value;
  };
  const Case cases[] = {
      {TextEncoding::kUtf16Le, text},  {TextEncoding::kUtf16Be, text},         {TextEncoding::kUtf8Bom, text},
      {TextEncoding::kUtf8, text},     {TextEncoding::kWindows1252, latin},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(EncodingName(c.encoding)));
    IniFile ini = Load(EncodeText(u"[S]\r\nName=" + c.value + u"\r\n", c.encoding));
    EXPECT_EQ(ini.Encoding(), c.encoding);
    EXPECT_EQ(ini.Value(u"S", u"Name"), c.value);
    ASSERT_TRUE(ini.WriteString(u"S", u"Copy", c.value));
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Stored().substr(0, 2), "\xFF\xFE");
    IniFile back(Path());
    EXPECT_EQ(back.Encoding(), TextEncoding::kUtf16Le);
    EXPECT_EQ(back.Value(u"S", u"Name"), c.value);
    EXPECT_EQ(back.Value(u"S", u"Copy"), c.value);
  }
}

TEST_F(IniFileTest, FailedSaveKeepsTheOldFileAndSaysWhy) {
  const std::string old = "[S]\r\nk=old\r\n";
  dir_.Write("blocker", "a regular file");
  fs::create_directory(dir_.path() / "folder");
  struct Case {
    const char* name;
    fs::path target;
  };
  const Case cases[] = {
      {"parent is a file", dir_.path() / "blocker" / "p.ini"},
      {"target is a folder", dir_.path() / "folder"},
      {"parent missing", dir_.path() / "missing" / "p.ini"},
  };
  for (const auto& c : cases) {
    dir_.Write("p.ini", old);
    IniFile ini = IniFile::CreateNew(c.target);
    ini.WriteString(u"S", u"k", u"new");
    std::string why;
    EXPECT_FALSE(ini.Save(&why)) << c.name;
    EXPECT_FALSE(why.empty()) << c.name;
    EXPECT_TRUE(ini.Modified()) << c.name;
  }
  EXPECT_TRUE(fs::is_directory(dir_.path() / "folder"));
  EXPECT_TRUE(fs::is_empty(dir_.path() / "folder"));
  EXPECT_EQ(dir_.Read("blocker"), "a regular file");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 3);
}

TEST_F(IniFileTest, SaveThroughALinkReplacesTheLinkedFile) {
  dir_.Write("real/p.ini", "[S]\r\nk=old\r\n");
  fs::create_symlink(dir_.path() / "real" / "p.ini", Path());
  IniFile ini(Path());
  ini.WriteString(u"S", u"k", u"new");
  ASSERT_TRUE(ini.Save());
  EXPECT_TRUE(fs::is_symlink(Path()));
  EXPECT_EQ(dir_.Read("real/p.ini"), "[S]\r\nk=new\r\n");
}

TEST_F(IniFileTest, SaveRespectsPermissions) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not stop writes";
  const std::string old = "[S]\r\nk=old\r\n";
  dir_.Write("ro/p.ini", old);
  dir_.Write("rw/p.ini", old);
  fs::permissions(dir_.path() / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  fs::permissions(dir_.path() / "rw" / "p.ini", fs::perms::owner_read);
  for (const char* file : {"ro/p.ini", "rw/p.ini"}) {
    IniFile ini(dir_.path() / file);
    ini.WriteString(u"S", u"k", u"new");
    std::string why;
    EXPECT_FALSE(ini.Save(&why)) << file;
    EXPECT_NE(why.find("denied"), std::string::npos) << why;
    EXPECT_EQ(dir_.Read(file), old) << file;
  }
}

TEST_F(IniFileTest, BadFilesAnswerTheDefaults) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += char((i * 7919 + 13) % 256);
  fs::create_directory(dir_.path() / "folder");
  mkfifo((dir_.path() / "fifo").c_str(), 0600);
  struct Case {
    const char* name;
    fs::path path;
    bool load_error;
  };
  const Case cases[] = {
      {"missing", dir_.path() / "missing.ini", false},
      {"missing folder", dir_.path() / "nowhere" / "p.ini", false},
      {"binary", dir_.Write("binary.ini", binary), false},
      {"folder", dir_.path() / "folder", true},
      {"fifo", dir_.path() / "fifo", true},
  };
  for (const auto& c : cases) {
    IniFile ini(c.path);
    std::u16string out;
    EXPECT_EQ(ini.ReadString(u"Settings", u"Description", u"NULL", 1024, out), 4) << c.name;
    EXPECT_EQ(ini.ReadInt(u"Settings", u"Encrypted", 7), 7) << c.name;
    EXPECT_EQ(ini.ReadSection(u"Settings", 10, out), 0) << c.name;
    EXPECT_EQ(!ini.LoadError().empty(), c.load_error) << c.name << ": " << ini.LoadError();
  }
}

TEST_F(IniFileTest, NulBytesEndLines) {
  IniFile ini = Load(std::string("[S]\0k=v\0\0garbage\0j=w", 21));
  EXPECT_EQ(ini.Value(u"S", u"k"), u"v");
  EXPECT_EQ(ini.Value(u"S", u"j"), u"w");
}

TEST_F(IniFileTest, HugeLineIsReadWholeOrCut) {
  std::string big(10 << 20, 'x');
  IniFile ini = Load("[S]\r\nbig=" + big + "\r\nafter=1\r\n");
  std::u16string out;
  EXPECT_EQ(ini.ReadString(u"S", u"big", u"", 512, out), 511);
  EXPECT_EQ(ini.Value(u"S", u"big")->size(), big.size());
  EXPECT_EQ(ini.ReadInt(u"S", u"after", 0), 1);
  EXPECT_EQ(ini.ReadSection(u"S", 10, out), 8);
}

TEST_F(IniFileTest, OversizedFileIsNotReadAndNotOverwritten) {
  {
    std::ofstream f(Path(), std::ios::binary);
    f << "[S]\r\nk=1\r\n";
  }
  fs::resize_file(Path(), IniFile::kMaxFileBytes + 1);  // sparse: costs no disk
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadInt(u"S", u"k", 5), 5);
  EXPECT_FALSE(ini.LoadError().empty());
  ini.WriteString(u"S", u"k", u"2");
  std::string why;
  EXPECT_FALSE(ini.Save(&why));  // would throw away what could not be read
  EXPECT_EQ(fs::file_size(Path()), IniFile::kMaxFileBytes + 1);
}

TEST_F(IniFileTest, UnreadableFileAnswersDefaultsAndIsNotOverwritten) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not stop reads";
  Load("[S]\r\nk=1\r\n");
  fs::permissions(Path(), fs::perms::none);
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadInt(u"S", u"k", 5), 5);
  EXPECT_FALSE(ini.LoadError().empty());
  ini.WriteString(u"S", u"k", u"2");
  EXPECT_FALSE(ini.Save());
  fs::permissions(Path(), fs::perms::owner_read);
  EXPECT_EQ(Stored(), "[S]\r\nk=1\r\n");
}

}  // namespace
}  // namespace kestrel
