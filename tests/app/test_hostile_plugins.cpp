// Plug-in files from strangers: `kestrel-cli format` reads and writes them
// with the editor's reader and writer. Each must end in a written file or a
// clear refusal on standard error, never in a crash. (Larger sizes than these,
// a 50 MB line and 1,000,000 actions, were run by hand; the README's limits
// section gives their figures.)

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/hostile_plugins.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using namespace testing;

const fs::path kCli = fs::path(KESTREL_BIN_DIR) / "kestrel-cli";

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct Outcome {
  bool exited = false;
  int status = -1;
  std::string out, err;
};

// Runs kestrel-cli with arguments already quoted for the shell.
Outcome Cli(const testing::TempDir& dir, const std::string& args) {
  const fs::path out = dir.path() / "out.txt", err = dir.path() / "err.txt";
  std::string command = Quote(kCli.string()) + " " + args + " >" + Quote(out.string()) + " 2>" + Quote(err.string());
  int raw = std::system(command.c_str());
  Outcome o;
  o.exited = WIFEXITED(raw) && WEXITSTATUS(raw) < 126;  // not killed, not a shell failure
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  o.out = dir.Read("out.txt");
  o.err = dir.Read("err.txt");
  return o;
}

Outcome Format(const testing::TempDir& dir, const fs::path& in) {
  return Cli(dir, "format " + Quote(in.string()) + " -o " + Quote((dir.path() / "out.cln").string()));
}

TEST(HostilePlugins, EachEndsInAFileOrAClearRefusal) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "kestrel-cli was not built";
  testing::TempDir dir;
  struct Case {
    std::string name;
    std::string bytes;
    int status;           // 0 written, 1 refused
    const char* message;  // on standard error
  };
  const Case cases[] = {
      {"junk.cln", BinaryJunk(1 << 20), 1, "Error reading file"},
      {"utf16_no_bom.cln", Utf16WithoutBom(), 1, "Error reading file"},
      {"long_line.cln", LongActionLine(5 << 20), 0, "Some strings are longer than 512 chars."},
      {"many_actions.cln", ManyActions(100000), 0, ""},
      {"million_members.cln", ManyMembers(1000000), 0, ""},
      {"huge_numbers.cln", HugeNumbers(), 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome o = Format(dir, dir.Write(c.name, c.bytes));
    ASSERT_TRUE(o.exited) << "crashed or was killed: " << o.err;
    EXPECT_EQ(o.status, c.status) << o.err;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
  }

  // A 500 MB file (sparse) is larger than any profile is read: refused at once.
  Outcome o = Format(dir, WriteSparsePlugin(dir.path() / "huge.cln", uint64_t(500) << 20));
  ASSERT_TRUE(o.exited) << o.err;
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("Error reading file"), std::string::npos) << o.err;
}

TEST(HostilePlugins, RegistryExportsThatAreNoneAreSetAsideAndTheRunGoesOn) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "kestrel-cli was not built";
  testing::TempDir dir;
  const fs::path plugin = dir.Write("one.cln", HostileHeader() + "[REG_OPTION]\r\n0=G<1>0\r\n[REGISTRY]\r\n"
                                               "0=DELKEY=HKEY_USERS\\x\r\n");
  const std::string header = "Windows Registry Editor Version 5.00\r\n[HKEY_USERS\\x]\r\n";
  std::u16string utf16 = u"Windows Registry Editor Version 5.00\r\n[HKEY_USERS\\x]\r\n";
  struct Case {
    std::string name;
    fs::path file;
    const char* message;  // on standard error; empty: none
    bool loaded;          // the key of the export is found
  };
  const Case cases[] = {
      {"junk", dir.Write("junk.reg", BinaryJunk(1 << 20)), "not a registry export", false},
      {"UTF-16 without BOM",
       dir.Write("utf16.reg", std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2)),
       "not a registry export", false},
      {"5 MB value", dir.Write("long.reg", header + "\"v\"=\"" + std::string(5 << 20, 'y') + "\"\r\n"), "", true},
      {"500 MB of zeros", dir.Write("zeros.reg", ""), "not a registry export", false},
      {"over the limit", dir.Write("huge.reg", header), "is too large", false},
  };
  fs::resize_file(cases[3].file, uint64_t(500) << 20);  // sparse: no disk space used
  fs::resize_file(cases[4].file, uint64_t(3) << 29);     // 1.5 GiB
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome o = Cli(dir, "test --registry " + Quote(c.file.string()) + " " + Quote(plugin.string()));
    ASSERT_TRUE(o.exited) << "crashed or was killed: " << o.err;
    EXPECT_EQ(o.status, 0) << o.err;
    if (*c.message) EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    else EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out.find("\tDeleted Key: Hkey_Users\\x\n") != std::string::npos, c.loaded) << o.out;
  }
}

}  // namespace
}  // namespace kestrel
