#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/prefix_registry.h"
#include "platform/text.h"
#include "platform/tree_registry.h"
#include "platform/wine_hive.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

using Bytes = std::vector<uint8_t>;

const char kHead[] = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Registry\\\\Machine\n\n#arch=win64\n\n";

// The bytes of a UTF-16 text in the "hex(6):" form links are written in.
std::string HexUtf16(std::u16string_view text) {
  std::string out;
  char buf[8];
  for (char16_t c : text) {
    std::snprintf(buf, sizeof buf, "%02x,%02x,", c & 0xFF, c >> 8);
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

Bytes Text(std::u16string_view text) { return RegTextData(text); }

// Loads hive text as HKEY_LOCAL_MACHINE of a registry.
struct Hive {
  explicit Hive(const std::string& body, bool deletable = true) {
    root->deletable = deletable;
    loaded = ParseWineHive(body, *root, &report);
    reg = std::make_unique<TreeRegistry>(std::vector<RegMount>{{HKEY_LOCAL_MACHINE, u"", root, root.get()}});
  }
  // Type and data of a value, or type REG_NONE with "missing" as data.
  RegValue Get(std::u16string_view key_path, std::u16string_view name) const {
    RegKey key;
    RegValue v;
    if (reg->OpenKey(HKEY_LOCAL_MACHINE, key_path, KEY_READ, key) != ERROR_SUCCESS ||
        reg->QueryValue(key, name, &v) != ERROR_SUCCESS)
      return RegValue{u"", REG_NONE, {'m', 'i', 's', 's', 'i', 'n', 'g'}};
    return v;
  }
  bool HasKey(std::u16string_view key_path) const {
    RegKey key;
    return reg->OpenKey(HKEY_LOCAL_MACHINE, key_path, KEY_READ, key) == ERROR_SUCCESS;
  }
  std::vector<std::u16string> Subkeys(std::u16string_view key_path) const {
    RegKey key;
    std::vector<std::u16string> names;
    if (reg->OpenKey(HKEY_LOCAL_MACHINE, key_path, KEY_READ, key) != ERROR_SUCCESS) return names;
    std::u16string name;
    for (uint32_t i = 0; reg->EnumKey(key, i, 260, name) == ERROR_SUCCESS; ++i) names.push_back(name);
    return names;
  }
  std::shared_ptr<RegNode> root = std::make_shared<RegNode>();
  HiveLoadReport report;
  bool loaded = false;
  std::unique_ptr<TreeRegistry> reg;
};

TEST(WineHive, EveryValueForm) {
  struct Case { const char* line; const char16_t* name; uint32_t type; Bytes data; };
  const Case cases[] = {
      {"@=\"default\"", u"", REG_SZ, Text(u"default")},
      {"\"Plain\"=\"text\"", u"Plain", REG_SZ, Text(u"text")},
      {"\"Empty\"=\"\"", u"Empty", REG_SZ, Text(u"")},
      {"\"Expand\"=str(2):\"%SystemRoot%\\\\system32\"", u"Expand", REG_EXPAND_SZ, Text(u"%SystemRoot%\\system32")},
      {"\"Multi\"=str(7):\"one\\0two\\0\"", u"Multi", REG_MULTI_SZ, Text(std::u16string(u"one\0two\0", 8))},
      {"\"Dword\"=dword:0000012c", u"Dword", REG_DWORD, {0x2c, 0x01, 0, 0}},
      {"\"DwordMax\"=dword:FFFFFFFF", u"DwordMax", REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
      {"\"Binary\"=hex:00,01,fe,ff", u"Binary", REG_BINARY, {0, 1, 0xfe, 0xff}},
      {"\"NoBytes\"=hex:", u"NoBytes", REG_BINARY, {}},
      {"\"Qword\"=hex(b):01,00,00,00,00,00,00,80", u"Qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0x80}},
      {"\"ExpandHex\"=hex(2):41,00,00,00", u"ExpandHex", REG_EXPAND_SZ, {'A', 0, 0, 0}},
      {"\"NoneType\"=hex(0):", u"NoneType", REG_NONE, {}},
      {"\"BigType\"=hex(100000):07", u"BigType", 0x100000u, {7}},
      {"\"Spaced\" = \"x\"", u"Spaced", REG_SZ, Text(u"x")},
      {"\"Quote\\\"d\"=\"v\"", u"Quote\"d", REG_SZ, Text(u"v")},
  };
  for (const auto& c : cases) {
    Hive hive(std::string(kHead) + "[Software\\\\Test] 1700000000\n#time=1d9f0a1b2c3d4e5\n" + c.line + "\n");
    RegValue v = hive.Get(u"Software\\Test", c.name);
    EXPECT_EQ(v.type, c.type) << c.line;
    EXPECT_EQ(v.data, c.data) << c.line;
    EXPECT_EQ(hive.report.skipped_lines, 0u) << c.line;
  }
}

TEST(WineHive, StringEscapes) {
  struct Case { const char* escaped; std::u16string text; };
  const Case cases[] = {
      {"a\\\\b", u"a\\b"},
      {"say \\\"hi\\\"", u"say \"hi\""},
      {"\\a\\b\\t\\n\\v\\f\\r\\e", u"\a\b\t\n\v\f\r\x1b"},
      {"\\0", std::u16string(1, u'\0')},
      {"\\101\\1010", u"AA0"},             // octal: at most three digits
      {"\\7777", u"\u01ff7"},
      {"\\x41", u"A"},
      {"\\x20ac", u"\u20ac"},
      {"\\x20acf", u"\u20acf"},            // at most four hex digits
      {"\\xg", u"xg"},                     // no digits: the letter itself
      {"\\[\\]\\q", u"[]q"},               // any other escaped character is itself
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", u"caf\u00e9 \u20ac \U0001F600"},
      {"bad\xff\xc3(", u"bad\uFFFD\uFFFD("},  // bytes that are not UTF-8
  };
  for (const auto& c : cases) {
    Hive hive(std::string(kHead) + "[K]\n\"v\"=\"" + c.escaped + "\"\n");
    EXPECT_EQ(hive.Get(u"K", u"v").data, Text(c.text)) << c.escaped;
  }
}

TEST(WineHive, KeyPathsAndTree) {
  Hive hive(std::string(kHead) +
            "[Software\\\\Wine\\\\Deep\\\\Leaf] 1700000000\n"       // parents only implied
            "\"a\"=\"1\"\n"
            "[software\\\\WINE\\\\other] 1700000000\n"             // same parents in other case
            "[Software\\\\Brackets\\\\x\\[1\\]] 1700000000\n"
            "\"b\"=\"2\"\n"
            "[Software\\\\Caf\xc3\xa9] 1700000000\n"
            "[Software\\\\Wow6432Node\\\\Wine] 1700000000\n"
            "#class=\"Some class\"\n"
            "\"c\"=\"3\"\n"
            "[Software\\\\Wine\\\\Deep\\\\Leaf]\n"                  // a key seen again adds to it
            "\"a2\"=\"4\"\n");
  EXPECT_TRUE(hive.loaded);
  EXPECT_EQ(hive.Get(u"SOFTWARE\\wine\\deep\\LEAF", u"A").data, Text(u"1"));
  EXPECT_EQ(hive.Get(u"Software\\Wine\\Deep\\Leaf", u"a2").data, Text(u"4"));
  EXPECT_EQ(hive.Subkeys(u"Software\\Wine"), (std::vector<std::u16string>{u"Deep", u"other"}));
  EXPECT_EQ(hive.Get(u"Software\\Brackets\\x[1]", u"b").data, Text(u"2"));
  EXPECT_TRUE(hive.HasKey(u"Software\\Caf\u00e9"));
  EXPECT_EQ(hive.Get(u"Software\\Wow6432Node\\Wine", u"c").data, Text(u"3"));
  EXPECT_EQ(hive.Subkeys(u"Software"),
            (std::vector<std::u16string>{u"Brackets", u"Caf\u00e9", u"Wine", u"Wow6432Node"}));
  EXPECT_EQ(hive.report.keys, 6u);
  EXPECT_EQ(hive.report.skipped_lines, 0u);
}

TEST(WineHive, HexContinuations) {
  Hive hive(std::string(kHead) +
            "[K] 1700000000\n"
            "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
            "  15,16,17,\\\r\n"
            "  18\n"
            "\"After\"=dword:00000001\n"
            "\"Cut\"=hex(7):41,00,\\\n"
            "[Next] 1700000000\n"  // a list cut short by the next key is dropped
            "\"n\"=\"kept\"\n");
  Bytes expected;
  for (int i = 0; i <= 0x18; ++i) expected.push_back(uint8_t(i));
  EXPECT_EQ(hive.Get(u"K", u"Long").data, expected);
  EXPECT_EQ(hive.Get(u"K", u"After").type, REG_DWORD);
  EXPECT_EQ(hive.Get(u"K", u"Cut").type, REG_NONE);
  EXPECT_EQ(hive.Get(u"Next", u"n").data, Text(u"kept"));
  EXPECT_EQ(hive.report.skipped_lines, 1u);
}

TEST(WineHive, BadInputIsSkippedAndTheRestKept) {
  Hive hive(std::string(kHead) +
            "\"orphan\"=\"before any key\"\n"
            "[Good] 1700000000\n"
            "\"ok1\"=\"1\"\n"
            "garbage line\n"
            "\"unknown\"=blob:1234\n"
            "\"baddword\"=dword:xyz\n"
            "\"longdword\"=dword:123456789\n"
            "\"badhex\"=hex:01,zz,\\\n"
            "  02,03\n"
            "\"unterminated\"=\"no end\n"
            "\"noequals\"\n"
            "\"badstr\"=str(2)\"x\"\n"
            "\"ok2\"=dword:00000002\n"
            "[Broken\\\\Key\n"
            "\"lost\"=\"belongs to no key\"\n"
            "[Good\\\\Sub] 1700000000\n"
            "\"ok3\"=\"3\"\n"
            "[Trunc\\\\Last");  // truncated last key, no newline
  EXPECT_TRUE(hive.loaded);
  EXPECT_EQ(hive.Get(u"Good", u"ok1").data, Text(u"1"));
  EXPECT_EQ(hive.Get(u"Good", u"ok2").type, REG_DWORD);
  EXPECT_EQ(hive.Get(u"Good\\Sub", u"ok3").data, Text(u"3"));
  for (auto name : {u"unknown", u"baddword", u"longdword", u"badhex", u"unterminated", u"noequals", u"badstr"})
    EXPECT_EQ(hive.Get(u"Good", name).type, REG_NONE) << ToUtf8(name);
  EXPECT_FALSE(hive.HasKey(u"Broken"));
  EXPECT_FALSE(hive.HasKey(u"Trunc"));
  EXPECT_EQ(hive.Subkeys(u""), (std::vector<std::u16string>{u"Good"}));
  EXPECT_EQ(hive.report.skipped_lines, 12u);
  ASSERT_FALSE(hive.report.problems.empty());
  EXPECT_EQ(hive.report.problems[0], "line 6: value outside a key");
}

TEST(WineHive, TextWithoutHeaderIsNotAHive) {
  for (const char* text : {"", "REGEDIT4\n[K]\n", "WINE REGISTRY Version 1\n[K]\n", "\xff\xfe\x00\x01"}) {
    Hive hive(text);
    EXPECT_FALSE(hive.loaded);
    EXPECT_TRUE(hive.Subkeys(u"").empty());
  }
}

TEST(WineHive, HugeValueAndManyValuesLoad) {
  std::string big(1 << 20, 'x');
  std::string text = std::string(kHead) + "[K]\n\"big\"=\"" + big + "\"\n\"hex\"=hex:";
  for (int i = 0; i < 100000; ++i) text += i % 25 == 24 ? "ab,\\\n  " : "ab,";
  text += "ab\n[Many]\n";
  for (int i = 0; i < 20000; ++i) text += "\"v" + std::to_string(i) + "\"=dword:00000001\n";
  Hive hive(text);
  EXPECT_EQ(hive.Get(u"K", u"big").data.size(), (size_t(1) << 21) + 2);
  EXPECT_EQ(hive.Get(u"K", u"hex").data.size(), 100001u);
  EXPECT_EQ(hive.Get(u"Many", u"V19999").type, REG_DWORD);
  EXPECT_EQ(hive.report.values, 20002u);
}

// A prefix folder with the three hives.
struct Prefix {
  Prefix(const std::string& system, const std::string& user, const std::string& userdef) {
    if (!system.empty()) dir.Write("system.reg", std::string(kHead) + system);
    if (!user.empty()) dir.Write("user.reg", std::string(kHead) + user);
    if (!userdef.empty()) dir.Write("userdef.reg", std::string(kHead) + userdef);
  }
  std::unique_ptr<Registry> Load() { return LoadPrefixRegistry(dir.path(), &errors); }
  testing::TempDir dir;
  std::string errors;
};

bool Exists(const Registry& reg, uint32_t root, std::u16string_view path, std::u16string_view value) {
  RegKey key;
  return reg.OpenKey(root, path, KEY_READ, key) == ERROR_SUCCESS &&
         reg.QueryValue(key, value, nullptr) == ERROR_SUCCESS;
}

TEST(PrefixRegistry, HivesMapToTheRootsAsWineMapsThem) {
  Prefix prefix("[Software\\\\Classes\\\\.txt] 1\n@=\"txtfile\"\n[Software\\\\Vendor] 1\n\"m\"=\"1\"\n",
                "[Software\\\\Vendor] 1\n\"u\"=\"1\"\n[Software\\\\Classes\\\\.usr] 1\n@=\"x\"\n",
                "[Control Panel\\\\Desktop] 1\n\"d\"=\"1\"\n");
  auto reg = prefix.Load();
  EXPECT_EQ(prefix.errors, "");
  EXPECT_TRUE(Exists(*reg, HKEY_LOCAL_MACHINE, u"Software\\Vendor", u"m"));
  EXPECT_TRUE(Exists(*reg, HKEY_CLASSES_ROOT, u".txt", u""));
  EXPECT_FALSE(Exists(*reg, HKEY_CLASSES_ROOT, u".usr", u""));  // the user's classes are not merged
  EXPECT_TRUE(Exists(*reg, HKEY_CURRENT_USER, u"Software\\Vendor", u"u"));
  EXPECT_TRUE(Exists(*reg, HKEY_USERS, u"S-1-5-21-0-0-0-1000\\Software\\Vendor", u"u"));
  EXPECT_TRUE(Exists(*reg, HKEY_USERS, u".default\\Control Panel\\Desktop", u"d"));
  EXPECT_FALSE(Exists(*reg, HKEY_CURRENT_USER, u"Control Panel\\Desktop", u"d"));
  std::vector<std::u16string> users;
  std::u16string name;
  for (uint32_t i = 0; reg->EnumKey(RegKey::Root(HKEY_USERS), i, 260, name) == ERROR_SUCCESS; ++i)
    users.push_back(name);
  EXPECT_EQ(users, (std::vector<std::u16string>{u".DEFAULT", u"S-1-5-21-0-0-0-1000"}));
}

TEST(PrefixRegistry, LinksAcrossHivesAndCycles) {
  const std::string link_head = "#link\n\"SymbolicLinkValue\"=hex(6):";
  Prefix prefix(
      "[System\\\\ControlSet001\\\\Control\\\\Session Manager\\\\Environment] 1\n\"Path\"=\"C:\\\\windows\"\n"
      "[System\\\\CurrentControlSet] 1\n#time=1\n" + link_head +
          HexUtf16(u"\\Registry\\Machine\\System\\ControlSet001") + "\n"
      "[Software\\\\Classes\\\\Wow6432Node] 1\n" + link_head + HexUtf16(u"\\REGISTRY\\MACHINE\\Software\\Classes") + "\n"
      "[Loop\\\\A] 1\n" + link_head + HexUtf16(u"\\Registry\\Machine\\Loop\\B") + "\n"
      "[Loop\\\\B] 1\n" + link_head + HexUtf16(u"\\Registry\\Machine\\Loop\\A") + "\n"
      "[ToUser] 1\n" + link_head + HexUtf16(u"\\Registry\\User\\S-1-5-21-0-0-0-1000\\Environment") + "\n"
      "[NoTarget] 1\n#link\n",
      "[Environment] 1\n\"TEMP\"=\"t\"\n", "");
  auto reg = prefix.Load();
  EXPECT_TRUE(Exists(*reg, HKEY_LOCAL_MACHINE,
                     u"System\\CurrentControlSet\\Control\\Session Manager\\Environment", u"Path"));
  RegKey key;
  EXPECT_EQ(reg->OpenKey(HKEY_CLASSES_ROOT, u"Wow6432Node\\Wow6432Node", KEY_READ, key), ERROR_SUCCESS);
  EXPECT_TRUE(Exists(*reg, HKEY_LOCAL_MACHINE, u"ToUser", u"TEMP"));
  EXPECT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, u"Loop\\A", KEY_READ, key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, u"NoTarget", KEY_READ, key), ERROR_FILE_NOT_FOUND);
}

TEST(PrefixRegistry, MissingPrefixOrHivesIsAnEmptyRegistry) {
  testing::TempDir empty;
  for (const auto& path : {empty.path(), empty.path() / "nowhere", std::filesystem::path()}) {
    auto reg = LoadPrefixRegistry(path);
    for (uint32_t root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
      RegKey key;
      std::u16string name;
      EXPECT_EQ(reg->OpenKey(root, u"Software", KEY_READ, key), ERROR_FILE_NOT_FOUND);
      EXPECT_EQ(reg->EnumKey(RegKey::Root(root), 0, 260, name), ERROR_NO_MORE_ITEMS);
      EXPECT_EQ(reg->QueryValue(RegKey::Root(root), u"", nullptr), ERROR_FILE_NOT_FOUND);
    }
  }
  // A hive that is not one is reported and left out.
  testing::TempDir bad;
  bad.Write("system.reg", "not a hive");
  std::string errors;
  auto reg = LoadPrefixRegistry(bad.path(), &errors);
  EXPECT_NE(errors.find("system.reg"), std::string::npos);
  std::u16string name;
  EXPECT_EQ(reg->EnumKey(RegKey::Root(HKEY_LOCAL_MACHINE), 0, 260, name), ERROR_NO_MORE_ITEMS);
}

TEST(PrefixRegistry, ReadOnlyHiveRefusesWritingRightsButReads) {
  Prefix prefix("[Software\\\\Vendor] 1\n\"v\"=\"1\"\n", "[Software\\\\Vendor] 1\n\"v\"=\"1\"\n", "");
  auto system = prefix.dir.path() / "system.reg";
  ASSERT_EQ(::chmod(system.c_str(), 0444), 0);
  const uint32_t delete_rights = DELETE | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS;
  if (::access(system.c_str(), W_OK) == 0) {
    // Privileged users may write anything; show the same through the parser.
    Hive hive(std::string(kHead) + "[Software\\\\Vendor] 1\n\"v\"=\"1\"\n", false);
    RegKey key;
    EXPECT_EQ(hive.reg->OpenKey(HKEY_LOCAL_MACHINE, u"Software\\Vendor", delete_rights, key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(hive.reg->OpenKey(HKEY_LOCAL_MACHINE, u"Software\\Vendor", KEY_READ, key), ERROR_SUCCESS);
    GTEST_SKIP() << "running as a user who may write read-only files; checked the parser flag only";
  }
  auto reg = prefix.Load();
  RegKey key;
  EXPECT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, u"Software\\Vendor", KEY_ALL_ACCESS, key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, u"Software\\Vendor", delete_rights, key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg->OpenKey(HKEY_LOCAL_MACHINE, u"Software\\Vendor", KEY_READ, key), ERROR_SUCCESS);
  EXPECT_EQ(reg->QueryValue(key, u"v", nullptr), ERROR_SUCCESS);
  EXPECT_EQ(reg->OpenKey(HKEY_CURRENT_USER, u"Software\\Vendor", KEY_ALL_ACCESS, key), ERROR_SUCCESS);
}

}  // namespace
}  // namespace kestrel
