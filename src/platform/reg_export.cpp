#include "platform/reg_export.h"

#include "platform/file_io.h"
#include "platform/reg_hex.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "platform/tree_registry.h"

namespace kestrel {

namespace {

constexpr size_t kMaxReportedProblems = 20;
constexpr uint64_t kMaxExportBytes = uint64_t(1) << 30;
constexpr uint32_t kRoots[4] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};

bool IsBlank16(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; }

std::u16string_view TrimBlanks(std::u16string_view s) {
  while (!s.empty() && IsBlank16(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank16(s.back())) s.remove_suffix(1);
  return s;
}

bool EndsWithBackslash(std::u16string_view line) {
  line = TrimBlanks(line);
  return !line.empty() && line.back() == u'\\';
}

// Root names as exports write them, and the short forms.
uint32_t RootByName(std::u16string_view name, bool& known_other) {
  struct Entry { const char16_t* name; uint32_t root; };
  static const Entry kNames[] = {
      {u"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {u"HKCR", HKEY_CLASSES_ROOT},
      {u"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {u"HKCU", HKEY_CURRENT_USER},
      {u"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {u"HKLM", HKEY_LOCAL_MACHINE},
      {u"HKEY_USERS", HKEY_USERS}, {u"HKU", HKEY_USERS},
  };
  for (const auto& e : kNames)
    if (EqualsNoCase(name, e.name)) return e.root;
  // Roots a test run never looks at.
  known_other = EqualsNoCase(name, u"HKEY_CURRENT_CONFIG") || EqualsNoCase(name, u"HKCC") ||
                EqualsNoCase(name, u"HKEY_DYN_DATA") || EqualsNoCase(name, u"HKEY_PERFORMANCE_DATA");
  return 0;
}

// Reads a quoted string from s[i] (just after the opening quote) up to the
// closing quote; returns the position of that quote or npos.
size_t UnescapeQuoted(std::u16string_view s, size_t i, std::u16string& out) {
  out.clear();
  while (i < s.size()) {
    char16_t c = s[i++];
    if (c == u'"') return i - 1;
    if (c != u'\\' || i == s.size()) {
      out.push_back(c);
      continue;
    }
    char16_t e = s[i++];
    switch (e) {
      case u'\\': out.push_back(u'\\'); break;
      case u'"': out.push_back(u'"'); break;
      case u'n': out.push_back(u'\n'); break;
      case u'r': out.push_back(u'\r'); break;
      case u'0': out.push_back(u'\0'); break;
      default:
        // Not an escape regedit writes: keep the text as it stands.
        out.push_back(u'\\');
        out.push_back(e);
    }
  }
  return std::u16string_view::npos;
}

class ExportParser {
 public:
  ExportParser(std::u16string_view text, bool ansi, RegRootTrees& trees, HiveLoadReport& report)
      : text_(text), ansi_(ansi), trees_(trees), report_(report) {}

  void Run() {
    std::u16string_view line;
    NextLine(line);  // the header, checked by the caller
    while (NextLine(line)) {
      item_line_ = line_no_;
      std::u16string_view t = TrimBlanks(line);
      if (t.empty() || t[0] == u';') continue;
      if (t[0] == u'[') {
        KeyLine(t);
      } else if (t[0] == u'"' || t[0] == u'@') {
        ValueLine(t);
      } else {
        Problem("unreadable line");
      }
    }
  }

 private:
  bool NextLine(std::u16string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find(u'\n', pos_);
    if (end == std::u16string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    ++line_no_;
    return true;
  }

  void Problem(const char* what) {
    ++report_.skipped_lines;
    if (report_.problems.size() < kMaxReportedProblems)
      report_.problems.push_back("line " + std::to_string(item_line_) + ": " + what);
  }

  void KeyLine(std::u16string_view t) {
    current_ = nullptr;
    seen_key_ = true;
    size_t close = t.rfind(u']');
    if (close == std::u16string_view::npos) return Problem("unterminated key line");
    std::u16string_view name = t.substr(1, close - 1);
    bool remove = !name.empty() && name[0] == u'-';
    if (remove) name.remove_prefix(1);
    size_t slash = name.find(u'\\');
    std::u16string_view root_name = name.substr(0, slash);
    std::u16string_view path = slash == std::u16string_view::npos ? std::u16string_view() : name.substr(slash + 1);
    bool other = false;
    RegNode* tree = trees_.Tree(RootByName(root_name, other));
    if (!tree) {
      if (!other) Problem("unknown root key");
      return;
    }
    ++report_.keys;
    if (!remove) {
      current_ = tree->Descend(path, true);
      return;
    }
    // "[-Key]" removes the key with everything below it.
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    size_t last = path.rfind(u'\\');
    std::u16string_view leaf = last == std::u16string_view::npos ? path : path.substr(last + 1);
    if (leaf.empty()) return Problem("a root key cannot be removed");
    RegNode* parent = last == std::u16string_view::npos ? tree : tree->Descend(path.substr(0, last), false);
    if (parent) parent->RemoveChild(leaf);
  }

  void ValueLine(std::u16string_view t) {
    if (!current_) {
      // Values of a removed or unknown key go with it.
      SkipContinuations(t);
      if (!seen_key_) Problem("value outside a key");
      return;
    }
    RegValue value;
    size_t i = 1;
    if (t[0] == u'"') {
      i = UnescapeQuoted(t, 1, value.name);
      if (i == std::u16string_view::npos) return Problem("unterminated value name");
      ++i;
    }
    while (i < t.size() && IsBlank16(t[i])) ++i;
    if (i == t.size() || t[i] != u'=') return Problem("missing \"=\" after the value name");
    std::u16string_view data = TrimBlanks(t.substr(i + 1));
    if (data == u"-") {
      current_->RemoveValue(value.name);
      return;
    }
    if (!data.empty() && data[0] == u'"') {
      std::u16string text;
      if (UnescapeQuoted(data, 1, text) == std::u16string_view::npos) return Problem("unterminated string");
      value.type = REG_SZ;
      value.data = RegTextData(text);
    } else if (StartsWithNoCase(data, u"dword:")) {
      uint32_t n = 0;
      if (!ParseHexNumber(data.substr(6), 8, n)) return Problem("unreadable dword value");
      value.type = REG_DWORD;
      value.data = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    } else if (StartsWithNoCase(data, u"hex:") || StartsWithNoCase(data, u"hex(")) {
      size_t colon = data.find(u':');
      value.type = REG_BINARY;
      bool type_ok = colon != std::u16string_view::npos &&
                     (colon == 3 || (data[colon - 1] == u')' &&
                                     ParseHexNumber(data.substr(4, colon - 5), 8, value.type)));
      bool ok = ParseHex(type_ok ? data.substr(colon + 1) : data, value.data);
      if (!type_ok || !ok) return Problem("unreadable hex value");
      if (ansi_ && (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ))
        value.data = WidenAnsi(value.data);
    } else {
      SkipContinuations(t);
      return Problem("unknown value type");
    }
    current_->SetValue(std::move(value));
    ++report_.values;
  }

  // String data of an 8-bit export, stored as the UTF-16 it stands for.
  static std::vector<uint8_t> WidenAnsi(const std::vector<uint8_t>& bytes) {
    std::u16string text =
        FromWindows1252(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::vector<uint8_t> data = RegTextData(text);
    data.resize(data.size() - 2);  // the bytes carried their own terminator
    return data;
  }

  // A continuation line holds more hex items; anything else means the list
  // was cut short, and that line is read again on its own.
  bool NextContinuation(std::u16string_view& line) {
    size_t saved_pos = pos_, saved_line = line_no_;
    if (NextLine(line)) {
      std::u16string_view t = TrimBlanks(line);
      if (!t.empty() && (HexDigitValue(t[0]) >= 0 || t[0] == u'\\')) return true;
    }
    pos_ = saved_pos;
    line_no_ = saved_line;
    return false;
  }

  bool ParseHex(std::u16string_view first, std::vector<uint8_t>& out) {
    bool continued = false;
    out.reserve(first.size() / 3 + 1);
    bool ok = ParseHexList(first, out, continued);
    if (!ok) continued = EndsWithBackslash(first);
    std::u16string_view next;
    while (continued) {
      if (!NextContinuation(next)) return false;
      if (!ParseHexList(next, out, continued)) {
        ok = false;
        continued = EndsWithBackslash(next);
      }
    }
    return ok;
  }

  void SkipContinuations(std::u16string_view line) {
    while (EndsWithBackslash(line) && NextContinuation(line)) {
    }
  }

  std::u16string_view text_;
  bool ansi_;
  size_t pos_ = 0;
  size_t line_no_ = 0;
  size_t item_line_ = 0;  // where the item being read began
  RegRootTrees& trees_;
  HiveLoadReport& report_;
  RegNode* current_ = nullptr;
  bool seen_key_ = false;
};

}  // namespace

RegRootTrees::RegRootTrees() {
  for (auto& t : trees_) t = std::make_shared<RegNode>();
}

RegNode* RegRootTrees::Tree(uint32_t root) const {
  if (root < HKEY_CLASSES_ROOT || root > HKEY_USERS) return nullptr;
  return trees_[root - HKEY_CLASSES_ROOT].get();
}

const std::shared_ptr<RegNode>& RegRootTrees::Shared(uint32_t root) const {
  static const std::shared_ptr<RegNode> none;
  if (root < HKEY_CLASSES_ROOT || root > HKEY_USERS) return none;
  return trees_[root - HKEY_CLASSES_ROOT];
}

namespace {

constexpr std::u16string_view kHeaders[] = {u"REGEDIT4", u"Windows Registry Editor Version 5.00"};

bool IsExportHeader(std::u16string_view line) {
  for (std::u16string_view header : kHeaders)
    if (line == header) return true;
  return false;
}

bool CouldStartExportHeader(std::u16string_view start) {
  for (std::u16string_view header : kHeaders)
    if (header.substr(0, start.size()) == start) return true;
  return false;
}

constexpr const char* kNotAnExport =
    "not a registry export (no \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\" header)";

// Without a BOM, a "REGEDIT4" file is in the 8-bit code page; everything else
// is decoded by its BOM (UTF-16 as regedit writes it, or UTF-8).
std::u16string DecodeExport(std::string_view bytes) {
  return bytes.substr(0, 8) == "REGEDIT4" ? FromWindows1252(bytes) : DecodeText(bytes).text;
}

// The first line decides, and the first few kilobytes tell whether it can be
// a header, so a large file that is no export is refused before it is read
// and decoded whole. The header is plain ASCII: decoding only the start
// cannot change it. Without a line end in sight the line may still be a
// header padded with blanks, so its start need only begin one.
constexpr size_t kHeadBytes = 4096;

bool StartsLikeExport(std::string_view bytes) {
  const std::u16string head = DecodeExport(bytes.substr(0, kHeadBytes));
  const size_t eol = head.find(u'\n');
  const std::u16string_view line = TrimBlanks(std::u16string_view(head).substr(0, eol));
  return eol != std::u16string::npos ? IsExportHeader(line) : CouldStartExportHeader(line);
}


}  // namespace

bool ApplyRegExport(std::string_view bytes, RegRootTrees& trees, HiveLoadReport* report) {
  HiveLoadReport local;
  HiveLoadReport& r = report ? *report : local;
  if (!StartsLikeExport(bytes)) {
    r.problems.push_back(kNotAnExport);
    return false;
  }
  std::u16string text = DecodeExport(bytes);
  size_t eol = text.find(u'\n');
  std::u16string_view header = TrimBlanks(std::u16string_view(text).substr(0, eol));
  if (!IsExportHeader(header)) {
    r.problems.push_back(kNotAnExport);
    return false;
  }
  ExportParser(text, header == u"REGEDIT4", trees, r).Run();
  return true;
}

std::unique_ptr<Registry> LoadRegistryExports(const std::vector<std::filesystem::path>& files,
                                              std::string* errors) {
  RegRootTrees trees;
  for (const auto& file : files) {
    FileBytes bytes;
    std::string reason;
    HiveLoadReport report;
    const std::string start = ReadFileStart(file, kHeadBytes);
    if (!start.empty() && !StartsLikeExport(start))
      report.problems.push_back(kNotAnExport);
    else if (ReadWholeFile(file, kMaxExportBytes, bytes, reason) != ReadResult::kRead)
      report.problems.push_back(reason.empty() ? "cannot read the file" : reason);
    else
      ApplyRegExport(bytes.View(), trees, &report);
    if (errors) {
      for (const auto& p : report.problems) *errors += file.string() + ": " + p + "\n";
      if (report.skipped_lines > report.problems.size())
        *errors += file.string() + ": " + std::to_string(report.skipped_lines) + " unreadable lines in all\n";
    }
  }
  std::vector<RegMount> mounts;
  for (uint32_t root : kRoots) mounts.push_back({root, u"", trees.Shared(root), trees.Tree(root)});
  return std::make_unique<TreeRegistry>(mounts);
}

}  // namespace kestrel
