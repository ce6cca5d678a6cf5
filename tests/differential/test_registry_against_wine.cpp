// The hive reader against Wine's RegOpenKeyExW / RegEnumKeyExW /
// RegEnumValueW / RegQueryValueExW on a prefix made by wineboot: every key's
// subkeys and values, read both ways.

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "differential/wine_probe.h"
#include "platform/prefix_registry.h"
#include "platform/text.h"

namespace kestrel {
namespace {

using testing::WineProbe;

// Keys Wine answers for that are in no hive file (volatile keys live only in
// the running wineserver), with the reason; patterns are wildcards over
// "ROOT|PATH" with the path as the probe prints it (backslashes doubled).
struct ExpectedDifference {
  const char* key;
  const char* reason;
};

const ExpectedDifference kExpected[] = {
    {"HKEY_LOCAL_MACHINE|Hardware*", "volatile: wineserver builds the hardware description at start-up"},
    {"HKEY_LOCAL_MACHINE|Software\\\\*Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Perflib\\\\009",
     "Wine answers this key from its performance-counter provider and refuses reading it (error 6); "
     "the hive holds it as a plain key"},
    {"HKEY_LOCAL_MACHINE|Software\\\\*Microsoft\\\\Windows NT\\\\CurrentVersion\\\\NetworkCards*",
     "volatile: made at start-up from the host's network adapters (the 32-bit view is a link to it, so "
     "from the hive alone that link leads nowhere)"},
    {"HKEY_LOCAL_MACHINE|System\\\\CurrentControlSet\\\\Control\\\\ComputerName\\\\ActiveComputerName",
     "volatile: the running session's computer name"},
    {"HKEY_LOCAL_MACHINE|System\\\\CurrentControlSet\\\\Control\\\\DeviceClasses\\\\*\\\\##?#*",
     "volatile: device interfaces registered by the drivers of the running session"},
    {"HKEY_LOCAL_MACHINE|System\\\\CurrentControlSet\\\\Control\\\\ServiceCurrent",
     "volatile: the service control manager's state"},
    {"HKEY_LOCAL_MACHINE|System\\\\CurrentControlSet\\\\Control\\\\Video*", "volatile: the display driver's keys"},
    {"HKEY_LOCAL_MACHINE|System\\\\CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\System*",
     "volatile: the display driver's keys seen through the current hardware profile"},
    {"HKEY_LOCAL_MACHINE|System\\\\MountedDevices", "volatile: written by the mount manager at start-up"},
    {"HKEY_CURRENT_USER|Software\\\\Wine\\\\Fonts\\\\Cache", "volatile: the session's font cache"},
    {"HKEY_USERS|S-1-5-21-0-0-0-1000\\\\Software\\\\Wine\\\\Fonts\\\\Cache", "the same key seen under HKEY_USERS"},
    {"HKEY_CURRENT_USER|Software\\\\Wine\\\\Temporary System Parameters*",
     "volatile: the session's system parameters"},
    {"HKEY_USERS|S-1-5-21-0-0-0-1000\\\\Software\\\\Wine\\\\Temporary System Parameters*",
     "the same keys seen under HKEY_USERS"},
};

struct Dump {
  std::vector<std::string> order;                        // key paths as printed
  std::map<std::string, std::vector<std::string>> keys;  // upper-cased path -> value and error lines
};

// Reads the probe's lines for one reg_tree query, up to its "." line.
size_t ParseDump(const std::vector<std::string>& lines, size_t at, Dump& dump) {
  std::string current;
  for (; at < lines.size() && lines[at] != "."; ++at) {
    const std::string& line = lines[at];
    if (line.rfind("K\t", 0) == 0) {
      current = line.substr(2);
      dump.order.push_back(current);
      dump.keys[ToUtf8(ToUpper(U(current)))];
    } else {
      dump.keys[ToUtf8(ToUpper(U(current)))].push_back(line);
    }
  }
  return at + 1;
}

std::string Hex(const std::vector<uint8_t>& data) {
  std::string out;
  char buf[4];
  for (uint8_t b : data) {
    std::snprintf(buf, sizeof buf, "%02x", b);
    out += buf;
  }
  return out;
}

// The same walk as the probe, through our Registry.
void DumpOurs(const Registry& reg, const RegKey& key, const std::u16string& path, int depth, int max_depth,
              Dump& dump) {
  std::string printed = WineProbe::Escape(path);
  std::string id = ToUtf8(ToUpper(U(printed)));
  dump.order.push_back(printed);
  auto& lines = dump.keys[id];
  std::u16string name;
  for (uint32_t i = 0;; ++i) {
    long rc = reg.EnumValue(key, i, 32768, name);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) {
      lines.push_back("E\t" + printed + "\tvalue " + std::to_string(i) + ": " + std::to_string(rc));
      break;
    }
    RegValue value;
    rc = reg.QueryValue(key, name, &value);
    if (rc != ERROR_SUCCESS) {
      lines.push_back("E\t" + printed + "\tquery " + WineProbe::Escape(name) + ": " + std::to_string(rc));
      continue;
    }
    lines.push_back("V\t" + WineProbe::Escape(name) + "\t" + std::to_string(value.type) + "\t" + Hex(value.data));
  }
  if (depth >= max_depth) return;
  for (uint32_t i = 0;; ++i) {
    long rc = reg.EnumKey(key, i, 32768, name);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) {
      lines.push_back("E\t" + printed + "\tsubkey " + std::to_string(i) + ": " + std::to_string(rc));
      break;
    }
    std::u16string child_path = path.empty() ? name : path + u"\\" + name;
    RegKey child;
    rc = reg.OpenKey(key, name, KEY_READ, child);
    if (rc != ERROR_SUCCESS) {
      dump.keys[ToUtf8(ToUpper(U(WineProbe::Escape(child_path))))].push_back(
          "E\t" + WineProbe::Escape(child_path) + "\topen: " + std::to_string(rc));
      continue;
    }
    DumpOurs(reg, child, child_path, depth + 1, max_depth, dump);
  }
}

struct Walk {
  const char* root_name;
  uint32_t root;
  int depth;  // HKEY_CLASSES_ROOT repeats HKLM\Software\Classes: its top level shows the mapping
};

const Walk kWalks[] = {
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE, 64},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER, 64},
    {"HKEY_USERS", HKEY_USERS, 64},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT, 1},
};

TEST(RegistryAgainstWine, EveryKeyAndValueOfAWinebootPrefix) {
  if (std::string why = WineProbe::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  std::vector<std::string> queries;
  for (const Walk& w : kWalks) queries.push_back(std::string("reg_tree\t") + w.root_name + "\t\t" + std::to_string(w.depth));
  std::vector<std::string> answers = WineProbe::Run(queries);  // wine has saved its hives when this returns

  std::string errors;
  std::unique_ptr<Registry> reg = LoadPrefixRegistry(WineProbe::Prefix(), &errors);
  EXPECT_EQ(errors, "");
  std::vector<bool> seen(std::size(kExpected), false);
  auto expected = [&](const std::string& root, const std::string& path) {
    for (size_t e = 0; e < std::size(kExpected); ++e)
      if (WildcardMatch(U(root + "|" + path), U(kExpected[e].key))) return bool(seen[e] = true);
    return false;
  };
  size_t at = 0, compared = 0;
  for (const Walk& w : kWalks) {
    Dump wine, ours;
    at = ParseDump(answers, at, wine);
    DumpOurs(*reg, RegKey::Root(w.root), u"", 0, w.depth, ours);
    ASSERT_GT(wine.order.size(), 0u) << w.root_name;
    for (const std::string& path : wine.order) {
      std::string id = ToUtf8(ToUpper(U(path)));
      auto mine = ours.keys.find(id);
      if (mine == ours.keys.end()) {
        if (!expected(w.root_name, path)) ADD_FAILURE() << "only Wine has " << w.root_name << "\\" << path;
        continue;
      }
      ++compared;
      if (mine->second != wine.keys[id] && !expected(w.root_name, path))
        ADD_FAILURE() << "values differ in " << w.root_name << "\\" << path << "\n  ours: "
                      << ::testing::PrintToString(mine->second) << "\n  wine: "
                      << ::testing::PrintToString(wine.keys[id]);
    }
    for (const std::string& path : ours.order)
      if (!wine.keys.count(ToUtf8(ToUpper(U(path)))) && !expected(w.root_name, path))
        ADD_FAILURE() << "only ours has " << w.root_name << "\\" << path;
  }
  EXPECT_GT(compared, 1000u);
  for (size_t e = 0; e < std::size(kExpected); ++e)
    EXPECT_TRUE(seen[e]) << "expected difference no longer seen: " << kExpected[e].key;
}

}  // namespace
}  // namespace kestrel
