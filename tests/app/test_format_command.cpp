#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/example_plugin.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace kestrel {
namespace {

using testing::RunProgram;

const std::string kCli = std::string(KESTREL_BIN_DIR) + "/kestrel-cli";

class FormatCommand : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return (dir.path() / name).string(); }
  testing::TempDir dir;
};

TEST_F(FormatCommand, WritesTheEditorsLayoutAndIsStable) {
  dir.Write("in.cln", testing::kExamplePlugin);
  auto run = RunProgram(kCli, {"format", Path("in.cln"), "-o", Path("out.cln")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(dir.Read("out.cln"), testing::kExamplePluginSaved);
  EXPECT_EQ(dir.Read("in.cln"), testing::kExamplePlugin);

  // Without -o the file is rewritten in place; formatting again changes nothing.
  run = RunProgram(kCli, {"format", Path("in.cln")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir.Read("in.cln"), testing::kExamplePluginSaved);
  run = RunProgram(kCli, {"format", Path("out.cln")});
  EXPECT_EQ(dir.Read("out.cln"), testing::kExamplePluginSaved);
}

TEST_F(FormatCommand, MessagesThatDoNotStopTheReadStillWrite) {
  dir.Write("in.cln", "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\n[REG_OPTION]\r\n0=broken\r\n"
                      "[DISK]\r\n0=C:\\" + std::string(600, 'x') + " /E\r\n");
  const auto run = RunProgram(kCli, {"format", Path("in.cln"), "-o", Path("out.cln")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "kestrel-cli: Error reading groups\n"
            "kestrel-cli: Some strings are longer than 512 chars.\n");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "out.cln"));
}

struct Failure {
  const char* name;
  std::string input;  // empty: no input file
  std::string message;
};

class FormatCommandFailure : public FormatCommand, public ::testing::WithParamInterface<Failure> {};

TEST_P(FormatCommandFailure, WritesNothing) {
  if (!GetParam().input.empty()) dir.Write("in.cln", GetParam().input);
  const auto run = RunProgram(kCli, {"format", Path("in.cln"), "-o", Path("out.cln")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "kestrel-cli: " + GetParam().message + "\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.cln"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatCommandFailure,
    ::testing::Values(Failure{"Missing", "", "Invalid file"},
                      Failure{"Encrypted", "[Settings]\r\nEncrypted=1\r\n", "Cannot edit encrypted plug-ins"},
                      Failure{"NoActions", "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\n",
                              "Error reading file"},
                      // Read, but nothing the list shows: nothing to save.
                      Failure{"NoRows", "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\n[DISK]\r\n0=x\r\n",
                              "Please add action(s)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatCommand, FailedWriteKeepsTheOldFile) {
  dir.Write("in.cln", testing::kExamplePlugin);
  std::filesystem::create_directory(dir.path() / "out.cln");
  const auto run = RunProgram(kCli, {"format", Path("in.cln"), "-o", Path("out.cln")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("kestrel-cli: Unable to save the plug-in file.\n", 0), 0u) << run.err;
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "out.cln"));
}

TEST_F(FormatCommand, UsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"format"}, {"format", "a", "b"}, {"format", "a", "-o"}, {"format", "-x", "a"},
           {"format", "a", "-o", "b", "-o", "c"}, {"nonsense"}, {}}) {
    const auto run = RunProgram(kCli, args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
}

}  // namespace
}  // namespace kestrel
