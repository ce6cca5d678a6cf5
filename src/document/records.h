#pragma once
// The records a plug-in document is made of.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

constexpr int kRegistryKind = 0;
constexpr int kFileFolderKind = 1;

// Group ids: even ids are registry groups, odd ids file/folder groups.
constexpr int kDefaultRegistryGroup = 0;  // "Registry Actions"
constexpr int kDefaultFileFolderGroup = 1;  // "File/Folder Actions"
inline bool IsRegistryGroup(int group_id) { return group_id % 2 == 0; }
inline int GroupIdForKey(int key, int kind) { return 2 * key + kind; }

// One action: its action string (trimmed), its kind and the key number it was
// read under (or was given when added).
struct ACTION {
  std::u16string text;
  int32_t kind = kRegistryKind;
  int32_t number = 0;
};

// The document's actions in document order.
class CActionArray {
 public:
  int GetCount() const { return int(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  int Add(const ACTION& action) {
    items_.push_back(action);
    return int(items_.size()) - 1;
  }
  ACTION GetAt(int index) const { return items_.at(size_t(index)); }
  const ACTION& operator[](int index) const { return items_.at(size_t(index)); }
  int GetNumber(int index) const { return items_.at(size_t(index)).number; }
  void SetAt(int index, const ACTION& action) { items_.at(size_t(index)) = action; }
  void RemoveAt(int index) { items_.erase(items_.begin() + index); }
  void RemoveAll() { items_.clear(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<ACTION> items_;
};

// Per-group state kept beside the list's groups; the name lives in the list.
struct GROUPINFO {
  int32_t checked = 1;
  int32_t index = 0;
  int32_t group_id = 0;
};

}  // namespace kestrel
