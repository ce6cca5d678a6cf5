#pragma once
// Facts of the Windows installation a test run looks at: folders, the user,
// the environment. Read only.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Special folder identifiers used by the path variables.
constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_APPDATA = 26;
constexpr int CSIDL_LOCAL_APPDATA = 28;
constexpr int CSIDL_INTERNET_CACHE = 32;
constexpr int CSIDL_COMMON_APPDATA = 35;

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // "C:\windows" and "C:\windows\system32" style paths.
  virtual std::u16string WindowsDirectory() const = 0;
  virtual std::u16string SystemDirectory() const = 0;
  // Full path of a special folder (never created); false when unknown.
  virtual bool SpecialFolder(int csidl, std::u16string& out) const = 0;
  // The user's name; false when it cannot be told.
  virtual bool UserName(std::u16string& out) const = 0;
  // Value of an environment variable (name without regard to case).
  virtual bool Environment(std::u16string_view name, std::u16string& value) const = 0;

  // Expands %NAME% references like ExpandEnvironmentStrings: undefined names stay
  // as written. Returns the characters the expansion needs, terminator included;
  // `out` receives the expansion only when that count fits `buffer_chars`.
  size_t ExpandEnvironment(std::u16string_view source, size_t buffer_chars, std::u16string& out) const;
};

// "1,500 bytes" -> "2 KB": rounded up to whole kilobytes, thousands grouped with
// ",", the way the Windows shell shows sizes.
std::u16string KilobyteText(uint64_t bytes);

}  // namespace kestrel
