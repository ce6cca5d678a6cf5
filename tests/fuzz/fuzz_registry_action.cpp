// Registry action strings: parse, compose, parse again.
//
// What holds for every string the parser accepts:
// - the second parse accepts the composed string too;
// - it gives back the same verb, has-value flag, root, root name, key path and
//   value name;
// - its remainder is the composed text after the verb's "=" (the first
//   parse's remainder is the text as written, blanks around the key path and
//   value name included, so that field alone may differ);
// - composing the second record gives the same string: the composed form is
//   a fixed point.
// When the split stops early (no "\", or no "," for a verb with a value part)
// the record has empty root name, key path and value name; composing it gives
// "VERB=\" or "VERB=\,", and the properties above hold for that string too.

#include "document/registry_action.h"
#include "fuzz_support.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text = fuzz::Text(data, size);
  REGACTION first;
  if (!ParseRegAction(text, first)) return 0;
  std::u16string composed = ComposeRegAction(first);

  REGACTION second;
  fuzz::Expect(ParseRegAction(composed, second) == 1, "composed string is no registry action", text, composed);
  fuzz::Expect(second.verb == first.verb, "verb changed", first.verb, second.verb);
  fuzz::Expect(second.has_value == first.has_value, "has value changed", text, composed);
  fuzz::Expect(second.root == first.root, "root changed", text, composed);
  fuzz::Expect(second.root_name == first.root_name, "root name changed", first.root_name, second.root_name);
  fuzz::Expect(second.key_path == first.key_path, "key path changed", first.key_path, second.key_path);
  fuzz::Expect(second.value_name == first.value_name, "value name changed", first.value_name, second.value_name);
  fuzz::Expect(second.remainder == composed.substr(first.verb.size() + 1), "remainder is not the composed text",
               composed, second.remainder);
  fuzz::Expect(ComposeRegAction(second) == composed, "composed form is no fixed point", composed,
               ComposeRegAction(second));
  return 0;
}
