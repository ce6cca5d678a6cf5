#include "platform/tree_registry.h"

#include <iterator>

#include "platform/text.h"

namespace kestrel {

namespace {

// Open key state: the key's node and a cursor that makes enumerating subkeys
// by increasing index cost O(1) per step.
struct TreeKeyState : RegKeyState {
  explicit TreeKeyState(const RegNode* n) : node(n) {}
  const RegNode* node;
  mutable uint64_t cursor_revision = UINT64_MAX;
  mutable size_t cursor_index = 0;
  mutable RegNode::Children::const_iterator cursor;
};

int RootIndex(uint32_t root) {
  if (root < HKEY_CLASSES_ROOT || root > HKEY_USERS) return -1;
  return int(root - HKEY_CLASSES_ROOT);
}

bool ValidPath(std::u16string_view path) {
  // A trailing "\" is tolerated; a leading or doubled one is not.
  while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  if (!path.empty() && path.front() == u'\\') return false;
  return path.find(u"\\\\") == std::u16string_view::npos;
}

}  // namespace

TreeRegistry::TreeRegistry() {
  for (auto& top : tops_) {
    top = std::make_unique<RegNode>();
    top->deletable = false;
  }
}

TreeRegistry::TreeRegistry(const std::vector<RegMount>& mounts) : TreeRegistry() {
  for (const auto& m : mounts) Mount(m);
}

void TreeRegistry::Mount(const RegMount& mount) {
  int i = RootIndex(mount.root);
  if (i < 0 || !mount.node) return;
  RegNode* at = tops_[i]->Descend(mount.path, true);
  at->graft = mount.node;
  if (mount.owner) owners_.push_back(mount.owner);
}

const RegNode* TreeRegistry::RootNode(uint32_t root) const {
  int i = RootIndex(root);
  if (i < 0) return nullptr;
  const RegNode* node = tops_[i].get();
  return node->graft ? node->graft : node;
}

long TreeRegistry::NodeOf(const RegKey& key, const RegNode*& node) const {
  if (key.IsRoot()) {
    node = RootNode(key.RootValue());
  } else {
    auto* state = dynamic_cast<const TreeKeyState*>(key.State());
    node = state ? state->node : nullptr;
  }
  return node ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

long TreeRegistry::Follow(const RegNode* node, int& hops, const RegNode*& out) const {
  if (node->graft) node = node->graft;
  if (!node->link) {
    out = node;
    return ERROR_SUCCESS;
  }
  if (++hops > kMaxLinkHops) return ERROR_FILE_NOT_FOUND;
  const RegStoredValue* target = node->FindValue(u"SymbolicLinkValue");
  if (!target || target->type != REG_LINK) return ERROR_FILE_NOT_FOUND;
  std::u16string text = RegValueText(target->data.data(), target->data.size());
  std::u16string_view rest;
  const RegNode* root = nullptr;
  for (auto [prefix, hkey] : {std::pair{std::u16string_view(u"\\Registry\\Machine"), HKEY_LOCAL_MACHINE},
                              std::pair{std::u16string_view(u"\\Registry\\User"), HKEY_USERS}}) {
    if (StartsWithNoCase(text, prefix) &&
        (text.size() == prefix.size() || text[prefix.size()] == u'\\')) {
      root = RootNode(hkey);
      rest = std::u16string_view(text).substr(prefix.size());
      break;
    }
  }
  if (!root) return ERROR_FILE_NOT_FOUND;
  while (!rest.empty() && rest.front() == u'\\') rest.remove_prefix(1);
  return Walk(root, rest, hops, out);
}

long TreeRegistry::Walk(const RegNode* from, std::u16string_view path, int& hops,
                        const RegNode*& out) const {
  const RegNode* node = from;
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    std::u16string_view part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    const RegNode* child = node->FindChild(part);
    if (!child) return ERROR_FILE_NOT_FOUND;
    long rc = Follow(child, hops, node);
    if (rc != ERROR_SUCCESS) return rc;
  }
  out = node;
  return ERROR_SUCCESS;
}

long TreeRegistry::OpenKey(const RegKey& parent, std::u16string_view path, uint32_t access,
                           RegKey& out) const {
  out.Close();
  const RegNode* node = nullptr;
  if (long rc = NodeOf(parent, node); rc != ERROR_SUCCESS) return rc;
  if (!ValidPath(path)) return ERROR_BAD_PATHNAME;
  int hops = 0;
  if (long rc = Walk(node, path, hops, node); rc != ERROR_SUCCESS) return rc;
  if ((access & kWritingRights) && !node->deletable) return ERROR_ACCESS_DENIED;
  bool same_root = parent.IsRoot() && node == RootNode(parent.RootValue());
  out = same_root ? RegKey::Root(parent.RootValue()) : RegKey(std::make_unique<TreeKeyState>(node));
  return ERROR_SUCCESS;
}

long TreeRegistry::QueryValue(const RegKey& key, std::u16string_view name, RegValue* value,
                              size_t max_bytes) const {
  const RegNode* node = nullptr;
  if (long rc = NodeOf(key, node); rc != ERROR_SUCCESS) return rc;
  const RegStoredValue* found = node->FindValue(name);
  if (!found) return ERROR_FILE_NOT_FOUND;
  if (!value) return ERROR_SUCCESS;
  value->name = found->name;
  value->type = found->type;
  if (found->data.size() > max_bytes) {
    value->data.clear();
    return ERROR_MORE_DATA;
  }
  value->data.assign(found->data.begin(), found->data.end());
  return ERROR_SUCCESS;
}

long TreeRegistry::EnumValue(const RegKey& key, uint32_t index, size_t name_buffer_chars,
                             std::u16string& name) const {
  name.clear();
  const RegNode* node = nullptr;
  if (long rc = NodeOf(key, node); rc != ERROR_SUCCESS) return rc;
  if (index >= node->values().size()) return ERROR_NO_MORE_ITEMS;
  std::u16string_view found = node->values()[index].name;
  if (found.size() + 1 > name_buffer_chars) return ERROR_MORE_DATA;
  name = found;
  return ERROR_SUCCESS;
}

long TreeRegistry::EnumKey(const RegKey& key, uint32_t index, size_t name_buffer_chars,
                           std::u16string& name) const {
  name.clear();
  const RegNode* node = nullptr;
  if (long rc = NodeOf(key, node); rc != ERROR_SUCCESS) return rc;
  const auto& children = node->children();
  if (index >= children.size()) return ERROR_NO_MORE_ITEMS;
  RegNode::Children::const_iterator it;
  auto* state = key.IsRoot() ? nullptr : static_cast<const TreeKeyState*>(key.State());
  if (state && state->cursor_revision == node->revision() && state->cursor_index <= index) {
    it = std::next(state->cursor, std::ptrdiff_t(index - state->cursor_index));
  } else {
    it = std::next(children.begin(), std::ptrdiff_t(index));
  }
  if (state) {
    state->cursor_revision = node->revision();
    state->cursor_index = index;
    state->cursor = it;
  }
  if (it->first.size() + 1 > name_buffer_chars) return ERROR_MORE_DATA;
  name = it->first;
  return ERROR_SUCCESS;
}

}  // namespace kestrel
