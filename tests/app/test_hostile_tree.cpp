// A test run of `kestrel-cli test` over a prefix built to hurt a walker: a
// link back to its own folder, a link to "/", a chain of folders 10,000 deep,
// a folder nobody may read, names that are not UTF-8, a 255-byte name and a
// folder of 100,000 files. The run must end, give lines that say what is
// there, keep its totals in step with its lines, and hold memory in
// proportion to what it prints.
//
// Permissions do not stop root, so as root the run is made as "nobody".

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/prefix_builder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const fs::path kCli = fs::path(KESTREL_BIN_DIR) / "kestrel-cli";
constexpr int kDepth = 10000;
constexpr int kMany = 100000;
constexpr uid_t kNobody = 65534;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// `parent`/deep/d/d/.../d (kDepth levels below deep) with leaf.tmp at the
// bottom, made with paths relative to open folders: the whole path is longer
// than any path the system takes.
void MakeChain(const fs::path& parent) {
  int fd = open(parent.c_str(), O_RDONLY | O_DIRECTORY);
  Check(fd >= 0, "open");
  const char* name = "deep";
  for (int level = 0; level <= kDepth; ++level, name = "d") {
    Check(mkdirat(fd, name, 0755) == 0, "mkdirat");
    int child = openat(fd, name, O_RDONLY | O_DIRECTORY);
    close(fd);
    Check(child >= 0, "openat");
    fd = child;
  }
  int leaf = openat(fd, "leaf.tmp", O_WRONLY | O_CREAT, 0644);
  Check(leaf >= 0, "leaf");
  close(leaf);
  close(fd);
}

// Removes the chain from the top: each folder's only subfolder is moved up in
// its place, so no path grows and no folder stays open.
void RemoveChain(const fs::path& parent) {
  int fd = open(parent.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  for (;;) {
    int deep = openat(fd, "deep", O_RDONLY | O_DIRECTORY);
    if (deep < 0) break;
    const bool has_child = renameat(deep, "d", fd, "deep.next") == 0;
    unlinkat(deep, "leaf.tmp", 0);
    close(deep);
    unlinkat(fd, "deep", AT_REMOVEDIR);
    if (!has_child || renameat(fd, "deep.next", fd, "deep") != 0) break;
  }
  close(fd);
}

struct CliRun {
  int status = -1;  // exit status, -1 when killed
  int signal = 0;
  long max_rss_kb = 0;
  std::vector<std::string> lines;
  std::string err;
  size_t output_bytes = 0;
};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs `cli test --prefix PREFIX PLUGIN`, as nobody when we are root, with a
// five-minute alarm against a hang.
CliRun TestRun(const fs::path& cli, const fs::path& prefix, const fs::path& plugin, const fs::path& out_dir) {
  const fs::path out = out_dir / "out.txt", err = out_dir / "err.txt";
  int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  Check(out_fd >= 0 && err_fd >= 0, "open output");
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
         setresuid(kNobody, kNobody, kNobody) != 0))
      _exit(125);
    alarm(300);
    execl(cli.c_str(), "kestrel-cli", "test", "--prefix", prefix.c_str(), plugin.c_str(), nullptr);
    _exit(127);
  }
  close(out_fd);
  close(err_fd);
  CliRun run;
  int status = 0;
  rusage usage{};
  Check(pid > 0 && wait4(pid, &status, 0, &usage) == pid, "wait");
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.max_rss_kb = usage.ru_maxrss;
  std::string text = ReadAll(out);
  run.output_bytes = text.size();
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  run.err = ReadAll(err);
  return run;
}

size_t CountStartingWith(const std::vector<std::string>& lines, const std::string& head) {
  size_t n = 0;
  for (const auto& line : lines) n += line.compare(0, head.size(), head) == 0;
  return n;
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line, size_t from = 0) {
  for (size_t i = from; i < lines.size(); ++i)
    if (lines[i] == line) return i;
  return lines.size();
}

uint64_t Total(const std::vector<std::string>& lines, const std::string& name) {
  for (const auto& line : lines)
    if (line.rfind(name + "\t: ", 0) == 0) return std::stoull(line.substr(name.size() + 3));
  ADD_FAILURE() << "no total " << name;
  return 0;
}

class HostileTree : public ::testing::Test {
 protected:
  void TearDown() override { RemoveChain(prefix_.DriveC() / "hostile"); }
  testing::PrefixBuilder prefix_;
};

TEST_F(HostileTree, TheRunEndsWithSoundLinesAndMemoryInProportion) {
  if (!fs::exists(kCli)) GTEST_SKIP() << "kestrel-cli was not built";
  const fs::path hostile = prefix_.AddFolder("hostile");
  prefix_.AddLink("hostile/loop", "..");
  prefix_.AddLink("hostile/root", "/");
  prefix_.AddFile("hostile/locked/inner/x.tmp", "x");
  prefix_.AddFile("hostile/bad\xFF\xFE.tmp", "bb");
  const std::string long_name(251, 'n');
  prefix_.AddFile("hostile/" + long_name + ".tmp", "lll");
  const fs::path many = prefix_.AddFolder("hostile/many");
  {
    int fd = open(many.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < kMany; ++i) {
      int file = openat(fd, ("f" + std::to_string(i) + ".tmp").c_str(), O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(file, 0);
      close(file);
    }
    close(fd);
  }
  MakeChain(hostile);
  fs::permissions(hostile / "locked", fs::perms::none);

  // As nobody, the fixture must be reachable and the program runnable from it.
  fs::permissions(prefix_.Root(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  const fs::path cli = prefix_.Root() / "kestrel-cli";
  fs::copy_file(kCli, cli);
  const fs::path plugin = prefix_.Root() / "hostile.cln";
  std::ofstream(plugin, std::ios::binary) << "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\n"
                                             "Encrypted=0\r\nHIDEOPTION=0\r\n[DISK_OPTION]\r\n"
                                             "0=Hostile<1>0,1,2\r\n[DISK]\r\n0=C:\\hostile\\*.tmp /S\r\n"
                                             "1=C:\\hostile /E\r\n2=C:\\hostile\\*.none /S /C\r\n";
  const fs::path out_dir = prefix_.Root() / "out";
  fs::create_directory(out_dir);

  const CliRun run = TestRun(cli, prefix_.Root(), plugin, out_dir);
  ASSERT_EQ(run.signal, 0) << "killed by signal " << run.signal << "\n" << run.err;
  ASSERT_EQ(run.status, 0) << run.err;
  const auto& lines = run.lines;
  const std::string file = "\tDeleted File: C:\\hostile\\", folder = "\tDeleted Folder: C:\\hostile\\";

  // Links are listed, never entered.
  for (const auto& line : lines) {
    ASSERT_EQ(line.find("C:\\hostile\\loop\\"), std::string::npos) << line;
    ASSERT_EQ(line.find("C:\\hostile\\root\\"), std::string::npos) << line;
  }
  EXPECT_LT(IndexOf(lines, folder + "loop"), lines.size());
  EXPECT_LT(IndexOf(lines, folder + "root"), lines.size());
  EXPECT_LT(IndexOf(lines, "\tDeleted Folder If Empty: C:\\hostile\\root"), lines.size());

  // Each bad byte shows as U+FFFD; the long name comes whole. Both walks that
  // delete files list them, the pattern walk and the empty-path walk.
  for (const std::string& name : {std::string("bad\xEF\xBF\xBD\xEF\xBF\xBD.tmp"), long_name + ".tmp"})
    EXPECT_EQ(std::count(lines.begin(), lines.end(), file + name), 2) << name;
  EXPECT_EQ(CountStartingWith(lines, file + "many\\"), size_t(2 * kMany));

  // The folder nobody may read: passed over by the pattern walk, an error
  // then its own line in the empty-path walk, empty for the subfolder walk.
  EXPECT_EQ(IndexOf(lines, file + "locked\\inner\\x.tmp"), lines.size());
  const size_t locked = IndexOf(lines, "\tError: Unable to access C:\\hostile\\locked\\*.*");
  ASSERT_LT(locked + 1, lines.size());
  EXPECT_EQ(lines[locked + 1], folder + "locked");
  EXPECT_LT(IndexOf(lines, "\tDeleted Folder If Empty: C:\\hostile\\locked"), lines.size());

  // The chain goes deeper than the longest path the system takes: the folder
  // where the path grows too long cannot be listed, which the empty-path walk
  // reports once, then every folder above it, deepest first. Nothing below is
  // seen, so the leaf is never listed.
  const std::string unable_deep = "\tError: Unable to access C:\\hostile\\deep\\";
  ASSERT_EQ(CountStartingWith(lines, unable_deep), 1u);
  size_t at = 0;
  while (lines[at].compare(0, unable_deep.size(), unable_deep) != 0) ++at;
  const size_t levels = (lines[at].size() - unable_deep.size() - 3) / 2;  // "d" levels apart, then "\*.*"
  EXPECT_GT(levels, 1000u) << "the walk stopped early";
  EXPECT_LT(levels, size_t(kDepth));
  EXPECT_EQ(CountStartingWith(lines, folder + "deep"), levels + 1);
  std::string deepest = folder + "deep";
  for (size_t i = 0; i < levels; ++i) deepest += "\\d";
  EXPECT_EQ(lines[at + 1], deepest);
  EXPECT_EQ(CountStartingWith(lines, "\tDeleted Folder If Empty: C:\\hostile\\deep"), levels + 1);
  for (const auto& line : lines) ASSERT_EQ(line.find("leaf.tmp"), std::string::npos);

  // The totals count the lines.
  EXPECT_EQ(Total(lines, "Files Deleted"), CountStartingWith(lines, "\tDeleted File: "));
  EXPECT_EQ(Total(lines, "Folders Deleted"), CountStartingWith(lines, "\tDeleted Folder"));
  EXPECT_EQ(Total(lines, "Total Size in KB"), 1u);  // 10 bytes in all, rounded up

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // Memory follows the output (the log is held whole), not the tree: a walk
  // that kept every listing, or went down a link, would show here.
  EXPECT_LT(run.max_rss_kb * 1024, 48l * 1024 * 1024 + 4 * long(run.output_bytes))
      << run.max_rss_kb << " kB for " << run.output_bytes << " bytes of output";
#endif
}

}  // namespace
}  // namespace kestrel
