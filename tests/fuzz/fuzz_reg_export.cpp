// The .reg export reader on arbitrary bytes (REGEDIT4, version 5 in UTF-16 or
// UTF-8). Every key of the trees it builds is walked afterwards: each subkey
// and value is found again by its name.

#include "fuzz_support.h"
#include "platform/reg_export.h"

using namespace kestrel;

namespace {

void Walk(const RegNode& node) {
  for (const RegStoredValue& value : node.values())
    fuzz::Expect(node.FindValue(value.name) != nullptr, "stored value not found by its name", value.name);
  for (const auto& [name, child] : node.children()) {
    fuzz::Expect(node.FindChild(name) == child, "subkey not found by its name", name);
    Walk(*child);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegRootTrees trees;
  HiveLoadReport report;
  bool applied = ApplyRegExport(fuzz::Bytes(data, size), trees, &report);
  for (uint32_t root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
    const RegNode* tree = trees.Tree(root);
    fuzz::Expect(tree != nullptr, "a root has no tree");
    if (!applied) fuzz::Expect(tree->children().empty() && tree->values().empty(), "a text that is no export added keys");
    Walk(*tree);
  }
  return 0;
}
