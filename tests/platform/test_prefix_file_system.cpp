#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/prefix_file_system.h"
#include "support/prefix_builder.h"

namespace kestrel {
namespace {

using testing::PrefixBuilder;
namespace fs = std::filesystem;

std::vector<std::u16string> Names(const std::vector<FolderEntry>& entries) {
  std::vector<std::u16string> names;
  for (const auto& e : entries) names.push_back(e.name);
  return names;
}

const FolderEntry* Find(const std::vector<FolderEntry>& entries, std::u16string_view name) {
  for (const auto& e : entries)
    if (e.name == name) return &e;
  return nullptr;
}

TEST(PrefixFileSystem, ComponentsResolveWithoutRegardToCase) {
  PrefixBuilder prefix;
  prefix.AddFile("users/joe/AppData/Roaming/Example/Logs/today.log", "12345");
  PrefixFileSystem files(prefix.Root());

  auto attributes = files.Attributes(u"C:\\users\\joe\\appdata\\ROAMING\\example\\logs\\TODAY.LOG");
  ASSERT_TRUE(attributes);
  EXPECT_FALSE(attributes->is_folder);
  EXPECT_EQ(attributes->size, 5u);
  auto host = files.HostPath(u"c:/Users/JOE/AppData/Roaming/example/logs");
  ASSERT_TRUE(host);
  EXPECT_TRUE(host->string().ends_with("/users/joe/AppData/Roaming/Example/Logs"));
  EXPECT_TRUE(fs::equivalent(*host, prefix.DriveC() / "users/joe/AppData/Roaming/Example/Logs"));

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(files.ListFolder(u"C:\\USERS\\Joe\\appdata\\roaming\\EXAMPLE\\LOGS", entries));
  EXPECT_EQ(Names(entries), (std::vector<std::u16string>{u".", u"..", u"today.log"}));
}

TEST(PrefixFileSystem, ExactSpellingWinsOverOtherCases) {
  PrefixBuilder prefix;
  prefix.AddFile("Data/LOGS/a", "x");
  prefix.AddFile("Data/logs/b", "yy");
  prefix.AddFile("Data/Logs/c", "zzz");
  PrefixFileSystem files(prefix.Root());

  EXPECT_TRUE(files.Attributes(u"C:\\Data\\logs\\b"));
  EXPECT_FALSE(files.Attributes(u"C:\\Data\\logs\\a"));
  // No exact match: the first in listing order ("LOGS" < "Logs" < "logs").
  auto host = files.HostPath(u"C:\\data\\lOgS");
  ASSERT_TRUE(host);
  EXPECT_EQ(host->filename(), "LOGS");
}

TEST(PrefixFileSystem, PathsThatMapToNothing) {
  PrefixBuilder prefix;
  prefix.AddFile("file.txt", "x");
  prefix.AddFolder("users");
  PrefixFileSystem files(prefix.Root());
  ASSERT_TRUE(files.Attributes(u"C:\\users"));

  for (std::u16string_view path : {
           u"users", u"\\users", u"/users", u"",                     // no drive letter
           u"\\\\server\\share\\users", u"\\\\.\\C:\\users", u"\\\\?\\C:\\users",  // UNC, device
           u"D:\\", u"D:\\users",                                    // no such drive
           u"C:\\missing", u"C:\\users\\missing",                    // nothing there
           u"C:\\file.txt\\", u"C:\\file.txt\\x",                    // a file taken as a folder
           u"C:\\user*", u"C:\\users?", u"1:\\users",
       }) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    EXPECT_FALSE(files.Attributes(path));
    EXPECT_FALSE(files.HostPath(path));
    std::vector<FolderEntry> entries;
    EXPECT_FALSE(files.ListFolder(path, entries));
  }
}

TEST(PrefixFileSystem, DriveRootsDotsAndSeparators) {
  PrefixBuilder prefix;
  prefix.AddFile("a/b/c.txt", "abc");
  PrefixFileSystem files(prefix.Root());

  for (std::u16string_view root : {u"C:", u"C:\\", u"c:/", u"C:\\a\\..", u"C:\\..\\.."}) {
    auto attributes = files.Attributes(root);
    ASSERT_TRUE(attributes) << std::string(root.begin(), root.end());
    EXPECT_TRUE(attributes->is_folder);
    EXPECT_FALSE(attributes->is_link);  // the drive's own link is not the folder's
  }
  for (std::u16string_view path : {u"C:\\a\\b\\c.txt", u"C:/a/b/c.txt", u"C:\\a\\\\b\\.\\c.txt",
                                   u"C:\\a\\x\\..\\b\\c.txt", u"C:a\\b\\c.txt"})
    EXPECT_TRUE(files.Attributes(path)) << std::string(path.begin(), path.end());
  EXPECT_TRUE(files.Attributes(u"C:\\a\\b\\"));

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(files.ListFolder(u"C:", entries));
  EXPECT_EQ(Names(entries), (std::vector<std::u16string>{u".", u"..", u"a"}));
}

TEST(PrefixFileSystem, DriveLinksAbsoluteRelativeAndBroken) {
  PrefixBuilder prefix;
  testing::TempDir elsewhere;
  elsewhere.Write("Games/save.dat", "data");
  prefix.MapDrive('d', elsewhere.path());           // absolute
  prefix.MapDrive('e', "../drive_c/../drive_c");    // relative to dosdevices
  prefix.MapDrive('f', prefix.Root() / "missing");  // target gone
  prefix.AddFile("x.txt", "x");
  PrefixFileSystem files(prefix.Root());

  EXPECT_TRUE(files.Attributes(u"d:\\games\\SAVE.DAT"));
  EXPECT_TRUE(files.Attributes(u"E:\\x.txt"));
  EXPECT_FALSE(files.Attributes(u"F:\\"));
  EXPECT_FALSE(files.Attributes(u"F:\\x.txt"));
  std::vector<FolderEntry> entries;
  EXPECT_FALSE(files.ListFolder(u"F:\\", entries));
  EXPECT_TRUE(entries.empty());
}

TEST(PrefixFileSystem, ListingIsDotsThenUpperCasedOrdinalOrder) {
  PrefixBuilder prefix;
  for (const char* name : {"b", "B", "a", "_x", "Z", "[", "ab", "A1", "a0"}) prefix.AddFile(std::string("d/") + name, "");
  PrefixFileSystem files(prefix.Root());

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(files.ListFolder(u"C:\\d", entries));
  // Upper-cased, "_" (0x5F) sorts after "Z" and "[": unlike a lower-case order.
  EXPECT_EQ(Names(entries), (std::vector<std::u16string>{u".", u"..", u"a", u"a0", u"A1", u"ab", u"B",
                                                          u"b", u"Z", u"[", u"_x"}));
  EXPECT_TRUE(entries[0].is_folder);
  EXPECT_TRUE(entries[1].is_folder);
}

TEST(PrefixFileSystem, EntriesCarryKindLinkAndSize) {
  PrefixBuilder prefix;
  testing::TempDir home;
  home.Write("notes.txt", "hello");
  prefix.AddFileOfSize("d/big.bin", 5'000'000'000ull);
  prefix.AddFolder("d/sub");
  prefix.AddLink("d/home", home.path());
  prefix.AddLink("d/notes", home.path() / "notes.txt");
  prefix.AddLink("d/dangling", prefix.Root() / "nowhere");
  PrefixFileSystem files(prefix.Root());

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(files.ListFolder(u"C:\\d", entries));
  EXPECT_EQ(Names(entries), (std::vector<std::u16string>{u".", u"..", u"big.bin", u"home", u"notes", u"sub"}));
  auto* big = Find(entries, u"big.bin");
  EXPECT_FALSE(big->is_folder);
  EXPECT_FALSE(big->is_link);
  EXPECT_EQ(big->size, 5'000'000'000ull);
  EXPECT_TRUE(Find(entries, u"sub")->is_folder);
  auto* home_link = Find(entries, u"home");
  EXPECT_TRUE(home_link->is_folder);
  EXPECT_TRUE(home_link->is_link);
  auto* notes = Find(entries, u"notes");
  EXPECT_FALSE(notes->is_folder);
  EXPECT_TRUE(notes->is_link);
  EXPECT_EQ(notes->size, 5u);

  // Paths through a link reach its target.
  auto attributes = files.Attributes(u"C:\\d\\HOME\\Notes.txt");
  ASSERT_TRUE(attributes);
  EXPECT_EQ(attributes->size, 5u);
  EXPECT_FALSE(attributes->is_link);
  EXPECT_TRUE(files.Attributes(u"C:\\d\\home")->is_link);
  EXPECT_FALSE(files.Attributes(u"C:\\d\\dangling"));
}

TEST(PrefixFileSystem, NamesThatAreNotUtf8LeadBackToTheirFiles) {
  PrefixBuilder prefix;
  prefix.AddFile("d/caf\xE9/menu\xFF.txt", "abc");
  prefix.AddFile("d/caf\xC3\xA9.txt", "xy");  // valid UTF-8 next to it
  PrefixFileSystem files(prefix.Root());

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(files.ListFolder(u"C:\\d", entries));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[2].name, u"caf\u00E9.txt");
  EXPECT_EQ(entries[3].name, u"caf\uFFFD");
  EXPECT_TRUE(entries[3].is_folder);

  std::u16string folder = u"C:\\d\\" + entries[3].name;
  ASSERT_TRUE(files.ListFolder(folder, entries));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2].name, u"menu\uFFFD.txt");
  auto attributes = files.Attributes(folder + u"\\MENU\uFFFD.TXT");
  ASSERT_TRUE(attributes);
  EXPECT_EQ(attributes->size, 3u);
  EXPECT_EQ(files.HostPath(folder + u"\\" + entries[2].name)->filename(), "menu\xFF.txt");
}

TEST(PrefixFileSystem, ListingThatCannotStart) {
  PrefixBuilder prefix;
  prefix.AddFile("file.txt", "x");
  prefix.AddFolder("locked/inner");
  PrefixFileSystem files(prefix.Root());

  std::vector<FolderEntry> entries{FolderEntry{u"stale"}};
  EXPECT_FALSE(files.ListFolder(u"C:\\file.txt", entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(files.ListFolder(u"C:\\missing", entries));

  if (geteuid() != 0) {  // permissions do not stop root
    fs::permissions(prefix.DriveC() / "locked", fs::perms::none);
    EXPECT_FALSE(files.ListFolder(u"C:\\locked", entries));
    EXPECT_FALSE(files.Attributes(u"C:\\locked\\inner"));
    EXPECT_FALSE(files.Attributes(u"C:\\LOCKED\\INNER"));
    EXPECT_TRUE(files.Attributes(u"C:\\locked"));
  }
}

TEST(PrefixFileSystem, WithoutPrefixOrDrivesNothingExists) {
  PrefixFileSystem none{fs::path()};
  testing::TempDir bare;  // a folder without dosdevices
  PrefixFileSystem empty(bare.path());
  for (const PrefixFileSystem* files : {&none, &empty}) {
    std::vector<FolderEntry> entries;
    EXPECT_FALSE(files->Attributes(u"C:\\"));
    EXPECT_FALSE(files->ListFolder(u"C:\\", entries));
    EXPECT_FALSE(files->HostPath(u"C:\\windows"));
  }
}

}  // namespace
}  // namespace kestrel
