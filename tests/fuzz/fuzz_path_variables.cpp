// ExpandPathVariables on arbitrary paths and PATH values (input: path NUL
// value), with a fixed set of system facts. A path without "%" must come back
// unchanged; otherwise only absence of crashes, leaks and hangs is checked.

#include "fuzz_support.h"
#include "platform/system_info.h"
#include "testrun/path_variables.h"

using namespace kestrel;

namespace {

class FixedSystem final : public SystemInfo {
 public:
  std::u16string WindowsDirectory() const override { return u"C:\\windows"; }
  std::u16string SystemDirectory() const override { return u"C:\\windows\\system32\\"; }
  bool SpecialFolder(int csidl, std::u16string& out) const override {
    if (csidl == CSIDL_INTERNET_CACHE) return false;
    out = u"C:\\users\\joe\\Folder" + FormatDecimal(csidl) + u"\\ ";
    return true;
  }
  bool UserName(std::u16string& out) const override {
    out = u"joe";
    return true;
  }
  bool Environment(std::u16string_view name, std::u16string& value) const override {
    if (EqualsNoCase(name, u"WINDIR")) value = u"C:\\windows";
    else if (EqualsNoCase(name, u"LOOP")) value = u"%LOOP%";  // expansion is one pass
    else if (EqualsNoCase(name, u"LONG")) value = std::u16string(300, u'x');
    else if (EqualsNoCase(name, u"PROGRAMFILES")) value = u"C:\\Program Files";
    else return false;
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [path, value] = fuzz::TwoTexts(data, size);
  const std::u16string original = path;
  FixedSystem system;
  ExpandPathVariables(path, value, system);
  if (original.find(u'%') == std::u16string::npos)
    fuzz::Expect(path == original, "a path without variables changed", original, path);
  std::u16string out;
  size_t needed = system.ExpandEnvironment(original, 260, out);
  fuzz::Expect(needed >= 1, "an expansion needs at least the terminator", original);
  return 0;
}
