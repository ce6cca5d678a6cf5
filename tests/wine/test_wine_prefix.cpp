// Checks against a prefix made by Wine itself: its hives load completely and
// the system facts come out as Wine gives them to a Windows program. The
// prefix is built once per test run by the wine_prefix fixture (see
// tests/CMakeLists.txt); run on its own, this program builds one itself.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "platform/prefix_file_system.h"
#include "platform/prefix_registry.h"
#include "platform/prefix_system_info.h"
#include "platform/text.h"
#include "platform/windows_world.h"
#include "platform/wine_hive.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

bool WineInstalled() {
  return std::system("command -v wineboot >/dev/null 2>&1 && command -v wineserver >/dev/null 2>&1") == 0;
}

struct WinePrefix {
  fs::path dir;
  std::string skip;   // why there is no prefix, when Wine is missing
  std::string error;  // why there is no prefix although Wine is there
};

const WinePrefix& Prefix() {
  static std::unique_ptr<testing::TempDir> own;  // removed when the program ends
  static const WinePrefix prefix = [] {
    WinePrefix p;
    if (!WineInstalled()) {
      p.skip = "Wine is not installed (no wineboot on PATH): install the wine and wine64 packages "
               "(scripts/deps.sh) to test against a real prefix";
      return p;
    }
    if (const char* given = std::getenv("KESTREL_WINE_PREFIX"); given && *given) {
      p.dir = given;
    } else {
      own = std::make_unique<testing::TempDir>();
      p.dir = own->path() / "prefix";
      std::string command = std::string("sh '") + KESTREL_MAKE_PREFIX + "' '" + p.dir.string() + "'";
      if (std::system(command.c_str()) != 0) p.error = "building the prefix failed: " + command;
    }
    if (p.error.empty() && !fs::exists(p.dir / "system.reg"))
      p.error = "Wine is installed but no prefix was built in " + p.dir.string();
    return p;
  }();
  return prefix;
}

#define REQUIRE_PREFIX()                                  \
  do {                                                    \
    if (!Prefix().skip.empty()) GTEST_SKIP() << Prefix().skip; \
    ASSERT_EQ(Prefix().error, "");                        \
  } while (false)

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A key of a hive file as the file writes it.
struct FileKey {
  std::u16string path;
  bool link = false;
  size_t values = 0;
};

// Reads the key lines of a hive: "[Path\\With\\Escapes] time", with "#link"
// and value lines ('"' or '@' first) after them.
std::vector<FileKey> KeysOf(const fs::path& hive) {
  std::vector<FileKey> keys;
  for (const auto& line : Lines(hive)) {
    if (line.starts_with("[")) {
      // Escapes: "\\x" and up to four hex digits is one UTF-16 unit, any
      // other character after "\\" stands for itself.
      std::u16string path;
      std::string run;
      for (size_t i = 1; i < line.size() && line[i] != ']'; ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
          run += line[i];
        } else if (line[++i] != 'x') {
          run += line[i];
        } else {
          unsigned unit = 0, digits = 0;
          while (digits < 4 && i + 1 < line.size() && std::isxdigit(uint8_t(line[i + 1]))) {
            unit = unit * 16 + unsigned(std::stoi(std::string(1, line[++i]), nullptr, 16));
            ++digits;
          }
          path += FromUtf8(run);
          run.clear();
          path += char16_t(unit);
        }
      }
      keys.push_back(FileKey{path + FromUtf8(run)});
    } else if (!keys.empty() && line == "#link") {
      keys.back().link = true;
    } else if (!keys.empty() && (line.starts_with("\"") || line.starts_with("@"))) {
      ++keys.back().values;
    }
  }
  return keys;
}

struct Hive {
  const char* file;
  uint32_t root;
  std::u16string_view below;  // path of the hive's root under `root`
};
constexpr Hive kHives[] = {
    {"system.reg", HKEY_LOCAL_MACHINE, u""},
    {"user.reg", HKEY_CURRENT_USER, u""},
    {"userdef.reg", HKEY_USERS, u".DEFAULT"},
};

TEST(WinePrefix, EveryLineOfTheThreeHivesParses) {
  REQUIRE_PREFIX();
  size_t all_keys = 0, all_values = 0, all_links = 0;
  for (const auto& hive : kHives) {
    SCOPED_TRACE(hive.file);
    auto keys = KeysOf(Prefix().dir / hive.file);
    size_t values = 0, links = 0;
    for (const auto& key : keys) {
      values += key.values;
      links += key.link;
    }
    RegNode root;
    HiveLoadReport report;
    ASSERT_TRUE(LoadWineHiveFile(Prefix().dir / hive.file, root, &report));
    EXPECT_EQ(report.keys, keys.size());
    EXPECT_EQ(report.values, values);
    EXPECT_EQ(report.skipped_lines, 0u);
    for (const auto& problem : report.problems) ADD_FAILURE() << problem;
    all_keys += keys.size();
    all_values += values;
    all_links += links;
  }
  // A fresh prefix: about 9,000 keys and 16,000 values, some of them links.
  EXPECT_GT(all_keys, 5000u);
  EXPECT_GT(all_values, 10000u);
  EXPECT_GT(all_links, 10u);
  RecordProperty("keys", int(all_keys));
  RecordProperty("values", int(all_values));
  RecordProperty("links", int(all_links));
}

TEST(WinePrefix, EveryKeyOpensWithItsValues) {
  REQUIRE_PREFIX();
  std::string errors;
  auto registry = LoadPrefixRegistry(Prefix().dir, &errors);
  EXPECT_EQ(errors, "");
  for (const auto& hive : kHives) {
    SCOPED_TRACE(hive.file);
    size_t failed = 0;
    for (const auto& key : KeysOf(Prefix().dir / hive.file)) {
      std::u16string path = hive.below.empty() ? key.path : std::u16string(hive.below) + u"\\" + key.path;
      RegKey opened;
      long status = registry->OpenKey(hive.root, path, KEY_READ, opened);
      // Wine does not save volatile keys, so a link may point at nothing.
      if (key.link && status == ERROR_FILE_NOT_FOUND) continue;
      if (status != ERROR_SUCCESS) {
        if (++failed <= 5) ADD_FAILURE() << "cannot open " << ToUtf8(path);
        continue;
      }
      if (key.link) continue;  // opens its target, whose values are counted there
      size_t values = 0;
      std::u16string name;
      while (registry->EnumValue(opened, uint32_t(values), 16384, name) == ERROR_SUCCESS) ++values;
      EXPECT_EQ(values, key.values) << ToUtf8(path);
    }
    EXPECT_EQ(failed, 0u);
  }
  // HKEY_CURRENT_USER is the user's key under HKEY_USERS.
  RegKey user;
  EXPECT_EQ(registry->OpenKey(HKEY_USERS, u"S-1-5-21-0-0-0-1000\\Volatile Environment", KEY_READ, user),
            ERROR_SUCCESS);
}

// NAME=VALUE lines of Wine's own "set" in the prefix.
std::map<std::u16string, std::u16string> WineEnvironment() {
  std::map<std::u16string, std::u16string> variables;
  fs::path file = Prefix().dir.string() + ".env";
  for (const auto& line : Lines(file)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    std::string name = line.substr(0, eq);
    // Wine's own variables and cmd's prompt are not part of the Windows environment.
    if (name.starts_with("WINE") || name == "PROMPT") continue;
    variables[ToUpper(FromUtf8(name))] = FromUtf8(line.substr(eq + 1));
  }
  return variables;
}

TEST(WinePrefix, SystemFactsComeOutAsWineGivesThem) {
  REQUIRE_PREFIX();
  auto registry = LoadPrefixRegistry(Prefix().dir);
  PrefixSystemInfo system(*registry, LoginName());
  const std::u16string user = LoginName();
  ASSERT_FALSE(user.empty());
  const std::u16string profile = u"C:\\users\\" + user;

  EXPECT_EQ(system.WindowsDirectory(), u"C:\\windows");
  EXPECT_EQ(system.SystemDirectory(), u"C:\\windows\\system32");
  struct {
    int csidl;
    std::u16string expected;
  } folders[] = {
      {CSIDL_APPDATA, profile + u"\\AppData\\Roaming"},
      {CSIDL_LOCAL_APPDATA, profile + u"\\AppData\\Local"},
      {CSIDL_INTERNET_CACHE, profile + u"\\AppData\\Local\\Microsoft\\Windows\\INetCache"},
      {CSIDL_PERSONAL, profile + u"\\Documents"},
      {CSIDL_COMMON_APPDATA, u"C:\\ProgramData"},
  };
  for (const auto& folder : folders) {
    std::u16string value;
    ASSERT_TRUE(system.SpecialFolder(folder.csidl, value)) << folder.csidl;
    EXPECT_EQ(value, folder.expected) << folder.csidl;
  }

  // The same variables with the same values as a program run by Wine sees.
  auto wine = WineEnvironment();
  ASSERT_GT(wine.size(), 20u) << "no environment recorded by the prefix fixture";
  for (const auto& [name, value] : wine) {
    std::u16string ours;
    EXPECT_TRUE(system.Environment(name, ours)) << "missing " << ToUtf8(name);
    EXPECT_EQ(ours, value) << ToUtf8(name);
  }
  for (const auto& [name, value] : system.Variables())
    EXPECT_TRUE(wine.count(ToUpper(name))) << "not in Wine's environment: " << ToUtf8(name);
  EXPECT_EQ(wine[u"APPDATA"], profile + u"\\AppData\\Roaming");
}

TEST(WinePrefix, DrivesAndFoldersOfThePrefix) {
  REQUIRE_PREFIX();
  WindowsWorld world = LoadWindowsWorld(Prefix().dir);
  const FileSystem& files = world.files();
  std::u16string appdata, documents;
  ASSERT_TRUE(world.system().SpecialFolder(CSIDL_APPDATA, appdata));
  ASSERT_TRUE(world.system().SpecialFolder(CSIDL_PERSONAL, documents));

  auto roaming = files.Attributes(ToUpper(appdata));
  ASSERT_TRUE(roaming);
  EXPECT_TRUE(roaming->is_folder);
  // Wine links Documents to the home folder.
  auto docs = files.Attributes(documents);
  ASSERT_TRUE(docs);
  EXPECT_TRUE(docs->is_folder);
  EXPECT_TRUE(docs->is_link);
  EXPECT_TRUE(files.Attributes(u"c:\\WINDOWS\\System32\\KERNEL32.DLL"));
  EXPECT_TRUE(files.Attributes(u"Z:\\"));  // the Unix root

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(files.ListFolder(u"C:\\windows\\system32", entries));
  ASSERT_GT(entries.size(), 100u);
  EXPECT_EQ(entries[0].name, u".");
  EXPECT_EQ(entries[1].name, u"..");
  for (size_t i = 3; i < entries.size(); ++i)
    EXPECT_TRUE(ListingOrderLess(entries[i - 1].name, entries[i].name)) << ToUtf8(entries[i].name);
}

}  // namespace
}  // namespace kestrel
