#include "platform/host_to_windows_path.h"

#include <sys/stat.h>

#include <array>
#include <vector>

#include "platform/text.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct Drive {
  char letter;  // upper case
  dev_t device;
  ino_t inode;
};

// The drives of the prefix whose folders exist, in letter order.
std::vector<Drive> ReadDrives(const fs::path& prefix) {
  std::vector<Drive> drives;
  const fs::path dosdevices = prefix / "dosdevices";
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    const std::string name{letter, ':'};
    struct stat st;
    if (::stat((dosdevices / name).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      drives.push_back({char(letter - 'a' + 'A'), st.st_dev, st.st_ino});
  }
  return drives;
}

}  // namespace

std::optional<std::u16string> HostToWindowsPath(const fs::path& prefix, const fs::path& host_path) {
  if (prefix.empty() || !host_path.is_absolute()) return std::nullopt;
  const std::vector<Drive> drives = ReadDrives(prefix);
  if (drives.empty()) return std::nullopt;

  // Components of the lexically normal path; "/" itself has none.
  std::vector<std::string> parts;
  for (const auto& part : host_path.lexically_normal().relative_path())
    if (!part.empty()) parts.push_back(part.string());

  for (size_t depth = parts.size() + 1; depth-- > 0;) {
    fs::path folder = "/";
    for (size_t i = 0; i < depth; ++i) folder /= parts[i];
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) continue;
    for (const Drive& drive : drives) {
      if (drive.device != st.st_dev || drive.inode != st.st_ino) continue;
      std::u16string result{char16_t(drive.letter), u':', u'\\'};
      for (size_t i = depth; i < parts.size(); ++i) {
        if (i > depth) result += u'\\';
        result += FromUtf8(parts[i]);
      }
      return result;
    }
  }
  return std::nullopt;
}

}  // namespace kestrel
