#include "document/disk_action.h"

#include "platform/text.h"

namespace kestrel {

namespace {

// Removes every occurrence of `token` from `text`; true when there was one.
bool RemoveAll(std::u16string& text, std::u16string_view token) {
  bool found = false;
  for (size_t at = text.find(token); at != std::u16string::npos; at = text.find(token, at)) {
    text.erase(at, token.size());
    found = true;
  }
  return found;
}

std::u16string TrimTrailing(std::u16string text, std::u16string_view chars) {
  while (!text.empty() && chars.find(text.back()) != std::u16string_view::npos) text.pop_back();
  return text;
}

std::u16string TrimLeading(const std::u16string& text, std::u16string_view chars) {
  size_t b = 0;
  while (b < text.size() && chars.find(text[b]) != std::u16string_view::npos) ++b;
  return text.substr(b);
}

}  // namespace

bool IsIniAction(const DISKACTION& action) { return EqualsNoCase(action.kind, u"INIFILE"); }

bool IsProtectedEmptyPath(std::u16string_view path) {
  std::u16string p = TrimRight(path);
  return WildcardMatch(p, u"?:\\Windows") || WildcardMatch(p, u"?:\\Windows\\system32");
}

std::u16string ComposeDiskAction(DISKACTION& action) {
  if (IsIniAction(action)) {
    std::u16string out = u"INIFILE=" + action.ini_file + u"|" + action.ini_section;
    if (!action.ini_key.empty()) out += u"|" + action.ini_key;
    return out;
  }
  if (action.empty_path) return action.whole + (action.remove_folder ? u" /E /R" : u" /E");

  action.folder = TrimTrailing(action.folder, u"\\ ");
  action.pattern = TrimLeading(action.pattern, u"\\ ");
  action.exclusions = TrimLeading(action.exclusions, u"\\ ");
  std::u16string out = action.folder + u"\\" + action.pattern;
  if (!action.exclusions.empty()) out += u" /X:" + action.exclusions;
  if (action.subfolders) out += u" /S";
  if (action.remove_folder) out += u" /R";
  if (action.clean_subfolders) out += u" /C";
  return out;
}

int ParseDiskAction(std::u16string_view text, DISKACTION& action) {
  std::u16string s = Trim(text);

  size_t x = s.find(u"/X");
  if (x != std::u16string::npos) {
    size_t end = s.find(u' ', x);
    std::u16string token = s.substr(x, end == std::u16string::npos ? std::u16string::npos : end - x);
    RemoveAll(s, token);
    size_t colon = token.find(u':');
    action.exclusions = colon == std::u16string::npos ? token : token.substr(colon + 1);
  }

  bool subfolders = RemoveAll(s, u"/S");
  bool empty_path = RemoveAll(s, u"/E");
  if (RemoveAll(s, u"/R")) action.remove_folder = 1;
  if (RemoveAll(s, u"/C")) action.clean_subfolders = 1;

  s = Trim(s);
  size_t slash = s.rfind(u'\\');
  if (slash == std::u16string::npos) return 0;

  action.subfolders = subfolders ? 1 : 0;
  action.empty_path = empty_path ? 1 : 0;
  action.whole = s;
  if (!action.empty_path) action.pattern = s.substr(slash + 1);
  action.folder = s.substr(0, slash);
  action.kind.clear();

  if (s.size() >= 7 && EqualsNoCase(std::u16string_view(s).substr(0, 7), u"INIFILE")) {
    std::u16string value = ValueAfterKeyword(s, u"INIFILE");
    std::u16string rest;
    size_t bar = value.find(u'|');
    if (bar == std::u16string::npos) {
      action.ini_file.clear();
      rest = value;
    } else {
      action.ini_file = value.substr(0, bar);
      rest = value.substr(bar + 1);
    }
    size_t bar2 = rest.find(u'|');
    if (bar2 == std::u16string::npos) {
      action.ini_section = rest;
      action.ini_key.clear();
    } else {
      action.ini_section = rest.substr(0, bar2);
      action.ini_key = rest.substr(bar2 + 1);
    }
    action.ini_file = Trim(action.ini_file);
    action.ini_section = Trim(action.ini_section);
    action.kind = u"INIFILE";
    action.pattern.clear();
  }
  return 1;
}

}  // namespace kestrel
