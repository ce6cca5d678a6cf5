// The test run only reads, proven at the system-call level: `kestrel-cli
// test` runs under strace on a prefix that every kind of action touches, and
// no call that could change the file system may appear. Its standard output
// is opened by the shell before strace starts, so it is no exception to look
// for.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/prefix_system_info.h"
#include "platform/text.h"
#include "support/prefix_builder.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::PrefixBuilder;

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const fs::path kCli = fs::path(KESTREL_BIN_DIR) / "kestrel-cli";

// Calls that change the file system whatever their arguments.
const std::set<std::string> kChanging = {
    "creat", "unlink", "unlinkat", "rename", "renameat", "renameat2", "mkdir", "mkdirat", "rmdir",
    "truncate", "ftruncate", "chmod", "fchmod", "fchmodat", "chown", "fchown", "lchown", "fchownat",
    "utime", "utimes", "utimensat", "futimesat", "link", "linkat", "symlink", "symlinkat", "mknod",
    "mknodat", "setxattr", "lsetxattr", "fsetxattr", "removexattr", "lremovexattr", "fremovexattr"};
// Opening calls, which change it when they write, create or truncate.
const std::set<std::string> kOpening = {"open", "openat", "openat2"};

std::string TraceSet() {
  std::string set;
  for (const auto* names : {&kChanging, &kOpening})
    for (const std::string& name : *names) set += (set.empty() ? "" : ",") + name;
  return set;
}

const char kPlugin[] =
    "[Settings]\r\nDescription=Touches every kind of action\r\nProvider=tests\r\nVersion=1.0\r\n"
    "Encrypted=0\r\nHIDEOPTION=0\r\n"
    "[REG_OPTION]\r\n0=Registry Actions<1>0,1,2,3,4\r\n"
    "[DISK_OPTION]\r\n0=File/Folder Actions<1>0,1,2,3,4\r\n"
    "[REGISTRY]\r\n"
    "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n"
    "1=DELKEY=HKEY_CURRENT_USER\\Software\\Example\\Old\r\n"
    "2=DELLIST=HKEY_CURRENT_USER\\Software\\Example\\Recent,File\r\n"
    "3=DELKLIST=HKEY_CURRENT_USER\\Software\\Example,Sub\r\n"
    "4=EMPTYKEY=HKEY_LOCAL_MACHINE\\Software\\Example\r\n"
    "[DISK]\r\n"
    "0=%APPDATA%\\Example\\Logs\\*.log|*.tmp /X:keep.log /S /C\r\n"
    "1=%APPDATA%\\Example\\Cache /E /R\r\n"
    "2=INIFILE=%APPDATA%\\Example\\settings.ini|Recent|File1\r\n"
    "3=INIFILE=%APPDATA%\\Example\\settings.ini|Other\r\n"
    "4=%LOCALAPPDATA%\\Example\\Empty\\*.* /R\r\n";

// "[PID ]name(args..." into name and args; false for other lines (exits,
// signals, resumed calls).
bool SplitCall(const std::string& line, std::string& name, std::string& args) {
  size_t at = 0;
  while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) ++at;
  if (at > 0) {
    if (at == line.size() || !std::isspace(static_cast<unsigned char>(line[at]))) return false;
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
  }
  const size_t start = at;
  while (at < line.size() && (std::isalnum(static_cast<unsigned char>(line[at])) || line[at] == '_')) ++at;
  if (at == start || at == line.size() || line[at] != '(') return false;
  name = line.substr(start, at - start);
  args = line.substr(at + 1);
  return true;
}

TEST(ReadOnlyUnderStrace, TestRunMakesNoCallThatChangesTheFileSystem) {
  if (Shell("command -v strace >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed (scripts/deps.sh)";
  if (!fs::exists(kCli) || Shell(Quote(kCli.string()) + " test --help >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "kestrel-cli has no test command in this build";

  const std::string user = ToUtf8(LoginName());
  PrefixBuilder prefix;
  prefix.AddWineLayout(user);
  using H = PrefixBuilder;
  prefix.SetString(H::kUser, u"Software\\Example\\Recent", u"LastFile", u"a.txt")
      .SetString(H::kUser, u"Software\\Example\\Recent", u"File1", u"b.txt")
      .SetString(H::kUser, u"Software\\Example\\Old\\Deeper", u"x", u"1")
      .AddKey(H::kUser, u"Software\\Example\\SubOne\\Child")
      .SetDword(H::kMachine, u"Software\\Example\\Inner", u"n", 7);
  const std::string roaming = "users/" + user + "/AppData/Roaming/Example/";
  prefix.AddFile(roaming + "Logs/a.log", "a");
  prefix.AddFile(roaming + "Logs/keep.log", "k");
  prefix.AddFile(roaming + "Logs/deep/b.tmp", "b");
  prefix.AddFolder(roaming + "Logs/deep/empty");
  prefix.AddFile(roaming + "Cache/x.bin", "x");
  prefix.AddFile(roaming + "Cache/sub/y.bin", "y");
  prefix.AddFile(roaming + "settings.ini", "[Recent]\r\nFile1=a\r\n[Other]\r\nk=v\r\n");
  prefix.AddFolder("users/" + user + "/AppData/Local/Example/Empty");
  prefix.AddLink(roaming + "Logs/loop", "..");

  testing::TempDir scratch;
  const fs::path plugin = scratch.Write("all.cln", kPlugin);
  const fs::path trace = scratch.path() / "trace.txt";
  const fs::path out = scratch.path() / "out.txt";
  int status = Shell("env HOME=/nonexistent WINEPREFIX= strace -f -qq -e trace=" + TraceSet() + " -o " +
                     Quote(trace.string()) + " " + Quote(kCli.string()) + " test --prefix " +
                     Quote(prefix.Root().string()) + " " + Quote(plugin.string()) + " >" + Quote(out.string()) +
                     " 2>" + Quote((scratch.path() / "err.txt").string()));
  std::string log = scratch.Read("out.txt");
  if (status != 0 && scratch.Read("err.txt").find("ptrace") != std::string::npos)
    GTEST_SKIP() << "strace cannot trace here: " << scratch.Read("err.txt");
  ASSERT_EQ(status, 0) << scratch.Read("err.txt");

  // The run did reach every kind of item.
  for (const char* item : {"\tDeleted Value: ", "\tDeleted Key: ", "\tDeleted File: ", "\tDeleted Folder"})
    EXPECT_NE(log.find(item), std::string::npos) << item << " missing from\n" << log;

  std::ifstream in(trace);
  size_t calls = 0;
  for (std::string line; std::getline(in, line);) {
    std::string name, args;
    if (!SplitCall(line, name, args)) continue;
    ++calls;
    if (kChanging.count(name)) {
      ADD_FAILURE() << "changing call: " << line;
    } else if (kOpening.count(name)) {
      for (const char* flag : {"O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND"}) {
        if (args.find(flag) == std::string::npos) continue;
        ADD_FAILURE() << "open for writing: " << line;
        break;
      }
    }
  }
  EXPECT_GT(calls, 10u) << "the trace holds almost nothing";
}

}  // namespace
}  // namespace kestrel
