#include <gtest/gtest.h>

#include "platform/reg_export.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

using Bytes = std::vector<uint8_t>;

// UTF-16 LE with BOM, as regedit writes version 5 exports.
std::string Utf16File(std::u16string_view text) {
  std::string out = "\xff\xfe";
  for (char16_t c : text) {
    out.push_back(char(c & 0xFF));
    out.push_back(char(c >> 8));
  }
  return out;
}

const char16_t kV5[] = u"Windows Registry Editor Version 5.00\r\n\r\n";

struct Snapshot {
  explicit Snapshot(const std::vector<std::string>& files) {
    for (size_t i = 0; i < files.size(); ++i) paths.push_back(dir.Write("f" + std::to_string(i) + ".reg", files[i]));
    reg = LoadRegistryExports(paths, &errors);
  }
  RegValue Get(uint32_t root, std::u16string_view path, std::u16string_view name) const {
    RegKey key;
    RegValue v;
    if (reg->OpenKey(root, path, KEY_ALL_ACCESS, key) != ERROR_SUCCESS ||
        reg->QueryValue(key, name, &v) != ERROR_SUCCESS)
      return RegValue{u"", REG_NONE, {'m', 'i', 's', 's', 'i', 'n', 'g'}};
    return v;
  }
  bool HasKey(uint32_t root, std::u16string_view path) const {
    RegKey key;
    return reg->OpenKey(root, path, KEY_READ, key) == ERROR_SUCCESS;
  }
  testing::TempDir dir;
  std::vector<std::filesystem::path> paths;
  std::string errors;
  std::unique_ptr<Registry> reg;
};

TEST(RegExport, EveryValueFormInAUnicodeExport) {
  Snapshot s({Utf16File(std::u16string(kV5) +
                        u"[HKEY_CURRENT_USER\\Software\\Example]\r\n"
                        u"@=\"default\"\r\n"
                        u"\"Text\"=\"C:\\\\dir \\\"q\\\" \u20ac\"\r\n"
                        u"\"Count\"=dword:0000000a\r\n"
                        u"\"Blob\"=hex:01,02,ff\r\n"
                        u"\"Path\"=hex(2):25,00,54,00,25,00,00,00\r\n"
                        u"\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                        u"\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                        u"\"None\"=hex(0):\r\n"
                        u"\"Wrapped\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,\\\r\n"
                        u"  14,15,\\\r\n"
                        u"  16\r\n"
                        u"\"Odd\"=\"back\\slash\"\r\n")});
  EXPECT_EQ(s.errors, "");
  struct Case { const char16_t* name; uint32_t type; Bytes data; };
  Bytes wrapped;
  for (int i = 0; i <= 0x16; ++i) wrapped.push_back(uint8_t(i));
  const Case cases[] = {
      {u"", REG_SZ, RegTextData(u"default")},
      {u"text", REG_SZ, RegTextData(u"C:\\dir \"q\" \u20ac")},
      {u"Count", REG_DWORD, {10, 0, 0, 0}},
      {u"Blob", REG_BINARY, {1, 2, 0xff}},
      {u"Path", REG_EXPAND_SZ, RegTextData(u"%T%")},
      {u"List", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
      {u"Big", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
      {u"None", REG_NONE, {}},
      {u"Wrapped", REG_BINARY, wrapped},
      {u"Odd", REG_SZ, RegTextData(u"back\\slash")},
  };
  for (const auto& c : cases) {
    RegValue v = s.Get(HKEY_CURRENT_USER, u"software\\example", c.name);
    EXPECT_EQ(v.type, c.type) << ToUtf8(c.name);
    EXPECT_EQ(v.data, c.data) << ToUtf8(c.name);
  }
}

TEST(RegExport, Regedit4IsInTheEightBitCodePage) {
  Snapshot s({"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Caf\xe9]\r\n"
              "\"Name\"=\"\x80 caf\xe9\"\r\n"
              "\"Expand\"=hex(2):25,54,45,4d,50,25,5c,e9,00\r\n"
              "\"Multi\"=hex(7):61,00,62,00,00\r\n"});
  EXPECT_EQ(s.errors, "");
  EXPECT_EQ(s.Get(HKEY_LOCAL_MACHINE, u"Software\\Caf\u00e9", u"Name").data, RegTextData(u"\u20ac caf\u00e9"));
  RegValue expand = s.Get(HKEY_LOCAL_MACHINE, u"Software\\Caf\u00e9", u"Expand");
  EXPECT_EQ(expand.type, REG_EXPAND_SZ);
  EXPECT_EQ(expand.data, RegTextData(u"%TEMP%\\\u00e9"));
  EXPECT_EQ(s.Get(HKEY_LOCAL_MACHINE, u"Software\\Caf\u00e9", u"Multi").data,
            (Bytes{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
}

TEST(RegExport, Utf8ExportsWithAndWithoutBom) {
  for (std::string bom : {"", "\xef\xbb\xbf"}) {
    Snapshot s({bom + "Windows Registry Editor Version 5.00\n\n[HKEY_USERS\\.DEFAULT\\Env]\n\"T\"=\"caf\xc3\xa9\"\n"});
    EXPECT_EQ(s.errors, "");
    EXPECT_EQ(s.Get(HKEY_USERS, u".DEFAULT\\Env", u"T").data, RegTextData(u"caf\u00e9"));
  }
}

TEST(RegExport, DeletionsAndMergeOrder) {
  std::string first = Utf16File(std::u16string(kV5) +
                                u"[HKEY_CURRENT_USER\\Software\\A]\r\n\"v\"=\"1\"\r\n\"gone\"=\"x\"\r\n"
                                u"[HKEY_CURRENT_USER\\Software\\A\\Sub\\Deeper]\r\n\"d\"=dword:00000001\r\n"
                                u"[HKEY_CURRENT_USER\\Software\\Keep]\r\n\"k\"=\"1\"\r\n");
  std::string second = Utf16File(std::u16string(kV5) +
                                 u"[hkey_current_user\\software\\a]\r\n\"V\"=\"2\"\r\n\"GONE\"=-\r\n"
                                 u"[-HKEY_CURRENT_USER\\Software\\A\\Sub]\r\n"
                                 u"\"ignored\"=\"belongs to the removed key\"\r\n"
                                 u"[-HKEY_CURRENT_USER\\Software\\NotThere]\r\n"
                                 u"[HKEY_CURRENT_USER\\Software\\A\\New]\r\n");
  Snapshot forward({first, second});
  EXPECT_EQ(forward.errors, "");
  EXPECT_EQ(forward.Get(HKEY_CURRENT_USER, u"Software\\A", u"v").data, RegTextData(u"2"));
  EXPECT_EQ(forward.Get(HKEY_CURRENT_USER, u"Software\\A", u"gone").type, REG_NONE);
  EXPECT_FALSE(forward.HasKey(HKEY_CURRENT_USER, u"Software\\A\\Sub"));
  EXPECT_TRUE(forward.HasKey(HKEY_CURRENT_USER, u"Software\\A\\New"));
  EXPECT_TRUE(forward.HasKey(HKEY_CURRENT_USER, u"Software\\Keep"));
  // The other way round the first export wins and brings the key back.
  Snapshot backward({second, first});
  EXPECT_EQ(backward.Get(HKEY_CURRENT_USER, u"Software\\A", u"v").data, RegTextData(u"1"));
  EXPECT_EQ(backward.Get(HKEY_CURRENT_USER, u"Software\\A", u"gone").type, REG_SZ);
  EXPECT_EQ(backward.Get(HKEY_CURRENT_USER, u"Software\\A\\Sub\\Deeper", u"d").type, REG_DWORD);
  // A replaced value keeps its place and its first spelling.
  RegKey key;
  ASSERT_EQ(backward.reg->OpenKey(HKEY_CURRENT_USER, u"Software\\A", KEY_READ, key), ERROR_SUCCESS);
  std::u16string name;
  ASSERT_EQ(backward.reg->EnumValue(key, 0, 260, name), ERROR_SUCCESS);
  EXPECT_EQ(name, u"V");
}

TEST(RegExport, BadInputIsSkippedAndTheRestKept) {
  Snapshot s({"Windows Registry Editor Version 5.00\n"
              "\"early\"=\"before any key\"\n"
              "[HKEY_CURRENT_CONFIG\\System]\n"
              "\"cc\"=\"ignored without complaint\"\n"
              "[HKEY_NOWHERE\\X]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Good]\n"
              "; a comment\n"
              "\"ok\"=\"1\"\n"
              "junk\n"
              "\"qword\"=qword:1\n"
              "\"baddword\"=dword:nothex\n"
              "\"badhex\"=hex:01,xy,\\\n"
              "  02\n"
              "\"cut\"=hex:01,\\\n"
              "[-HKEY_LOCAL_MACHINE]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Good\\Last]\n"
              "\"open\"=\"no end\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Trunc",
              "not an export at all",
              Utf16File(u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Second]\r\n\"s\"=dword:1\r\n")});
  EXPECT_EQ(s.Get(HKEY_LOCAL_MACHINE, u"Software\\Good", u"ok").data, RegTextData(u"1"));
  for (auto name : {u"qword", u"baddword", u"badhex", u"cut"})
    EXPECT_EQ(s.Get(HKEY_LOCAL_MACHINE, u"Software\\Good", name).type, REG_NONE) << ToUtf8(name);
  EXPECT_TRUE(s.HasKey(HKEY_LOCAL_MACHINE, u"Software\\Good\\Last"));
  EXPECT_EQ(s.Get(HKEY_LOCAL_MACHINE, u"Software\\Good\\Last", u"open").type, REG_NONE);
  EXPECT_FALSE(s.HasKey(HKEY_LOCAL_MACHINE, u"Software\\Trunc"));
  EXPECT_EQ(s.Get(HKEY_CURRENT_USER, u"Second", u"s").type, REG_DWORD);  // later files still load
  for (const char* expected : {"f0.reg: line 2: value outside a key", "f0.reg: line 5: unknown root key",
                               "f0.reg: line 9: unreadable line", "f0.reg: line 10: unknown value type",
                               "f1.reg: not a registry export", "f0.reg: line 12: unreadable hex value", "f0.reg: line 15: a root key cannot be removed"})
    EXPECT_NE(s.errors.find(expected), std::string::npos) << expected << "\n" << s.errors;
  EXPECT_EQ(s.errors.find("cc"), std::string::npos);
}

TEST(RegExport, ALargeFileIsJudgedByItsFirstLine) {
  // Past the first few kilobytes the header is checked on the start alone;
  // a header padded with blanks beyond that start still counts.
  const std::string tail = "\r\n[HKEY_USERS\\Padded]\r\n" + std::string(8000, ';') + "\r\n";
  Snapshot s({"REGEDIT4" + std::string(6000, ' ') + tail, std::string(6000, ' ') + "REGEDIT5" + tail,
              std::string(9000, '\0')});
  EXPECT_TRUE(s.HasKey(HKEY_USERS, u"Padded"));
  for (const char* file : {"f1.reg: not a registry export", "f2.reg: not a registry export"})
    EXPECT_NE(s.errors.find(file), std::string::npos) << s.errors;
  EXPECT_EQ(s.errors.find("f0.reg"), std::string::npos) << s.errors;
}

TEST(RegExport, MissingFilesAndNoFilesGiveAnEmptyRegistry) {
  testing::TempDir dir;
  std::string errors;
  auto reg = LoadRegistryExports({dir.path() / "missing.reg", dir.path()}, &errors);
  EXPECT_NE(errors.find("missing.reg"), std::string::npos);
  std::u16string name;
  for (uint32_t root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS})
    EXPECT_EQ(reg->EnumKey(RegKey::Root(root), 0, 260, name), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(LoadRegistryExports({})->EnumKey(RegKey::Root(HKEY_USERS), 0, 260, name), ERROR_NO_MORE_ITEMS);
}

}  // namespace
}  // namespace kestrel
