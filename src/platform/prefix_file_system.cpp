#include "platform/prefix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/text.h"

namespace kestrel {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

struct ParsedPath {
  char drive = 0;  // lower case
  std::vector<std::u16string_view> parts;
  bool trailing_separator = false;
};

// Splits "X:\a\b" into its drive and components. False for anything that has
// no drive letter (relative, rooted, UNC and device paths) or holds wildcards.
bool ParseWindowsPath(std::u16string_view path, ParsedPath& parsed) {
  if (path.size() < 2 || !IsAsciiLetter(path[0]) || path[1] != u':') return false;
  parsed.drive = char(path[0] | 0x20);
  std::u16string_view rest = path.substr(2);
  size_t start = 0;
  while (start < rest.size()) {
    size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::u16string_view part = rest.substr(start, end - start);
    if (part.empty() || part == u".") {
      // Doubled separators and "." name the same folder.
    } else if (part == u"..") {
      if (!parsed.parts.empty()) parsed.parts.pop_back();
    } else if (part.find_first_of(std::u16string_view(u"*?\0", 3)) != std::u16string_view::npos) {
      return false;
    } else {
      parsed.parts.push_back(part);
    }
    start = end + 1;
  }
  parsed.trailing_separator = !rest.empty() && IsSeparator(rest.back()) && !parsed.parts.empty();
  return true;
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Finds the entry of `folder` whose decoded name equals `part` without regard
// to case, skipping `tried` (the exact spelling, known to lead nowhere) and
// entries with nothing behind them. The first in listing order wins.
bool FindNoCaseEntry(const std::string& folder, std::u16string_view part, const std::string& tried,
                     std::string& found) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  int fd = dirfd(dir);
  std::u16string best;
  bool any = false;
  while (dirent* entry = readdir(dir)) {
    if (IsDotOrDotDot(entry->d_name) || tried == entry->d_name) continue;
    std::u16string name = FromUtf8(entry->d_name);
    if (!EqualsNoCase(name, part)) continue;
    struct stat st;
    if (fstatat(fd, entry->d_name, &st, 0) != 0) continue;
    if (!any || ListingOrderLess(name, best)) {
      best = std::move(name);
      found = entry->d_name;
      any = true;
    }
  }
  closedir(dir);
  return any;
}

void Describe(const struct stat& st, FolderEntry& entry) {
  entry.is_folder = S_ISDIR(st.st_mode);
  entry.size = entry.is_folder ? 0 : uint64_t(st.st_size);
}

}  // namespace

bool ListingOrderLess(std::u16string_view a, std::u16string_view b) {
  int c = CompareNoCase(a, b);
  return c != 0 ? c < 0 : a < b;
}

PrefixFileSystem::PrefixFileSystem(std::filesystem::path prefix) : prefix_(std::move(prefix)) {
  if (!prefix_.empty()) {
    dosdevices_ = (prefix_ / "dosdevices").string();
    dosdevices_ += '/';
  }
}

bool PrefixFileSystem::Resolve(std::u16string_view windows_path, std::string& host,
                               struct stat& st) const {
  ParsedPath parsed;
  if (dosdevices_.empty() || !ParseWindowsPath(windows_path, parsed)) return false;

  // The drive root keeps its trailing "/" so that the drive's own link is
  // followed rather than looked at.
  host = dosdevices_;
  host += parsed.drive;
  host += ":/";
  const size_t root_size = host.size();

  // Exact spelling first: one system call in the common case.
  std::vector<std::string> utf8;
  utf8.reserve(parsed.parts.size());
  for (auto part : parsed.parts) {
    utf8.push_back(ToUtf8(part));
    if (host.size() > root_size) host += '/';
    host += utf8.back();
  }
  if (stat(host.c_str(), &st) == 0) return !parsed.trailing_separator || S_ISDIR(st.st_mode);
  if (parsed.parts.empty() || (errno != ENOENT && errno != ENOTDIR)) return false;

  // Then component by component, searching folders where the spelling fails.
  host.resize(root_size);
  if (stat(host.c_str(), &st) != 0) return false;
  for (size_t i = 0; i < parsed.parts.size(); ++i) {
    if (!S_ISDIR(st.st_mode)) return false;
    const size_t folder_size = host.size();
    if (folder_size > root_size) host += '/';
    host += utf8[i];
    if (stat(host.c_str(), &st) == 0) continue;
    if (errno != ENOENT) return false;
    host.resize(folder_size);
    std::string found;
    if (!FindNoCaseEntry(host, parsed.parts[i], utf8[i], found)) return false;
    if (folder_size > root_size) host += '/';
    host += found;
    if (stat(host.c_str(), &st) != 0) return false;
  }
  return !parsed.trailing_separator || S_ISDIR(st.st_mode);
}

std::optional<FileAttributes> PrefixFileSystem::Attributes(std::u16string_view windows_path) const {
  std::string host;
  struct stat st;
  if (!Resolve(windows_path, host, st)) return std::nullopt;
  FileAttributes attributes;
  attributes.is_folder = S_ISDIR(st.st_mode);
  attributes.size = attributes.is_folder ? 0 : uint64_t(st.st_size);
  struct stat link;
  attributes.is_link = lstat(host.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  return attributes;
}

std::optional<std::filesystem::path> PrefixFileSystem::HostPath(std::u16string_view windows_path) const {
  std::string host;
  struct stat st;
  if (!Resolve(windows_path, host, st)) return std::nullopt;
  return std::filesystem::path(host);
}

bool PrefixFileSystem::ListFolder(std::u16string_view windows_folder, std::vector<FolderEntry>& out) const {
  out.clear();
  std::string host;
  struct stat st;
  if (!Resolve(windows_folder, host, st) || !S_ISDIR(st.st_mode)) return false;
  DIR* dir = opendir(host.c_str());
  if (!dir) return false;
  const int fd = dirfd(dir);

  out.push_back(FolderEntry{u".", true, false, 0});
  out.push_back(FolderEntry{u"..", true, false, 0});
  while (dirent* de = readdir(dir)) {
    const char* name = de->d_name;
    if (IsDotOrDotDot(name)) continue;
    if (entry_hook_) entry_hook_(host, name);
    FolderEntry entry;
    // The entry type from readdir spares a stat for folders; files need one
    // for their size, links for what they point to. An entry that is gone by
    // the time it is looked at is left out.
    switch (de->d_type) {
      case DT_DIR:
        entry.is_folder = true;
        break;
      case DT_LNK:
        entry.is_link = true;
        if (fstatat(fd, name, &st, 0) != 0) continue;
        Describe(st, entry);
        break;
      default:
        if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISLNK(st.st_mode)) {
          entry.is_link = true;
          if (fstatat(fd, name, &st, 0) != 0) continue;
        }
        Describe(st, entry);
        break;
    }
    entry.name = FromUtf8(name);
    out.push_back(std::move(entry));
  }
  closedir(dir);
  std::sort(out.begin() + 2, out.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return ListingOrderLess(a.name, b.name); });
  return true;
}

}  // namespace kestrel
