// File/folder action strings: parse, compose, parse again.
//
// Composing writes only what the action means, so the second parse is held to
// those fields: INI file, section and key for an INI action; the folder, the
// empty-path flag and remove-folder for an empty-path action; folder, pattern,
// exclusions and the four flags for a file pattern action. The texts "as
// written" (whole and folder of an INI action, whole of a file pattern action)
// are not compared: composing normalises them. Composing the second record
// must give the same string again.
//
// The string form has no escaping, so three kinds of text cannot come back and
// are left out of the comparison (they must still parse without harm):
// - a switch ("/X", "/S", "/E", "/R", "/C") left in the path after parsing,
//   e.g. a second "/X:" list or a "/S" formed when an inner one was cut out;
//   the next parse takes it for a switch;
// - an INI action whose only "\" stood outside the INI value (INIFILE\=a|b):
//   without a "\" the composed string is no file/folder action;
// - a composed string that ends in white space (an exclusion list cut at a
//   blank but ending in a tab): the next parse trims it.

#include "document/disk_action.h"
#include "fuzz_support.h"

using namespace kestrel;

namespace {

bool HoldsSwitch(std::u16string_view text) {
  for (std::u16string_view s : {u"/X", u"/S", u"/E", u"/R", u"/C"})
    if (text.find(s) != std::u16string_view::npos) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text = fuzz::Text(data, size);
  DISKACTION first;
  if (!ParseDiskAction(text, first)) return 0;
  IsProtectedEmptyPath(first.whole);
  std::u16string composed = ComposeDiskAction(first);  // also trims first's folder, pattern, exclusions

  const bool ini = IsIniAction(first);
  std::u16string body = ini ? composed : first.empty_path ? first.whole : first.folder + u"\\" + first.pattern;
  if (HoldsSwitch(body)) return 0;
  if (ini && composed.find(u'\\') == std::u16string::npos) return 0;
  if (!composed.empty() && IsBlank(composed.back())) return 0;

  DISKACTION second;
  fuzz::Expect(ParseDiskAction(composed, second) == 1, "composed string is no file/folder action", text, composed);
  fuzz::Expect(IsIniAction(second) == ini, "kind changed", text, composed);
  if (ini) {
    fuzz::Expect(second.ini_file == first.ini_file, "INI file changed", first.ini_file, second.ini_file);
    fuzz::Expect(second.ini_section == first.ini_section, "INI section changed", first.ini_section,
                 second.ini_section);
    fuzz::Expect(second.ini_key == first.ini_key, "INI key changed", first.ini_key, second.ini_key);
  } else if (first.empty_path) {
    fuzz::Expect(second.empty_path == 1, "empty path lost", text, composed);
    fuzz::Expect(second.whole == first.whole, "folder to empty changed", first.whole, second.whole);
    fuzz::Expect(second.remove_folder == first.remove_folder, "remove folder changed", text, composed);
  } else {
    fuzz::Expect(second.empty_path == 0, "empty path appeared", text, composed);
    fuzz::Expect(second.folder == first.folder, "folder changed", first.folder, second.folder);
    fuzz::Expect(second.pattern == first.pattern, "pattern changed", first.pattern, second.pattern);
    fuzz::Expect(second.exclusions == first.exclusions, "exclusions changed", first.exclusions, second.exclusions);
    fuzz::Expect(second.subfolders == first.subfolders && second.remove_folder == first.remove_folder &&
                     second.clean_subfolders == first.clean_subfolders,
                 "switches changed", text, composed);
  }
  fuzz::Expect(ComposeDiskAction(second) == composed, "composed form is no fixed point", composed,
               ComposeDiskAction(second));
  return 0;
}
