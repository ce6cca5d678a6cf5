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
#include <random>
#include <string>

#include "platform/text.h"
#include "platform/text_encoding.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const fs::path kCli = fs::path(KESTREL_BIN_DIR) / "kestrel-cli";
const std::string kHeader =
    "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\nEncrypted=0\r\nHIDEOPTION=0\r\n";

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

std::string Numbers(size_t count) {
  std::string list;
  for (size_t i = 0; i < count; ++i) list += (i ? "," : "") + std::to_string(i);
  return list;
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
  std::mt19937 random(8);
  std::string junk(1 << 20, '\0');
  for (char& c : junk) c = char(random());
  std::string actions = kHeader + "[REG_OPTION]\r\n0=G<1>" + Numbers(100000) + "\r\n[REGISTRY]\r\n";
  for (int i = 0; i < 100000; ++i)
    actions += std::to_string(i) + "=DELKEY=HKEY_CURRENT_USER\\Software\\K" + std::to_string(i) + "\r\n";
  const std::string one = "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\x\r\n";
  const Case cases[] = {
      {"junk.cln", junk, 1, "Error reading file"},
      {"utf16_no_bom.cln", EncodeText(U(kHeader + one), TextEncoding::kUtf16Le).substr(2), 1,
       "Error reading file"},
      {"long_line.cln", kHeader + "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\" + std::string(5 << 20, 'x') + "\r\n", 0,
       "Some strings are longer than 512 chars."},
      {"many_actions.cln", actions, 0, ""},
      {"million_members.cln", kHeader + "[REG_OPTION]\r\n0=G<1>" + Numbers(1000000) + "\r\n" + one, 0, ""},
      {"huge_numbers.cln",
       kHeader + "[REG_OPTION]\r\n0=G<1>0,2147483648,4294967296,99999999999999999999,-1\r\n" + one +
           "2147483648=DELKEY=HKEY_USERS\\y\r\n",
       0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome o = Format(dir, dir.Write(c.name, c.bytes));
    ASSERT_TRUE(o.exited) << "crashed or was killed: " << o.err;
    EXPECT_EQ(o.status, c.status) << o.err;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
  }

  // A 500 MB file (sparse) is larger than any profile is read: refused at once.
  const fs::path huge = dir.Write("huge.cln", kHeader + one);
  fs::resize_file(huge, uint64_t(500) << 20);
  Outcome o = Format(dir, huge);
  ASSERT_TRUE(o.exited) << o.err;
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("Error reading file"), std::string::npos) << o.err;
}

}  // namespace
}  // namespace kestrel
