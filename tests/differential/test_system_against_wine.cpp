// System facts of a prefix against Wine's own answers on the same prefix:
// special folders (SHGetFolderPathW), Windows and system directories, the
// user name, environment variables and ExpandEnvironmentStringsW.

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "differential/wine_probe.h"
#include "platform/prefix_registry.h"
#include "platform/prefix_system_info.h"
#include "platform/text.h"

namespace kestrel {
namespace {

using testing::WineProbe;

const int kFolders[] = {CSIDL_PERSONAL, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_INTERNET_CACHE,
                        CSIDL_COMMON_APPDATA};

// Variables a Windows process of the prefix has from the registry and the
// prefix layout. Wine also hands every Linux variable to its processes; ours
// leaves them out, so only these are compared.
const char* const kVariables[] = {
    "SystemDrive", "SystemRoot", "windir", "ProgramData", "ALLUSERSPROFILE", "PUBLIC", "APPDATA",
    "LOCALAPPDATA", "USERPROFILE", "ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
    "CommonProgramFiles(x86)", "CommonProgramW6432", "TEMP", "TMP", "COMPUTERNAME", "ComSpec", "PATHEXT",
    "OS", "PROCESSOR_ARCHITECTURE", "NUMBER_OF_PROCESSORS", "winsysdir", "NoSuchVariable"};

// Where our answer differs from Wine's on purpose: a wildcard over the query
// and why. Both concern a name that is not defined (or empty): ours copies
// its "%" and name and lets its closing "%" open the next name, as the
// expansion of the path variables has always been specified here; Wine
// copies the whole "%name%" and goes on after it.
struct ExpectedDifference {
  const char* query;
  const char* reason;
};
const ExpectedDifference kExpected[] = {
    {"expand\t%%APPDATA%%\t*", "\"%%\" is an empty name: ours goes on at its second \"%\", which opens %APPDATA%"},
    {"expand\t%NoSuchVariable%APPDATA%\t*",
     "the closing \"%\" of an undefined name opens %APPDATA% for ours, not for Wine"},
};

std::string Answer(bool found, const std::u16string& text) {
  return std::string(found ? "1" : "0") + "\t" + WineProbe::Escape(found ? text : u"");
}

TEST(SystemAgainstWine, FoldersEnvironmentAndExpansionOfAWinebootPrefix) {
  if (std::string why = WineProbe::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  std::unique_ptr<Registry> reg = LoadPrefixRegistry(WineProbe::Prefix());
  PrefixSystemInfo system(*reg, LoginName());

  struct Asked {
    std::string query, ours;
  };
  std::vector<Asked> asked;
  for (int csidl : kFolders) {
    std::u16string folder;
    bool ok = system.SpecialFolder(csidl, folder);
    asked.push_back({"folder\t" + std::to_string(csidl), (ok ? "0\t" : "-2147467259\t") + WineProbe::Escape(folder)});
  }
  asked.push_back({"windir", WineProbe::Escape(system.WindowsDirectory())});
  asked.push_back({"sysdir", WineProbe::Escape(system.SystemDirectory())});
  std::u16string user;
  asked.push_back({"user", WineProbe::Escape(system.UserName(user) ? user : u"")});
  for (const char* name : kVariables) {
    std::u16string value;
    bool found = system.Environment(U(name), value);
    asked.push_back({std::string("env\t") + name, Answer(found, value)});
  }
  // Expansion: defined and undefined names, stray and doubled "%", and
  // results around the 260-character buffer of the path variables.
  std::vector<std::u16string> sources = {
      u"%APPDATA%\\Example", u"%appdata%", u"%NoSuchVariable%\\x", u"100%", u"%%", u"%%APPDATA%%",
      u"%NoSuchVariable%APPDATA%", u"a%b%c", u"%SystemRoot%%windir%", u"%USERPROFILE%\\%NoSuch%\\%TEMP%", u"%", u"%=%", u"",
  };
  std::u16string padding(200, u'x');
  std::u16string appdata;
  system.Environment(u"APPDATA", appdata);
  for (int extra = -2; extra <= 2; ++extra) {
    // "%APPDATA%\" + padding: needs exactly 260 + extra characters with the terminator.
    size_t pad = size_t(260 + extra - 1) - appdata.size() - 1;
    sources.push_back(u"%APPDATA%\\" + std::u16string(pad, u'x'));
  }
  for (const std::u16string& source : sources) {
    for (size_t size : {size_t(260), size_t(32767)}) {
      std::u16string out;
      size_t needed = system.ExpandEnvironment(source, size, out);
      asked.push_back({"expand\t" + WineProbe::Escape(source) + "\t" + std::to_string(size),
                       std::to_string(needed) + "\t" + (needed <= size ? WineProbe::Escape(out) : "")});
    }
  }

  std::vector<std::string> queries;
  for (const Asked& a : asked) queries.push_back(a.query);
  std::vector<std::string> answers = WineProbe::Run(queries);
  ASSERT_EQ(answers.size(), asked.size());
  std::vector<bool> seen(std::size(kExpected), false);
  for (size_t i = 0; i < asked.size(); ++i) {
    if (asked[i].ours == answers[i]) continue;
    bool expected = false;
    for (size_t e = 0; e < std::size(kExpected); ++e)
      if (WildcardMatch(U(asked[i].query), U(kExpected[e].query))) expected = seen[e] = true;
    if (!expected)
      ADD_FAILURE() << asked[i].query << "\n  ours: " << asked[i].ours << "\n  wine: " << answers[i];
  }
  for (size_t e = 0; e < std::size(kExpected); ++e)
    EXPECT_TRUE(seen[e]) << "expected difference no longer seen: " << kExpected[e].query;
}

}  // namespace
}  // namespace kestrel
