// The hive reader of Wine prefixes on arbitrary text. Every key of the tree it
// builds is then walked the way a test run reads the registry: each subkey is
// found again by its name, each value by its name, and string data stay whole
// UTF-16 with their terminator.

#include "fuzz_support.h"
#include "platform/reg_tree.h"
#include "platform/wine_hive.h"

using namespace kestrel;

namespace {

void Walk(const RegNode& node, size_t depth) {
  fuzz::Expect(depth < 100000, "key tree deeper than the input allows");
  for (const RegStoredValue& value : node.values()) {
    const RegStoredValue* found = node.FindValue(value.name);
    fuzz::Expect(found != nullptr, "stored value not found by its name", value.name);
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) RegValueText(value.data.data(), value.data.size());
  }
  for (const auto& [name, child] : node.children()) {
    fuzz::Expect(node.FindChild(name) == child, "subkey not found by its name", name);
    Walk(*child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegNode root;
  HiveLoadReport report;
  bool hive = ParseWineHive(fuzz::Bytes(data, size), root, &report);
  if (!hive) fuzz::Expect(root.children().empty() && root.values().empty(), "a text that is no hive added keys");
  if (hive) fuzz::Expect(report.problems.size() <= report.skipped_lines, "more problems than skipped lines");
  Walk(root, 0);
  return 0;
}
