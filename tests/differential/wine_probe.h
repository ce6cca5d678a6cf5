#pragma once
// Runs the Windows probe (probe.cpp, cross-compiled) under wine on a prefix
// made by wineboot, so tests can compare our answers with those of the
// Windows functions Wine provides.
//
// The prefix is the one ctest's wine_prefix fixture builds once per run
// (tests/wine/make_prefix.sh), named by KESTREL_WINE_PREFIX.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::testing {

class WineProbe {
 public:
  // Why the probe cannot run here (no wine, no cross-compiled probe, no
  // prefix), or empty when it can.
  static std::string Unavailable();

  // The prefix.
  static const std::filesystem::path& Prefix();

  // Runs the probe on the queries (one line each, fields joined by tabs) and
  // returns its output lines. Waits for wineserver to finish, so the hive
  // files hold whatever wine saved. Empty with a failure when it cannot run.
  static std::vector<std::string> Run(const std::vector<std::string>& queries);

  // Field escaping shared with the probe: ASCII, with \\ \t \n \r \0 and
  // \uXXXX for everything else.
  static std::string Escape(std::u16string_view text);
  static std::u16string Unescape(std::string_view field);
};

// A folder below the prefix's drive C: for one test's files, removed with them
// afterwards. WindowsPath() names it as the probe sees it (C:\...).
class ProbeFolder {
 public:
  ProbeFolder();
  ~ProbeFolder();
  ProbeFolder(const ProbeFolder&) = delete;
  ProbeFolder& operator=(const ProbeFolder&) = delete;

  const std::filesystem::path& HostPath() const { return host_; }
  std::u16string WindowsPath(std::string_view file) const;
  std::filesystem::path Write(std::string_view file, std::string_view bytes) const;

 private:
  std::filesystem::path host_;
  std::string name_;
};

}  // namespace kestrel::testing
