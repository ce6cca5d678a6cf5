#include <gtest/gtest.h>

#include "platform/host_to_windows_path.h"
#include "platform/text.h"
#include "support/prefix_builder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::PrefixBuilder;
using testing::TempDir;

std::string Windows(const fs::path& prefix, const fs::path& host) {
  auto result = HostToWindowsPath(prefix, host);
  return result ? ToUtf8(*result) : "(none)";
}

TEST(HostToWindowsPath, PathsOnTheDrivesOfThePrefix) {
  PrefixBuilder prefix;  // c: -> ../drive_c
  TempDir elsewhere;
  prefix.AddFile("x/y.log");
  prefix.AddFolder("sub/deeper");
  prefix.MapDrive('d', elsewhere.path());
  prefix.MapDrive('e', prefix.DriveC() / "sub");  // a drive inside another
  prefix.MapDrive('f', prefix.DriveC() / "sub");
  prefix.MapDrive('z', "/");
  prefix.AddLink("users/joe/Documents", elsewhere.path() / "docs");
  fs::create_directories(elsewhere.path() / "docs");
  const fs::path c = prefix.DriveC();

  struct Case { fs::path host; std::string windows; };
  const Case cases[] = {
      {c / "x/y.log", "C:\\x\\y.log"},
      {c, "C:\\"},
      {c / "x/", "C:\\x"},
      {c / "x/../x/./y.log", "C:\\x\\y.log"},
      {c / "x/not yet here.txt", "C:\\x\\not yet here.txt"},
      // The deepest drive folder wins, the lowest letter among equals.
      {c / "sub/deeper", "E:\\deeper"},
      {elsewhere.path() / "a.txt", "D:\\a.txt"},
      // A link inside drive_c keeps its place on C:.
      {c / "users/joe/Documents/letter.txt", "C:\\users\\joe\\Documents\\letter.txt"},
      {"/", "Z:\\"},
      {"/usr/share", "Z:\\usr\\share"},
      {"relative/path", "(none)"},
  };
  for (const auto& t : cases) EXPECT_EQ(Windows(prefix.Root(), t.host), t.windows) << t.host;
}

TEST(HostToWindowsPath, NothingWithoutADriveThatHoldsThePath) {
  PrefixBuilder prefix;
  EXPECT_EQ(Windows(prefix.Root(), "/usr/share"), "(none)");  // no drive maps "/"
  EXPECT_EQ(Windows({}, "/usr/share"), "(none)");
  TempDir no_prefix;
  EXPECT_EQ(Windows(no_prefix.path(), "/usr/share"), "(none)");
  prefix.MapDrive('y', prefix.Root() / "missing");  // a link to nothing is no drive
  EXPECT_EQ(Windows(prefix.Root(), prefix.Root() / "missing/a"), "(none)");
}

}  // namespace
}  // namespace kestrel
