#include "document/row_texts.h"

#include "document/action_description.h"

namespace kestrel {

RowTexts RegistryRowTexts(const REGACTION& action) {
  RowTexts texts;
  texts[kPathColumn] = action.remainder;
  texts[kActionColumn] = DescribeRegAction(action, false);
  if (VerbHasValue(action.verb)) texts[kPatternColumn] = action.value_name;
  return texts;
}

RowTexts FileFolderRowTexts(const DISKACTION& action) {
  RowTexts texts;
  if (!action.ini_file.empty()) {
    texts[kPathColumn] = action.ini_file;
  } else if (action.empty_path) {
    texts[kPathColumn] = action.whole;
  } else {
    texts[kPathColumn] = action.folder;
    texts[kPatternColumn] = action.pattern;
  }
  texts[kActionColumn] = DescribeDiskAction(action, false);
  if (!action.exclusions.empty()) texts[kPatternColumn] += u", But exclude: " + action.exclusions;
  return texts;
}

}  // namespace kestrel
