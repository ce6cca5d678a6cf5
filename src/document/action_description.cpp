#include "document/action_description.h"

#include "platform/text.h"

namespace kestrel {

std::u16string DescribeRegAction(const REGACTION& action, bool details) {
  struct Row { const char16_t* verb; const char16_t* text; bool with_value; };
  static const Row rows[] = {
      {u"DELVAL", u"Delete Value", true},
      {u"DELKEY", u"Delete Key", false},
      {u"DELLIST", u"Delete Value list with Pattern", true},
      {u"DELKLIST", u"Delete Keylist with Pattern", true},
      {u"EMPTYKEY", u"Empty Key", false},
  };
  for (const Row& row : rows) {
    if (!EqualsNoCase(action.verb, row.verb)) continue;
    std::u16string out = row.text;
    if (details) {
      out += u": " + action.remainder;
      if (row.with_value) out += u"\\" + action.value_name;
    }
    return out;
  }
  return {};
}

std::u16string DescribeDiskAction(const DISKACTION& action, bool details) {
  std::u16string out;
  std::u16string suffix;
  if (IsIniAction(action)) {
    if (action.ini_key.empty())
      out = u"Delete Ini Section: " + action.ini_section;
    else
      out = u"Delete Ini Key: " + action.ini_section + u" > " + action.ini_key;
    suffix = u" (" + action.ini_file + u")";
  } else if (action.empty_path) {
    out = u"Empty Path";
    suffix = u" (" + action.whole + u")";
  } else {
    out = action.subfolders ? u"Delete Path and subdirs matching pattern" : u"Delete Path's files matching pattern";
    suffix = u" (" + action.folder + u"\\" + action.pattern + u")";
  }
  if (details) out += suffix;
  return out;
}

}  // namespace kestrel
