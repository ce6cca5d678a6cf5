#pragma once
// The disk of a Wine prefix seen through Windows paths.
//
// "C:\dir\file" maps to <prefix>/dosdevices/c:/dir/file, where dosdevices/c: is
// the drive's link (absolute, or relative to dosdevices). Each component after
// the drive is taken as spelled when that exists; otherwise the folder is
// searched for a name equal without regard to case (letters a-z folded, as
// Wine compares names), so "C:\users\joe\appdata" finds AppData. Paths without
// a drive letter, UNC paths ("\\server\share") and device paths ("\\.\x",
// "\\?\x") map to nothing, and so do paths holding the wildcards "*" or "?".
// "." and ".." components are folded lexically, as Windows does before it
// looks at the disk; "/" separates like "\", doubled separators count once,
// and "C:x" is taken as "C:\x" (a program's current folder on a drive is its
// root here). Links are followed when a path is resolved.
//
// Names that are not valid UTF-8 on disk are listed with U+FFFD in place of
// each bad byte. Such a listed name still leads back to its file: when the
// exact spelling fails, the folder is searched by comparing the decoded names,
// so every name a listing gives can be passed back in a path. When two raw
// names decode to the same text, the first in listing order wins.
//
// Listings skip entries that vanish while the folder is read and links whose
// target is missing (nothing exists there, as Attributes also answers).
// Read only: nothing here opens a file for writing or changes the disk.

#include <filesystem>
#include <functional>
#include <string>

#include "platform/file_system.h"

struct stat;

namespace kestrel {

class PrefixFileSystem final : public FileSystem {
 public:
  // `prefix` is the folder holding dosdevices/. An empty path gives a file
  // system without drives, where nothing exists.
  explicit PrefixFileSystem(std::filesystem::path prefix);

  std::optional<FileAttributes> Attributes(std::u16string_view windows_path) const override;
  bool ListFolder(std::u16string_view windows_folder, std::vector<FolderEntry>& out) const override;
  std::optional<std::filesystem::path> HostPath(std::u16string_view windows_path) const override;

  const std::filesystem::path& Prefix() const { return prefix_; }

  // Called for each entry a listing reads, with the host folder and the raw
  // name, before the entry is looked at. Tests remove entries here to show
  // that a listing survives a disk that changes under it.
  using EntryHook = std::function<void(const std::string& host_folder, const char* name)>;
  void SetEntryHook(EntryHook hook) { entry_hook_ = std::move(hook); }

 private:
  // Host path of whatever exists at the Windows path, with its stat (links
  // followed). False when the path cannot be mapped or nothing exists there.
  bool Resolve(std::u16string_view windows_path, std::string& host, struct stat& st) const;

  std::filesystem::path prefix_;
  std::string dosdevices_;  // "<prefix>/dosdevices/", empty without a prefix
  EntryHook entry_hook_;
};

// Order of a folder listing: ordinal order of the upper-cased names (a-z
// folded), names equal that way ordered by their exact text.
bool ListingOrderLess(std::u16string_view a, std::u16string_view b);

}  // namespace kestrel
