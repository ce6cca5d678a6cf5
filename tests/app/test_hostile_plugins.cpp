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
  std::string err;
};

Outcome Format(const testing::TempDir& dir, const fs::path& in) {
  const fs::path out = dir.path() / "out.cln", err = dir.path() / "err.txt";
  std::string command = Quote(kCli.string()) + " format " + Quote(in.string()) + " -o " + Quote(out.string()) +
                        " >/dev/null 2>" + Quote(err.string());
  int raw = std::system(command.c_str());
  Outcome o;
  o.exited = WIFEXITED(raw) && WEXITSTATUS(raw) < 126;  // not killed, not a shell failure
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream e(err);
  o.err.assign(std::istreambuf_iterator<char>(e), {});
  return o;
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

}  // namespace
}  // namespace kestrel
