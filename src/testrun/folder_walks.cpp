#include "testrun/folder_walks.h"

#include <deque>
#include <utility>

#include "platform/text.h"

namespace kestrel {

namespace {

bool IsDotEntry(const std::u16string& name) { return name == u"." || name == u".."; }

// One listed folder on the walk's stack.
struct Frame {
  std::u16string path;
  std::vector<FolderEntry> entries;
  size_t next = 0;
  bool empty = true;  // for the empty-subfolder walk: no file seen yet
};

// The stack keeps its frames when the walk climbs back up, so the listing
// vectors and path strings of a level are reused by the next folder at that
// level instead of being allocated again.
class WalkStack {
 public:
  // Lists `path` into a new top frame; false (and no frame) when the listing
  // cannot start.
  bool Push(const FileSystem& files, std::u16string_view path) {
    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& f = frames_[depth_];
    f.path.assign(path);
    f.entries.clear();
    f.next = 0;
    f.empty = true;
    if (!files.ListFolder(f.path, f.entries)) return false;
    ++depth_;
    return true;
  }
  void Pop() { --depth_; }
  bool Empty() const { return depth_ == 0; }
  size_t Depth() const { return depth_; }
  Frame& Top() { return frames_[depth_ - 1]; }

 private:
  std::deque<Frame> frames_;  // a deque keeps references to frames valid as it grows
  size_t depth_ = 0;
};

std::u16string Line(std::u16string_view head, std::u16string_view path) {
  std::u16string line;
  line.reserve(head.size() + path.size());
  line.append(head);
  line.append(path);
  return line;
}

// folder + "\" + name into a reused buffer.
void ChildPath(std::u16string& out, std::u16string_view folder, std::u16string_view name) {
  out.clear();
  out.reserve(folder.size() + 1 + name.size());
  out.append(folder);
  out += u'\\';
  out.append(name);
}

void AddUnableToAccess(CTestResults& results, std::u16string_view folder) {
  std::u16string line = Line(u"\tError: Unable to access ", folder);
  line += u"\\*.*";
  results.AddLine(std::move(line));
}

void AddDeletedFile(CTestResults& results, std::u16string_view path, uint64_t size) {
  ++results.files_deleted;
  results.total_bytes += size;
  results.AddLine(Line(u"\tDeleted File: ", path));
}

}  // namespace

bool IsProtectedFileName(std::u16string_view name) {
  return WildcardMatch(name, u"*.dll") || WildcardMatch(name, u"*.exe");
}

void EvaluateEmptyPath(CTestResults& results, const FileSystem& files, std::u16string_view folder,
                       RunStop stop) {
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  WalkStack stack;
  if (!stack.Push(files, folder)) {
    AddUnableToAccess(results, folder);
    return;
  }
  std::u16string path;
  while (!stack.Empty()) {
    if (stop.Requested()) return;
    Frame& top = stack.Top();
    if (top.next == top.entries.size()) {
      // A subfolder is reported after everything in it; the given folder is not.
      if (stack.Depth() > 1) {
        ++results.folders_deleted;
        results.AddLine(Line(u"\tDeleted Folder: ", top.path));
      }
      stack.Pop();
      continue;
    }
    const FolderEntry& entry = top.entries[top.next++];
    if (IsDotEntry(entry.name)) continue;
    ChildPath(path, top.path, entry.name);
    if (!entry.is_folder) {
      AddDeletedFile(results, path, entry.size);
      continue;
    }
    // A link is reported without looking into it. A subfolder that cannot be
    // listed gives its error line, then its own line, as if walked.
    if (!entry.is_link) {
      if (stack.Push(files, path)) continue;
      AddUnableToAccess(results, path);
    }
    ++results.folders_deleted;
    results.AddLine(Line(u"\tDeleted Folder: ", path));
  }
}

void EvaluateFiles(CTestResults& results, const FileSystem& files, std::u16string_view folder,
                   bool subfolders, const std::vector<std::u16string>& patterns,
                   const std::vector<std::u16string>& exclusions, RunStop stop) {
  auto matches_any = [](std::u16string_view name, const std::vector<std::u16string>& list) {
    for (const auto& p : list)
      if (WildcardMatch(name, p)) return true;
    return false;
  };
  WalkStack stack;
  if (!stack.Push(files, folder)) return;
  std::u16string path;
  while (!stack.Empty()) {
    if (stop.Requested()) return;
    Frame& top = stack.Top();
    if (top.next == top.entries.size()) {
      stack.Pop();
      continue;
    }
    const FolderEntry& entry = top.entries[top.next++];
    if (entry.is_folder) {
      // Descend right here, so the subfolder's files come before the files
      // listed after it. A folder that cannot be listed is passed over.
      if (subfolders && !entry.is_link && !IsDotEntry(entry.name)) {
        ChildPath(path, top.path, entry.name);
        stack.Push(files, path);
      }
      continue;
    }
    if (IsProtectedFileName(entry.name) || !matches_any(entry.name, patterns) ||
        matches_any(entry.name, exclusions))
      continue;
    ChildPath(path, top.path, entry.name);
    AddDeletedFile(results, path, entry.size);
  }
}

void EvaluateEmptySubfolders(CTestResults& results, const FileSystem& files,
                             std::u16string_view folder, bool is_top, RunStop stop) {
  auto report = [&](std::u16string_view path) {
    if (WildcardMatch(path, u"*\\Low")) return;
    ++results.folders_deleted;
    results.AddLine(Line(u"\tDeleted Folder If Empty: ", path));
  };
  WalkStack stack;
  if (!stack.Push(files, folder)) {
    if (!is_top) report(folder);  // a folder that cannot be listed counts as empty
    return;
  }
  std::u16string path;
  while (!stack.Empty()) {
    if (stop.Requested()) return;
    Frame& top = stack.Top();
    if (top.next == top.entries.size()) {
      if ((stack.Depth() > 1 || !is_top) && top.empty) report(top.path);
      stack.Pop();
      continue;
    }
    const FolderEntry& entry = top.entries[top.next++];
    if (!entry.is_folder) {
      top.empty = false;
      continue;
    }
    if (IsDotEntry(entry.name)) continue;
    ChildPath(path, top.path, entry.name);
    // A link is not looked into; like a folder that cannot be listed, it counts
    // as empty. Subfolders never make their parent non-empty.
    if (entry.is_link || !stack.Push(files, path)) report(path);
  }
}

}  // namespace kestrel
