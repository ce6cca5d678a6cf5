// Wildcard match against a plain dynamic-programming matcher written from the
// rule: the whole text matches the whole pattern, both upper-cased (a-z only),
// "*" matching any run, "?" one character. The input is text NUL pattern.
// scripts/fuzz.sh runs this target with a short per-input timeout, so a
// matcher that backtracks without bound fails as a hang.

#include <vector>

#include "fuzz_support.h"

using namespace kestrel;

namespace {

char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

bool ReferenceMatch(std::u16string_view text, std::u16string_view pattern) {
  // row[j]: the text read so far matches the first j pattern characters.
  std::vector<char> row(pattern.size() + 1, 0), next(pattern.size() + 1, 0);
  row[0] = 1;
  for (size_t j = 1; j <= pattern.size() && pattern[j - 1] == u'*'; ++j) row[j] = 1;
  for (char16_t t : text) {
    next[0] = 0;
    for (size_t j = 1; j <= pattern.size(); ++j) {
      char16_t p = pattern[j - 1];
      if (p == u'*')
        next[j] = next[j - 1] || row[j];
      else
        next[j] = row[j - 1] && (p == u'?' || Fold(p) == Fold(t));
    }
    row.swap(next);
  }
  return row[pattern.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto [text, pattern] = fuzz::TwoTexts(data, size);
  bool expected = ReferenceMatch(text, pattern);
  fuzz::Expect(WildcardMatch(text, pattern) == expected, expected ? "match missed" : "false match", text, pattern);
  return 0;
}
