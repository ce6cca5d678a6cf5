#pragma once
// A small Wine prefix in a temporary folder for widget tests: dosdevices/c:
// links to drive_c, and further drives can be mapped to folders of its own.

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

namespace kestrel::testing {

class TempPrefix {
 public:
  TempPrefix() {
    std::filesystem::create_directories(Root() / "dosdevices");
    std::filesystem::create_directories(Root() / "drive_c");
    MapDrive('c', "../drive_c");
  }

  std::filesystem::path Root() const { return dir_.path().toStdString(); }
  std::filesystem::path DriveC() const { return Root() / "drive_c"; }

  void MapDrive(char letter, const std::filesystem::path& target) const {
    std::filesystem::create_directory_symlink(target, Root() / "dosdevices" / std::string{letter, ':'});
  }
  // Creates a file (and its folders) below the prefix folder; returns its host path.
  QString AddFile(const std::filesystem::path& relative) const {
    const auto path = Root() / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "x";
    return QString::fromStdString(path.string());
  }
  QString AddFolder(const std::filesystem::path& relative) const {
    const auto path = Root() / relative;
    std::filesystem::create_directories(path);
    return QString::fromStdString(path.string());
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace kestrel::testing
