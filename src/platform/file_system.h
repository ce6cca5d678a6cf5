#pragma once
// The disk as a Windows program sees it: drive-letter paths, folder listings in
// the shape of find-first/next, attributes. Read only: there is no operation
// that changes anything.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct FileAttributes {
  bool is_folder = false;
  bool is_link = false;
  uint64_t size = 0;
};

struct FolderEntry {
  std::u16string name;
  bool is_folder = false;  // a link to a folder is a folder and a link
  bool is_link = false;
  uint64_t size = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Attributes of whatever exists at the path (links followed); nullopt when
  // nothing exists there or the path cannot be mapped.
  virtual std::optional<FileAttributes> Attributes(std::u16string_view windows_path) const = 0;

  // Lists `folder\*.*`: "." and ".." first, then the entries ordered as NTFS
  // gives them. Returns false when the listing cannot start (missing,
  // unreadable, not a folder).
  virtual bool ListFolder(std::u16string_view windows_folder, std::vector<FolderEntry>& out) const = 0;

  // The host path of an existing file, for readers that open it themselves
  // (INI files). nullopt when the path maps to nothing.
  virtual std::optional<std::filesystem::path> HostPath(std::u16string_view windows_path) const = 0;
};

}  // namespace kestrel
