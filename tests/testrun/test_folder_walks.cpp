#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/prefix_file_system.h"
#include "platform/text.h"
#include "support/prefix_builder.h"
#include "testrun/folder_walks.h"

namespace kestrel {
namespace {

using Lines = std::vector<std::u16string>;
using testing::PrefixBuilder;

struct Walked {
  Lines lines;
  uint64_t files = 0, folders = 0, bytes = 0;
};

Walked Collect(const std::function<void(CTestResults&)>& walk) {
  CTestResults results;
  results.Reset(nullptr);
  walk(results);
  EXPECT_EQ(results.registry_values_deleted + results.registry_keys_deleted, 0);
  return {results.Lines(), results.files_deleted, results.folders_deleted, results.total_bytes};
}

// C:\Temp on a fixture prefix. Listed (upper-cased ordinal order) as
// a.tmp, b.log, e\, f\, keep1.log, mykeep.log, s\, x.DLL, y.exe.
class FolderWalks : public ::testing::Test {
 protected:
  FolderWalks() : files_(prefix_.Root()) {
    prefix_.AddFile("Temp/a.tmp", std::string(10, 'a'));
    prefix_.AddFile("Temp/b.log", std::string(20, 'b'));
    prefix_.AddFile("Temp/keep1.log", "k");
    prefix_.AddFile("Temp/mykeep.log", "m");
    prefix_.AddFile("Temp/x.DLL", "x");
    prefix_.AddFile("Temp/y.exe", "y");
    prefix_.AddFile("Temp/s/c.tmp", std::string(30, 'c'));
    prefix_.AddFolder("Temp/s/Low/inner");
    prefix_.AddFolder("Temp/e");
    prefix_.AddFile("Temp/f/g/h.txt", "h");
  }

  Walked Files(std::u16string_view folder, bool subfolders, Lines patterns, Lines exclusions = {}) {
    return Collect([&](CTestResults& r) { EvaluateFiles(r, files_, folder, subfolders, patterns, exclusions); });
  }
  Walked EmptyPath(std::u16string_view folder) {
    return Collect([&](CTestResults& r) { EvaluateEmptyPath(r, files_, folder); });
  }
  Walked EmptySubfolders(std::u16string_view folder, bool is_top = true) {
    return Collect([&](CTestResults& r) { EvaluateEmptySubfolders(r, files_, folder, is_top); });
  }

  PrefixBuilder prefix_;
  PrefixFileSystem files_;
};

TEST_F(FolderWalks, PatternWalks) {
  struct Case {
    const char* what;
    bool subfolders;
    Lines patterns, exclusions, lines;
    uint64_t bytes;
  };
  const Case cases[] = {
      {"two patterns through subfolders, each file once", true, {u"*.tmp", u"*.log", u"a*"}, {},
       {u"\tDeleted File: C:\\Temp\\a.tmp", u"\tDeleted File: C:\\Temp\\b.log",
        u"\tDeleted File: C:\\Temp\\keep1.log", u"\tDeleted File: C:\\Temp\\mykeep.log",
        u"\tDeleted File: C:\\Temp\\s\\c.tmp"},
       10 + 20 + 1 + 1 + 30},
      {"without subfolders", false, {u"*.TMP"}, {}, {u"\tDeleted File: C:\\Temp\\a.tmp"}, 10},
      {"a star never takes *.dll or *.exe, in any case; subfolders where listed", true, {u"*"}, {},
       {u"\tDeleted File: C:\\Temp\\a.tmp", u"\tDeleted File: C:\\Temp\\b.log",
        u"\tDeleted File: C:\\Temp\\f\\g\\h.txt", u"\tDeleted File: C:\\Temp\\keep1.log",
        u"\tDeleted File: C:\\Temp\\mykeep.log", u"\tDeleted File: C:\\Temp\\s\\c.tmp"},
       10 + 20 + 1 + 1 + 1 + 30},
      {"naming a protected file does not help", false, {u"x.dll", u"Y.EXE"}, {}, {}, 0},
      {"exclusions match whole names", false, {u"*.log"}, {u"keep*.log"},
       {u"\tDeleted File: C:\\Temp\\b.log", u"\tDeleted File: C:\\Temp\\mykeep.log"}, 21},
      {"patterns match names, not paths", true, {u"s\\*", u"*Temp*"}, {}, {}, 0},
      {"no pattern, no file", true, {}, {}, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Walked w = Files(u"C:\\Temp", c.subfolders, c.patterns, c.exclusions);
    EXPECT_EQ(w.lines, c.lines);
    EXPECT_EQ(w.files, c.lines.size());
    EXPECT_EQ(w.bytes, c.bytes);
    EXPECT_EQ(w.folders, 0u);
  }
  // A folder that cannot be listed gives nothing.
  EXPECT_TRUE(Files(u"C:\\Missing", true, {u"*"}).lines.empty());
}

TEST_F(FolderWalks, EmptyPathListsContentsBeforeTheirFolder) {
  prefix_.AddFile("Order/a", "1");
  prefix_.AddFile("Order/b", "22");
  prefix_.AddFile("Order/s/c", "333");
  Walked w = EmptyPath(u"C:\\Order");
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted File: C:\\Order\\a", u"\tDeleted File: C:\\Order\\b",
                            u"\tDeleted File: C:\\Order\\s\\c", u"\tDeleted Folder: C:\\Order\\s"}));
  EXPECT_EQ(w.files, 3u);
  EXPECT_EQ(w.folders, 1u);
  EXPECT_EQ(w.bytes, 6u);

  // Every name, protected ones included; nested folders innermost first;
  // trailing backslashes of the folder do not show.
  w = EmptyPath(u"C:\\Temp\\s\\\\");
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted File: C:\\Temp\\s\\c.tmp", u"\tDeleted Folder: C:\\Temp\\s\\Low\\inner",
                            u"\tDeleted Folder: C:\\Temp\\s\\Low"}));
  EXPECT_EQ(EmptyPath(u"C:\\Temp").files, 8u);

  for (const char16_t* missing : {u"C:\\Missing", u"C:\\Temp\\a.tmp", u"Q:\\x"}) {
    w = EmptyPath(missing);
    EXPECT_EQ(w.lines, Lines{u"\tError: Unable to access " + std::u16string(missing) + u"\\*.*"});
    EXPECT_EQ(w.files + w.folders, 0u);
  }
}

TEST_F(FolderWalks, EmptySubfoldersAfterTheirSubfoldersButNeverLow) {
  Walked w = EmptySubfolders(u"C:\\Temp");
  // f holds only a subfolder, so it counts as empty; g holds a file.
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted Folder If Empty: C:\\Temp\\e", u"\tDeleted Folder If Empty: C:\\Temp\\f",
                            u"\tDeleted Folder If Empty: C:\\Temp\\s\\Low\\inner"}));
  EXPECT_EQ(w.folders, 3u);
  EXPECT_EQ(w.files, 0u);

  prefix_.AddFolder("Temp/e/low");  // "Low" in any case
  prefix_.AddFolder("Temp/e/Lower");
  w = EmptySubfolders(u"C:\\Temp\\e");
  EXPECT_EQ(w.lines, Lines{u"\tDeleted Folder If Empty: C:\\Temp\\e\\Lower"});
  // Not the top: the folder itself is a candidate too.
  w = EmptySubfolders(u"C:\\Temp\\e", false);
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted Folder If Empty: C:\\Temp\\e\\Lower", u"\tDeleted Folder If Empty: C:\\Temp\\e"}));
  EXPECT_TRUE(EmptySubfolders(u"C:\\Missing").lines.empty());
  EXPECT_EQ(EmptySubfolders(u"C:\\Missing", false).lines, Lines{u"\tDeleted Folder If Empty: C:\\Missing"});
}

TEST_F(FolderWalks, LinksAreListedButNeverEntered) {
  prefix_.AddFile("L/a.txt", "aaaa");
  prefix_.AddLink("L/loop", "../L");            // a cycle back to the folder
  prefix_.AddLink("L/out", prefix_.DriveC() / "Temp");  // another tree
  prefix_.AddLink("L/tofile.txt", "a.txt");
  prefix_.AddLink("L/dangling", "nowhere");

  Walked w = EmptyPath(u"C:\\L");
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted File: C:\\L\\a.txt", u"\tDeleted Folder: C:\\L\\loop",
                            u"\tDeleted Folder: C:\\L\\out", u"\tDeleted File: C:\\L\\tofile.txt"}));
  EXPECT_EQ(w.bytes, 8u);

  w = Files(u"C:\\L", true, {u"*"});
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted File: C:\\L\\a.txt", u"\tDeleted File: C:\\L\\tofile.txt"}));

  w = EmptySubfolders(u"C:\\L");
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted Folder If Empty: C:\\L\\loop", u"\tDeleted Folder If Empty: C:\\L\\out"}));
}

// Lists through the prefix, and removes a folder from the disk right after
// its parent has been listed: the walk meets a folder that has vanished.
class VanishingFolder : public FileSystem {
 public:
  VanishingFolder(const FileSystem& inner, std::u16string parent, std::filesystem::path victim)
      : inner_(inner), parent_(std::move(parent)), victim_(std::move(victim)) {}
  std::optional<FileAttributes> Attributes(std::u16string_view p) const override { return inner_.Attributes(p); }
  std::optional<std::filesystem::path> HostPath(std::u16string_view p) const override { return inner_.HostPath(p); }
  bool ListFolder(std::u16string_view folder, std::vector<FolderEntry>& out) const override {
    bool ok = inner_.ListFolder(folder, out);
    if (folder == parent_) std::filesystem::remove_all(victim_);
    return ok;
  }

 private:
  const FileSystem& inner_;
  std::u16string parent_;
  std::filesystem::path victim_;
};

TEST_F(FolderWalks, AFolderThatVanishesMidWalkIsAnUnreadableFolder) {
  auto walk = [&](const std::function<void(CTestResults&, const FileSystem&)>& evaluate) {
    prefix_.AddFile("Temp/s/c.tmp", "c");
    VanishingFolder files(files_, u"C:\\Temp", prefix_.DriveC() / "Temp" / "s");
    return Collect([&](CTestResults& r) { evaluate(r, files); });
  };
  Walked w = walk([](CTestResults& r, const FileSystem& fs) { EvaluateEmptyPath(r, fs, u"C:\\Temp"); });
  EXPECT_EQ(w.lines.size(), 12u);
  EXPECT_EQ(w.lines[8], u"\tError: Unable to access C:\\Temp\\s\\*.*");
  EXPECT_EQ(w.lines[9], u"\tDeleted Folder: C:\\Temp\\s");

  w = walk([](CTestResults& r, const FileSystem& fs) { EvaluateFiles(r, fs, u"C:\\Temp", true, {u"*.tmp"}, {}); });
  EXPECT_EQ(w.lines, Lines{u"\tDeleted File: C:\\Temp\\a.tmp"});

  w = walk([](CTestResults& r, const FileSystem& fs) { EvaluateEmptySubfolders(r, fs, u"C:\\Temp", true); });
  EXPECT_EQ(w.lines.back(), u"\tDeleted Folder If Empty: C:\\Temp\\s");
}

TEST_F(FolderWalks, EntriesRemovedWhileTheirFolderIsReadAreLeftOutOrUnreadable) {
  // When C:\Temp's listing reads its first entry, two files and a subfolder
  // go from the disk: the files, already named by the listing, are left out;
  // the subfolder is listed but cannot be walked.
  const std::filesystem::path temp = prefix_.DriveC() / "Temp";
  bool removed = false;
  files_.SetEntryHook([&](const std::string& folder, const char*) {
    if (removed || !std::filesystem::equivalent(folder, temp)) return;
    removed = true;
    std::filesystem::remove(temp / "a.tmp");
    std::filesystem::remove(temp / "keep1.log");
    std::filesystem::remove_all(temp / "s");
  });
  Walked w = EmptyPath(u"C:\\Temp");
  ASSERT_TRUE(removed);
  EXPECT_EQ(w.lines, (Lines{u"\tDeleted File: C:\\Temp\\b.log", u"\tDeleted Folder: C:\\Temp\\e",
                            u"\tDeleted File: C:\\Temp\\f\\g\\h.txt", u"\tDeleted Folder: C:\\Temp\\f\\g",
                            u"\tDeleted Folder: C:\\Temp\\f", u"\tDeleted File: C:\\Temp\\mykeep.log",
                            u"\tError: Unable to access C:\\Temp\\s\\*.*", u"\tDeleted Folder: C:\\Temp\\s",
                            u"\tDeleted File: C:\\Temp\\x.DLL", u"\tDeleted File: C:\\Temp\\y.exe"}));
  EXPECT_EQ(w.files, 5u);
  EXPECT_EQ(w.bytes, 24u);
}

// A tree held in memory, for shapes no disk holds: ten thousand levels, or
// thousands of random trees. Paths are matched exactly.
class MemoryTree : public FileSystem {
 public:
  void AddFolder(const std::u16string& path) { folders_[path]; }
  // A folder entry that is no link gets a listable folder unless `unlistable`.
  void AddEntry(const std::u16string& folder, FolderEntry entry, bool unlistable = false) {
    std::u16string child = folder + u"\\" + entry.name;
    if (entry.is_folder && !entry.is_link && !unlistable) AddFolder(child);
    folders_[folder].push_back(std::move(entry));
  }
  std::optional<FileAttributes> Attributes(std::u16string_view) const override { return std::nullopt; }
  std::optional<std::filesystem::path> HostPath(std::u16string_view) const override { return std::nullopt; }
  bool ListFolder(std::u16string_view folder, std::vector<FolderEntry>& out) const override {
    out.clear();
    auto it = folders_.find(std::u16string(folder));
    if (it == folders_.end()) return false;
    out.push_back({u".", true, false, 0});
    out.push_back({u"..", true, false, 0});
    out.insert(out.end(), it->second.begin(), it->second.end());
    return true;
  }

 private:
  std::map<std::u16string, std::vector<FolderEntry>> folders_;
};

// A chain of folders C:\deep\d\d\... `depth` levels below C:\deep, answered
// without storing it: each level holds a.txt and d, the last one z.log and an
// empty folder e.
class DeepChain : public FileSystem {
 public:
  explicit DeepChain(size_t depth) : depth_(depth) {}
  std::u16string Bottom() const {
    std::u16string path = u"C:\\deep";
    for (size_t i = 0; i < depth_; ++i) path += u"\\d";
    return path;
  }
  std::optional<FileAttributes> Attributes(std::u16string_view) const override { return std::nullopt; }
  std::optional<std::filesystem::path> HostPath(std::u16string_view) const override { return std::nullopt; }
  bool ListFolder(std::u16string_view folder, std::vector<FolderEntry>& out) const override {
    out.clear();
    if (folder.substr(0, 7) != u"C:\\deep") return false;
    std::u16string_view rest = folder.substr(7);
    size_t level = rest.size() / 2;
    if (level > depth_ + 1) return false;
    out.push_back({u".", true, false, 0});
    out.push_back({u"..", true, false, 0});
    if (level == depth_ + 1) return rest.substr(rest.size() - 2) == u"\\e";
    if (level == depth_) {
      out.push_back({u"e", true, false, 0});
      out.push_back({u"z.log", false, false, 5});
    } else {
      out.push_back({u"a.txt", false, false, 1});
      out.push_back({u"d", true, false, 0});
    }
    return true;
  }

 private:
  size_t depth_;
};

TEST(FolderWalksDeep, TenThousandLevelsWalkWithoutOverflow) {
  const DeepChain tree(10000);
  const std::u16string bottom = tree.Bottom();
  CTestResults results;
  results.Reset(nullptr);
  EvaluateFiles(results, tree, u"C:\\deep", true, {u"*.log"}, {});
  EXPECT_EQ(results.Lines(), Lines{u"\tDeleted File: " + bottom + u"\\z.log"});
  results.Reset(nullptr);
  EvaluateEmptySubfolders(results, tree, u"C:\\deep", true);
  EXPECT_EQ(results.Lines(), Lines{u"\tDeleted Folder If Empty: " + bottom + u"\\e"});

  // Emptying reports every level, so its log grows with the square of the
  // depth: a shallower chain keeps the test light.
  constexpr size_t kDepth = 2000;
  const DeepChain shallower(kDepth);
  const std::u16string low = shallower.Bottom();
  results.Reset(nullptr);
  EvaluateEmptyPath(results, shallower, u"C:\\deep");
  EXPECT_EQ(results.files_deleted, uint64_t(kDepth + 1));
  EXPECT_EQ(results.folders_deleted, uint64_t(kDepth + 1));
  // Each level's file, then (at the bottom) the empty folder and z.log, then
  // the folders from the bottom up.
  ASSERT_EQ(results.GetSize(), 2 * kDepth + 2);
  EXPECT_EQ(results[kDepth - 1], u"\tDeleted File: " + low.substr(0, low.size() - 2) + u"\\a.txt");
  EXPECT_EQ(results[kDepth], u"\tDeleted Folder: " + low + u"\\e");
  EXPECT_EQ(results[kDepth + 1], u"\tDeleted File: " + low + u"\\z.log");
  EXPECT_EQ(results[kDepth + 2], u"\tDeleted Folder: " + low);
  EXPECT_EQ(results[2 * kDepth + 1], u"\tDeleted Folder: C:\\deep\\d");
}

// The walks as plain recursions, the way they are usually described; the
// iterative walks must give the same lines in the same order.
struct Reference {
  const FileSystem& fs;
  Lines lines;

  static bool Dot(const FolderEntry& e) { return e.name == u"." || e.name == u".."; }
  void EmptyPath(const std::u16string& folder) {
    std::vector<FolderEntry> entries;
    if (!fs.ListFolder(folder, entries)) {
      lines.push_back(u"\tError: Unable to access " + folder + u"\\*.*");
      return;
    }
    for (const auto& e : entries) {
      if (Dot(e)) continue;
      std::u16string path = folder + u"\\" + e.name;
      if (!e.is_folder) {
        lines.push_back(u"\tDeleted File: " + path);
        continue;
      }
      if (!e.is_link) EmptyPath(path);
      lines.push_back(u"\tDeleted Folder: " + path);
    }
  }
  void Files(const std::u16string& folder, const Lines& patterns) {
    std::vector<FolderEntry> entries;
    if (!fs.ListFolder(folder, entries)) return;
    for (const auto& e : entries) {
      if (e.is_folder) {
        if (!Dot(e) && !e.is_link) Files(folder + u"\\" + e.name, patterns);
        continue;
      }
      if (IsProtectedFileName(e.name)) continue;
      for (const auto& p : patterns)
        if (WildcardMatch(e.name, p)) {
          lines.push_back(u"\tDeleted File: " + folder + u"\\" + e.name);
          break;
        }
    }
  }
  void EmptySubfolders(const std::u16string& folder, bool is_top) {
    std::vector<FolderEntry> entries;
    bool empty = true;
    if (fs.ListFolder(folder, entries)) {
      for (const auto& e : entries) {
        if (!e.is_folder) empty = false;
        else if (!Dot(e) && !e.is_link) EmptySubfolders(folder + u"\\" + e.name, false);
        else if (!Dot(e) && !WildcardMatch(folder + u"\\" + e.name, u"*\\Low"))
          lines.push_back(u"\tDeleted Folder If Empty: " + folder + u"\\" + e.name);
      }
    }
    if (!is_top && empty && !WildcardMatch(folder, u"*\\Low"))
      lines.push_back(u"\tDeleted Folder If Empty: " + folder);
  }
};

TEST(FolderWalksRandom, SameLinesAsTheRecursiveWalks) {
  std::mt19937 random(4);
  for (int round = 0; round < 300; ++round) {
    MemoryTree tree;
    std::vector<std::u16string> folders{u"C:\\r"};
    tree.AddFolder(folders[0]);
    int entries = int(random() % 60);
    for (int i = 0; i < entries; ++i) {
      const std::u16string parent = folders[random() % folders.size()];
      const char16_t* names[] = {u"a.txt", u"b.dll", u"Low", u"c", u"d.log", u"e"};
      std::u16string name = names[random() % 6] + FormatDecimal(i % 3 == 0 ? 0 : i);
      if (random() % 7 == 0) name = u"Low";
      switch (random() % 4) {
        case 0:
        case 1:
          tree.AddEntry(parent, {name, false, false, random() % 100});
          break;
        case 2:
          tree.AddEntry(parent, {name, true, false, 0});
          folders.push_back(parent + u"\\" + name);
          break;
        default:
          // A link, or a folder that cannot be listed.
          if (random() % 2) tree.AddEntry(parent, {name, true, true, 0});
          else tree.AddEntry(parent, {name, true, false, 0}, true);
          break;
      }
    }
    const Lines patterns{u"*.txt", u"?0"};
    for (bool top : {true, false}) {
      Reference ref{tree, {}};
      ref.EmptySubfolders(u"C:\\r", top);
      EXPECT_EQ(Collect([&](CTestResults& r) { EvaluateEmptySubfolders(r, tree, u"C:\\r", top); }).lines, ref.lines);
    }
    Reference ref{tree, {}};
    ref.EmptyPath(u"C:\\r");
    EXPECT_EQ(Collect([&](CTestResults& r) { EvaluateEmptyPath(r, tree, u"C:\\r"); }).lines, ref.lines);
    ref.lines.clear();
    ref.Files(u"C:\\r", patterns);
    EXPECT_EQ(Collect([&](CTestResults& r) { EvaluateFiles(r, tree, u"C:\\r", true, patterns, {}); }).lines, ref.lines);
    if (HasFailure()) break;
  }
}

TEST_F(FolderWalks, AStopRequestEndsAWalk) {
  std::atomic<bool> stop{true};
  Walked w = Collect([&](CTestResults& r) { EvaluateEmptyPath(r, files_, u"C:\\Temp", RunStop(&stop)); });
  EXPECT_TRUE(w.lines.empty());
  w = Collect([&](CTestResults& r) { EvaluateFiles(r, files_, u"C:\\Temp", true, {u"*"}, {}, RunStop(&stop)); });
  EXPECT_TRUE(w.lines.empty());
}

}  // namespace
}  // namespace kestrel
