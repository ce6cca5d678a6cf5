#include "testrun/folder_walks.h"

#include <utility>

#include "platform/text.h"

namespace kestrel {

namespace {

bool IsDotEntry(const std::u16string& name) { return name == u"." || name == u".."; }

// The folders being walked, from the walk's own folder down to the one being
// listed, with one shared path text: a folder's path is a prefix of its
// subfolder's, so a deep tree costs one path, not one per level. Frames stay
// allocated when the walk climbs back up, and the next folder at that depth
// reuses their listing vectors.
class WalkStack {
 public:
  struct Frame {
    size_t path_size = 0;
    std::vector<FolderEntry> entries;
    size_t next = 0;
    bool empty = true;  // for the empty-subfolder walk: no file seen yet
  };

  // Lists the walk's own folder; false when the listing cannot start.
  bool Start(const FileSystem& files, std::u16string_view folder) {
    path_.assign(folder);
    return PushPath(files);
  }

  // Makes Path() the path of an entry of the top folder.
  void Enter(std::u16string_view name) {
    path_.resize(Top().path_size);
    path_ += u'\\';
    path_.append(name);
  }
  // Lists the entered path as the new top folder; false when the listing
  // cannot start (Path() is still the entered path then).
  bool PushPath(const FileSystem& files) {
    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& f = frames_[depth_];
    f.path_size = path_.size();
    f.next = 0;
    f.empty = true;
    if (!files.ListFolder(path_, f.entries)) return false;
    ++depth_;
    return true;
  }
  void Pop() {
    --depth_;
    if (depth_ > 0) path_.resize(Top().path_size);
  }

  bool Done() const { return depth_ == 0; }
  size_t Depth() const { return depth_; }
  Frame& Top() { return frames_[depth_ - 1]; }
  // The top folder's path, or the entry entered last.
  const std::u16string& Path() const { return path_; }
  void ToTop() { path_.resize(Top().path_size); }

 private:
  std::vector<Frame> frames_;
  size_t depth_ = 0;
  std::u16string path_;
};

std::u16string Line(std::u16string_view head, std::u16string_view path) {
  std::u16string line;
  line.reserve(head.size() + path.size());
  line.append(head);
  line.append(path);
  return line;
}

void AddUnableToAccess(CTestResults& results, std::u16string_view folder) {
  std::u16string line;
  line.reserve(40 + folder.size());
  line.append(u"\tError: Unable to access ");
  line.append(folder);
  line.append(u"\\*.*");
  results.AddLine(std::move(line));
}

void AddDeletedFile(CTestResults& results, std::u16string_view path, uint64_t size) {
  ++results.files_deleted;
  results.total_bytes += size;
  results.AddLine(Line(u"\tDeleted File: ", path));
}

void AddDeletedFolder(CTestResults& results, std::u16string_view path) {
  ++results.folders_deleted;
  results.AddLine(Line(u"\tDeleted Folder: ", path));
}

}  // namespace

bool IsProtectedFileName(std::u16string_view name) {
  return WildcardMatch(name, u"*.dll") || WildcardMatch(name, u"*.exe");
}

void EvaluateEmptyPath(CTestResults& results, const FileSystem& files, std::u16string_view folder,
                       RunStop stop) {
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  WalkStack stack;
  if (!stack.Start(files, folder)) {
    AddUnableToAccess(results, folder);
    return;
  }
  while (!stack.Done()) {
    if (stop.Requested()) return;
    WalkStack::Frame& top = stack.Top();
    if (top.next == top.entries.size()) {
      // A subfolder is reported after everything in it; the walk's own folder is not.
      stack.ToTop();
      if (stack.Depth() > 1) AddDeletedFolder(results, stack.Path());
      stack.Pop();
      continue;
    }
    const FolderEntry& entry = top.entries[top.next++];
    if (IsDotEntry(entry.name)) continue;
    stack.Enter(entry.name);
    if (!entry.is_folder) {
      AddDeletedFile(results, stack.Path(), entry.size);
      continue;
    }
    // A link is reported without looking into it. A subfolder that cannot be
    // listed gives its error line, then its own line, as if walked.
    if (!entry.is_link) {
      if (stack.PushPath(files)) continue;
      AddUnableToAccess(results, stack.Path());
    }
    AddDeletedFolder(results, stack.Path());
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
  if (!stack.Start(files, folder)) return;
  while (!stack.Done()) {
    if (stop.Requested()) return;
    WalkStack::Frame& top = stack.Top();
    if (top.next == top.entries.size()) {
      stack.Pop();
      continue;
    }
    const FolderEntry& entry = top.entries[top.next++];
    if (entry.is_folder) {
      // Walked right here, so its files come before those listed after it. A
      // subfolder that cannot be listed is passed over.
      if (subfolders && !entry.is_link && !IsDotEntry(entry.name)) {
        stack.Enter(entry.name);
        stack.PushPath(files);
      }
      continue;
    }
    if (IsProtectedFileName(entry.name) || !matches_any(entry.name, patterns) ||
        matches_any(entry.name, exclusions))
      continue;
    stack.Enter(entry.name);
    AddDeletedFile(results, stack.Path(), entry.size);
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
  if (!stack.Start(files, folder)) {
    if (!is_top) report(folder);  // a folder that cannot be listed counts as empty
    return;
  }
  while (!stack.Done()) {
    if (stop.Requested()) return;
    WalkStack::Frame& top = stack.Top();
    if (top.next == top.entries.size()) {
      stack.ToTop();
      if (top.empty && (stack.Depth() > 1 || !is_top)) report(stack.Path());
      stack.Pop();
      continue;
    }
    const FolderEntry& entry = top.entries[top.next++];
    if (!entry.is_folder) {
      top.empty = false;
      continue;
    }
    if (IsDotEntry(entry.name)) continue;
    stack.Enter(entry.name);
    // Subfolders never make their parent non-empty. A link is not looked
    // into: like a folder that cannot be listed, it counts as empty.
    if (!entry.is_link && stack.PushPath(files)) continue;
    report(stack.Path());
  }
}

}  // namespace kestrel
