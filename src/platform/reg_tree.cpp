#include "platform/reg_tree.h"

#include <iterator>

#include "platform/text.h"

namespace kestrel {

namespace {

constexpr size_t kIndexThreshold = 16;

// CompareNoCase with a fast path for characters that are equal as they are.
int FoldCompare(std::u16string_view a, std::u16string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = a[i], y = b[i];
    if (x == y) continue;
    x = UpperChar(x);
    y = UpperChar(y);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool FoldEquals(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && FoldCompare(a, b) == 0;
}

}  // namespace

bool NoCaseLess::operator()(std::u16string_view a, std::u16string_view b) const {
  return FoldCompare(a, b) < 0;
}

size_t RegNode::FoldHash::operator()(std::u16string_view s) const {
  uint64_t h = 1469598103934665603ull;
  for (char16_t c : s) h = (h ^ UpperChar(c)) * 1099511628211ull;
  return size_t(h);
}

bool RegNode::FoldEqual::operator()(std::u16string_view a, std::u16string_view b) const {
  return FoldEquals(a, b);
}

RegNode::RegNode() : own_arena_(std::make_unique<Arena>()), arena_(own_arena_.get()),
                     children_(arena_), values_(arena_) {}

RegNode::RegNode(Arena* arena) : arena_(arena), children_(arena), values_(arena) {}

// Keys below the root live in the arena and are never destroyed one by one:
// everything they hold is arena memory too, so freeing the arena frees all of
// it, whatever the depth of the tree.
RegNode::~RegNode() = default;

const RegNode* RegNode::FindChild(std::u16string_view name) const {
  auto it = children_.find(name);
  return it == children_.end() ? nullptr : it->second;
}

RegNode* RegNode::FindChild(std::u16string_view name) {
  auto it = children_.find(name);
  return it == children_.end() ? nullptr : it->second;
}

RegNode& RegNode::AddChild(std::u16string_view name) {
  // Keys usually arrive in sorted order: try the end first.
  auto hint = children_.end();
  if (!children_.empty()) {
    int order = FoldCompare(std::prev(hint)->first, name);
    if (order == 0) return *std::prev(hint)->second;
    if (order > 0) {
      hint = children_.lower_bound(name);
      if (FoldEquals(hint->first, name)) return *hint->second;
    }
  }
  void* place = arena_->allocate(sizeof(RegNode), alignof(RegNode));
  RegNode* child = new (place) RegNode(arena_);
  child->deletable = deletable;
  children_.emplace_hint(hint, arena_->Copy(name), child);
  ++revision_;
  return *child;
}

bool RegNode::RemoveChild(std::u16string_view name) {
  auto it = children_.find(name);
  if (it == children_.end()) return false;
  children_.erase(it);
  ++revision_;
  return true;
}

const RegStoredValue* RegNode::FindValue(std::u16string_view name) const {
  if (value_index_) {
    auto it = value_index_->find(name);
    return it == value_index_->end() ? nullptr : &values_[it->second];
  }
  for (const auto& v : values_)
    if (FoldEquals(v.name, name)) return &v;
  return nullptr;
}

void RegNode::SetValue(std::u16string_view name, uint32_t type, std::span<const uint8_t> data) {
  RegStoredValue* existing = const_cast<RegStoredValue*>(FindValue(name));
  std::span<const uint8_t> stored(arena_->Copy(data.data(), data.size()), data.size());
  if (existing) {
    // The name keeps the spelling it was first stored with.
    existing->type = type;
    existing->data = stored;
    return;
  }
  values_.push_back(RegStoredValue{arena_->Copy(name), type, stored});
  if (value_index_)
    value_index_->emplace(values_.back().name, values_.size() - 1);
  else if (values_.size() > kIndexThreshold)
    RebuildValueIndex();
}

bool RegNode::RemoveValue(std::u16string_view name) {
  for (auto it = values_.begin(); it != values_.end(); ++it) {
    if (FoldEquals(it->name, name)) {
      values_.erase(it);
      if (value_index_) RebuildValueIndex();
      return true;
    }
  }
  return false;
}

void RegNode::RebuildValueIndex() {
  if (!value_index_) {
    void* place = arena_->allocate(sizeof(ValueIndex), alignof(ValueIndex));
    value_index_ = new (place) ValueIndex(arena_);
  }
  value_index_->clear();
  value_index_->reserve(values_.size() * 2);
  for (size_t i = 0; i < values_.size(); ++i) value_index_->emplace(values_[i].name, i);
}

RegNode* RegNode::Descend(std::u16string_view path, bool create) {
  RegNode* node = this;
  size_t start = 0;
  while (node && start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    std::u16string_view part = path.substr(start, end - start);
    if (!part.empty()) node = create ? &node->AddChild(part) : node->FindChild(part);
    start = end + 1;
  }
  return node;
}

}  // namespace kestrel
