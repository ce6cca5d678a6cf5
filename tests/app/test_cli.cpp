#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/prefix_system_info.h"
#include "platform/text.h"
#include "support/prefix_builder.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::PrefixBuilder;

struct CliResult {
  int status = -1;
  std::string out, err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs kestrel-cli with `args` and no prefix from the developer's own
// environment: HOME and WINEPREFIX are set for the child as given.
CliResult RunCli(const std::vector<std::string>& args, const testing::TempDir& scratch,
                 const std::string& env = "HOME=/nonexistent WINEPREFIX=", const std::string& cwd = ".") {
  std::string command = "cd " + Quote(cwd) + " && env " + env + " " +
                        Quote(std::string(KESTREL_BIN_DIR) + "/kestrel-cli");
  for (const auto& a : args) command += " " + Quote(a);
  const fs::path err_file = scratch.path() / "stderr.txt";
  command += " 2>" + Quote(err_file.string());
  CliResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = scratch.Read("stderr.txt");
  return result;
}

const char kExample[] =
    "[Settings]\r\nDescription=Removes the recent file list of the example editor\r\nProvider=someone\r\n"
    "Version=1.0\r\nEncrypted=0\r\nHIDEOPTION=1\r\n[REG_OPTION]\r\n0=Registry Actions<1>0\r\n"
    "[DISK_OPTION]\r\n0=File/Folder Actions<1>0,1\r\n[REGISTRY]\r\n"
    "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n[DISK]\r\n"
    "0=%APPDATA%\\Example\\Logs\\*.log /S\r\n1=%APPDATA%\\Example\\Cache /E /R\r\n";

class Cli : public ::testing::Test {
 protected:
  Cli() : user_(ToUtf8(LoginName())) {
    prefix_.AddWineLayout(user_);
    prefix_.SetString(PrefixBuilder::kUser, u"Software\\Example\\Recent", u"LastFile", u"a.txt");
    const std::string roaming = "users/" + user_ + "/AppData/Roaming/Example/";
    prefix_.AddFile(roaming + "Logs/a.log", std::string(1000, 'a'));
    prefix_.AddFile(roaming + "Logs/old/b.log", std::string(500, 'b'));
    prefix_.AddFile(roaming + "Cache/x.bin", std::string(2048, 'x'));
    prefix_.AddFile(roaming + "Cache/sub/y.bin", "y");
    plugin_ = scratch_.Write("example.cln", kExample);
  }

  std::string user_;
  PrefixBuilder prefix_;
  testing::TempDir scratch_;
  fs::path plugin_;
};

TEST_F(Cli, PrintsTheLogOfTheExamplePlugin) {
  const std::string roaming = "C:\\users\\" + user_ + "\\AppData\\Roaming\\Example\\";
  const std::string expected =
      "Testing: " + plugin_.string() + "\n" + std::string(32, '=') + "\n" +
      "\n\n"
      "[Registry Action: Delete Value: HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\\LastFile]\n"
      "\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,LastFile\n"
      "\n\n"
      "[File/Folder Action: Delete Path and subdirs matching pattern (%APPDATA%\\Example\\Logs\\*.log)]\n"
      "\tDeleted File: " + roaming + "Logs\\a.log\n"
      "\tDeleted File: " + roaming + "Logs\\old\\b.log\n"
      "\n\n"
      "[File/Folder Action: Empty Path (%APPDATA%\\Example\\Cache)]\n"
      "\tDeleted File: " + roaming + "Cache\\sub\\y.bin\n"
      "\tDeleted Folder: " + roaming + "Cache\\sub\n"
      "\tDeleted File: " + roaming + "Cache\\x.bin\n"
      "\tDeleted Folder If Empty: " + roaming + "Cache\n" +
      std::string(64, '=') + "\n" +
      "\n\n"
      "[Results]\n"
      "Files Deleted\t: 4\nFolders Deleted\t: 2\nTotal Size in KB\t: 4 KB\n\n"
      "Registry Values Deleted\t: 1\nRegistry Keys Deleted\t: 0\n"
      "\n\n";
  CliResult r = RunCli({"test", "--prefix", prefix_.Root().string(), plugin_.string()}, scratch_);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.err, "");

  // WINEPREFIX names the prefix when --prefix is not given; a relative FILE
  // shows as its absolute path.
  r = RunCli({"test", "example.cln"}, scratch_, "HOME=/nonexistent WINEPREFIX=" + Quote(prefix_.Root().string()),
             scratch_.path().string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, expected);
}

TEST_F(Cli, RegistryExportsReplaceThePrefixRegistryInTheOrderGiven) {
  // The first export has the value under another key; the second removes that
  // key again and registers the application the PATH setting names.
  const fs::path first = scratch_.Write("first.reg",
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Example\\Recent]\r\n\"Other\"=\"1\"\r\n"
      "[HKEY_CURRENT_USER\\Software\\Example\\Dropped]\r\n\"Other\"=\"1\"\r\n");
  const fs::path second = scratch_.Write("second.reg",
      "REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Example\\Dropped]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\example.exe]\r\n"
      "\"Path\"=\"C:\\\\Example\\\\;\"\r\n");
  prefix_.AddFile("Example/cache.tmp", "t");
  const fs::path plugin = scratch_.Write("exports.cln",
      "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\nPATH=example.exe\r\n"
      "[REG_OPTION]\r\n0=R<1>0,1,2\r\n[DISK_OPTION]\r\n0=D<1>0,1\r\n[REGISTRY]\r\n"
      "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n"
      "1=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,Other\r\n"
      "2=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Dropped,Other\r\n"
      "[DISK]\r\n0=%PATH%\\*.tmp\r\n1=%APPDATA%\\Example\\Logs\\*.log\r\n");
  CliResult r = RunCli({"test", "--prefix", prefix_.Root().string(), "--registry", first.string(),
                        "--registry=" + second.string(), plugin.string()},
                       scratch_);
  EXPECT_EQ(r.status, 0) << r.err;
  // Registry actions and the App Paths look-up see the exports only...
  EXPECT_EQ(r.out.find("Recent,LastFile\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,Other\n"), std::string::npos);
  EXPECT_EQ(r.out.find("Dropped,Other\n"), std::string::npos);
  EXPECT_NE(r.out.find("\tDeleted File: C:\\Example\\cache.tmp\n"), std::string::npos);
  // ...while special folders still come from the prefix.
  EXPECT_NE(r.out.find("\tDeleted File: C:\\users\\" + user_ + "\\AppData\\Roaming\\Example\\Logs\\a.log\n"),
            std::string::npos);
}

TEST_F(Cli, WithoutAPrefixTheEmptyWorldFindsNothing) {
  CliResult r = RunCli({"test", plugin_.string()}, scratch_);
  EXPECT_EQ(r.status, 0) << r.err;
  // No drives and no keys: the empty path cannot be listed, and only the
  // remove-folder line, which never looks, is reported.
  EXPECT_EQ(r.out.find("\tDeleted Value"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\tDeleted File"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\tError: Unable to access C:\\users\\" + user_ + "\\AppData\\Roaming\\Example\\Cache\\*.*\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("[Registry Action: "), std::string::npos);
  EXPECT_NE(r.out.find("Files Deleted\t: 0\n"), std::string::npos);
}

TEST_F(Cli, UsageErrorsAndUnreadableInputs) {
  scratch_.Write("folder.cln/x", "");
  const std::string plugin = plugin_.string();
  const std::string missing = (scratch_.path() / "missing.cln").string();
  const std::string pipe = (scratch_.path() / "pipe.reg").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);  // nobody writes to it: opening it would wait forever
  struct Case {
    std::vector<std::string> args;
    std::string message;  // part of the one-line message
  };
  const Case cases[] = {
      {{"test"}, "no plug-in file"},
      {{"test", "--verbose", plugin}, "unknown option"},
      {{"test", plugin, plugin}, "more than one"},
      {{"test", "--prefix"}, "--prefix needs a value"},
      {{"test", missing}, "missing.cln: no such file"},
      {{"test", (scratch_.path() / "folder.cln").string()}, "folder.cln: is a folder"},
      {{"test", "--prefix", missing, plugin}, "no such prefix folder"},
      {{"test", "--registry", missing, plugin}, "missing.cln: no such file"},
      {{"test", "--registry", pipe, plugin}, "pipe.reg: is not a regular file"},
      {{"test", pipe}, "pipe.reg: is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    CliResult r = RunCli(c.args, scratch_);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
  }
}

TEST_F(Cli, HelpExplainsTheCommandAndTheEmptyWorld) {
  for (auto args : {std::vector<std::string>{"--help"}, std::vector<std::string>{"test", "--help"}}) {
    CliResult r = RunCli(args, scratch_);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("kestrel-cli test [--prefix DIR] [--registry EXPORT.reg]... FILE"), std::string::npos);
    EXPECT_NE(r.out.find("empty world"), std::string::npos);
  }
}

}  // namespace
}  // namespace kestrel
