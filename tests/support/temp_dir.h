#pragma once
// A temporary folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>

namespace kestrel::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes bytes to a file below the folder, creating folders on the way.
  std::filesystem::path Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

}  // namespace kestrel::testing
