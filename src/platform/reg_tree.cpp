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

RegNode::~RegNode() {
  std::vector<std::unique_ptr<RegNode>> pending;
  auto adopt_children = [&pending](RegNode& node) {
    for (auto& entry : node.children_) pending.push_back(std::move(entry.second));
    node.children_.clear();
  };
  adopt_children(*this);
  while (!pending.empty()) {
    std::unique_ptr<RegNode> node = std::move(pending.back());
    pending.pop_back();
    adopt_children(*node);
  }  // each node dies childless
}

const RegNode* RegNode::FindChild(std::u16string_view name) const {
  auto it = children_.find(name);
  return it == children_.end() ? nullptr : it->second.get();
}

RegNode* RegNode::FindChild(std::u16string_view name) {
  auto it = children_.find(name);
  return it == children_.end() ? nullptr : it->second.get();
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
  auto child = std::make_unique<RegNode>();
  child->deletable = deletable;
  RegNode& ref = *child;
  children_.emplace_hint(hint, std::u16string(name), std::move(child));
  ++revision_;
  return ref;
}

bool RegNode::RemoveChild(std::u16string_view name) {
  auto it = children_.find(name);
  if (it == children_.end()) return false;
  children_.erase(it);
  ++revision_;
  return true;
}

const RegValue* RegNode::FindValue(std::u16string_view name) const {
  if (value_index_) {
    auto it = value_index_->find(ToUpper(name));
    return it == value_index_->end() ? nullptr : &values_[it->second];
  }
  for (const auto& v : values_)
    if (FoldEquals(v.name, name)) return &v;
  return nullptr;
}

void RegNode::SetValue(RegValue value) {
  if (value_index_) {
    auto [it, inserted] = value_index_->try_emplace(ToUpper(value.name), values_.size());
    if (inserted) {
      values_.push_back(std::move(value));
    } else {
      values_[it->second].type = value.type;
      values_[it->second].data = std::move(value.data);
    }
    return;
  }
  for (auto& v : values_) {
    if (FoldEquals(v.name, value.name)) {
      // The name keeps the spelling it was first stored with.
      v.type = value.type;
      v.data = std::move(value.data);
      return;
    }
  }
  if (values_.empty()) values_.reserve(4);
  values_.push_back(std::move(value));
  if (values_.size() > kIndexThreshold) RebuildValueIndex();
}

bool RegNode::RemoveValue(std::u16string_view name) {
  for (auto it = values_.begin(); it != values_.end(); ++it) {
    if (EqualsNoCase(it->name, name)) {
      values_.erase(it);
      if (value_index_) RebuildValueIndex();
      return true;
    }
  }
  return false;
}

void RegNode::RebuildValueIndex() {
  value_index_ = std::make_unique<std::unordered_map<std::u16string, size_t>>();
  value_index_->reserve(values_.size() * 2);
  for (size_t i = 0; i < values_.size(); ++i) value_index_->emplace(ToUpper(values_[i].name), i);
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
