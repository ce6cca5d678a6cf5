#include "platform/wine_hive.h"

#include <cstring>

#include "platform/bulk_memory.h"
#include "platform/reg_hex.h"
#include "platform/text.h"

namespace kestrel {

namespace {

constexpr size_t kMaxReportedProblems = 20;
// Far beyond any real hive; keeps a stray huge file from exhausting memory.
constexpr uint64_t kMaxHiveBytes = uint64_t(1) << 30;
constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Decodes one UTF-8 sequence starting at s[i] to `p`; a byte that does not
// start a well-formed sequence becomes U+FFFD on its own.
size_t DecodeUtf8(std::string_view s, size_t i, char16_t*& p) {
  unsigned char b0 = static_cast<unsigned char>(s[i]);
  size_t len = 0;
  uint32_t cp = 0, min = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) { len = 2; cp = b0 & 0x1F; min = 0x80; }
  else if (b0 >= 0xE0 && b0 <= 0xEF) { len = 3; cp = b0 & 0x0F; min = 0x800; }
  else if (b0 >= 0xF0 && b0 <= 0xF4) { len = 4; cp = b0 & 0x07; min = 0x10000; }
  if (len == 0 || i + len > s.size()) {
    *p++ = u'\uFFFD';
    return i + 1;
  }
  for (size_t k = 1; k < len; ++k) {
    unsigned char b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      *p++ = u'\uFFFD';
      return i + 1;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    *p++ = u'\uFFFD';
    return i + 1;
  }
  if (cp >= 0x10000) {
    cp -= 0x10000;
    *p++ = char16_t(0xD800 + (cp >> 10));
    *p++ = char16_t(0xDC00 + (cp & 0x3FF));
  } else {
    *p++ = char16_t(cp);
  }
  return i + len;
}

// Reads escaped text from s[i] up to the first unescaped `end` character into
// `out` and returns the position of `end`, or npos when the line ends first.
size_t Unescape(std::string_view s, size_t i, char end, std::u16string& out) {
  const size_t n = s.size();
  // Never more UTF-16 units than input bytes: write straight into the buffer.
  out.resize(n - i);
  char16_t* p = out.data();
  size_t result = std::string_view::npos;
  while (i < n) {
    char c = s[i];
    if (c == end) {
      result = i;
      break;
    }
    if (static_cast<unsigned char>(c) >= 0x80) {
      i = DecodeUtf8(s, i, p);
      continue;
    }
    ++i;
    if (c != '\\') {
      *p++ = char16_t(c);
      continue;
    }
    if (i == n) break;
    c = s[i++];
    switch (c) {
      case 'a': *p++ = u'\a'; break;
      case 'b': *p++ = u'\b'; break;
      case 'e': *p++ = char16_t(0x1B); break;
      case 'f': *p++ = u'\f'; break;
      case 'n': *p++ = u'\n'; break;
      case 'r': *p++ = u'\r'; break;
      case 't': *p++ = u'\t'; break;
      case 'v': *p++ = u'\v'; break;
      case 'x': {
        uint32_t value = 0;
        size_t digits = 0;
        for (int d; digits < 4 && i < n && (d = HexDigitValue(s[i])) >= 0; ++digits, ++i)
          value = value * 16 + uint32_t(d);
        *p++ = digits ? char16_t(value) : u'x';
        break;
      }
      case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
        uint32_t value = uint32_t(c - '0');
        for (size_t digits = 1; digits < 3 && i < n && s[i] >= '0' && s[i] <= '7'; ++digits, ++i)
          value = value * 8 + uint32_t(s[i] - '0');
        *p++ = char16_t(value);
        break;
      }
      default:
        // Any other escaped character stands for itself ("\\", "\"", "\[").
        if (static_cast<unsigned char>(c) >= 0x80)
          i = DecodeUtf8(s, i - 1, p);
        else
          *p++ = char16_t(c);
    }
  }
  out.resize(size_t(p - out.data()));
  return result;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

class HiveParser {
 public:
  HiveParser(std::string_view text, RegNode& root, HiveLoadReport& report)
      : text_(text), root_(root), report_(report) {}

  bool Run() {
    std::string_view line;
    if (!NextLine(line) || !StartsWith(line, kHeader)) {
      report_.problems.push_back("not a Wine registry file (no \"WINE REGISTRY Version 2\" header)");
      return false;
    }
    while (NextLine(line)) {
      item_line_ = line_no_;
      if (line.empty()) continue;
      switch (line[0]) {
        case ';': break;
        case '#': OptionLine(line); break;
        case '[': KeyLine(line); break;
        case '@': case '"': ValueLine(line); break;
        default: Problem("unreadable line");
      }
    }
    return true;
  }

 private:
  bool NextLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const char* start = text_.data() + pos_;
    const void* nl = std::memchr(start, '\n', text_.size() - pos_);
    size_t end = nl ? size_t(static_cast<const char*>(nl) - text_.data()) : text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++line_no_;
    return true;
  }

  void Problem(const char* what) {
    ++report_.skipped_lines;
    if (report_.problems.size() < kMaxReportedProblems)
      report_.problems.push_back("line " + std::to_string(item_line_) + ": " + what);
  }

  void OptionLine(std::string_view line) {
    // "#time=", "#class=" and "#arch=" carry nothing a reader needs.
    if (line == "#link" && current_) current_->link = true;
  }

  void KeyLine(std::string_view line) {
    current_ = nullptr;
    if (Unescape(line, 1, ']', path_) == std::string_view::npos) {
      Problem("unterminated key line");
      return;
    }
    ++report_.keys;
    RegNode* node = &root_;
    size_t depth = 0, start = 0;
    std::u16string_view path(path_);
    while (start <= path.size()) {
      size_t end = path.find(u'\\', start);
      if (end == std::u16string_view::npos) end = path.size();
      std::u16string_view part = path.substr(start, end - start);
      start = end + 1;
      if (part.empty()) continue;
      // Keys come in tree order: reuse the ancestors of the previous key.
      if (depth < chain_.size() && chain_[depth].first == part) {
        node = chain_[depth].second;
      } else {
        chain_.resize(depth);
        node = &node->AddChild(part);
        chain_.emplace_back(std::u16string(part), node);
      }
      ++depth;
    }
    chain_.resize(depth);
    current_ = node;
  }

  void ValueLine(std::string_view line) {
    if (!current_) {
      Problem("value outside a key");
      SkipContinuations(line);
      return;
    }
    // Name and data are read into buffers kept from value to value; the
    // tree copies them into its arena.
    name_.clear();
    data_.clear();
    uint32_t type = REG_BINARY;
    size_t i = 1;
    if (line[0] == '"') {
      i = Unescape(line, 1, '"', name_);
      if (i == std::string_view::npos) {
        Problem("unterminated value name");
        return;
      }
      ++i;
    }
    while (i < line.size() && IsBlankByte(line[i])) ++i;
    if (i == line.size() || line[i] != '=') {
      Problem("missing \"=\" after the value name");
      return;
    }
    ++i;
    while (i < line.size() && IsBlankByte(line[i])) ++i;
    std::string_view data = line.substr(i);
    if (!data.empty() && data[0] == '"') {
      type = REG_SZ;
      if (!ParseString(data, data_)) return Problem("unterminated string");
    } else if (StartsWith(data, "str(")) {
      size_t close = data.find("):\"");
      if (close == std::string_view::npos || !ParseHexNumber(data.substr(4, close - 4), 8, type))
        return Problem("unreadable string type");
      if (!ParseString(data.substr(close + 2), data_)) return Problem("unterminated string");
    } else if (StartsWith(data, "dword:")) {
      uint32_t n = 0;
      if (!ParseHexNumber(data.substr(6), 8, n)) return Problem("unreadable dword value");
      type = REG_DWORD;
      data_.assign({uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)});
    } else if (StartsWith(data, "hex:") || StartsWith(data, "hex(")) {
      size_t colon = data.find(':');
      bool type_ok = colon != std::string_view::npos &&
                     (colon == 3 || (data[colon - 1] == ')' &&
                                     ParseHexNumber(data.substr(4, colon - 5), 8, type)));
      bool ok = ParseHex(type_ok ? data.substr(colon + 1) : data, data_);
      if (!type_ok || !ok) return Problem("unreadable hex value");
    } else {
      SkipContinuations(line);
      return Problem("unknown value type");
    }
    current_->SetValue(name_, type, data_);
    ++report_.values;
  }

  // A quoted string value, stored with its terminator.
  bool ParseString(std::string_view data, std::vector<uint8_t>& out) {
    if (Unescape(data, 1, '"', scratch_) == std::string_view::npos) return false;
    out.resize(scratch_.size() * 2 + 2);
    uint8_t* p = out.data();
    for (char16_t c : scratch_) {
      *p++ = uint8_t(c & 0xFF);
      *p++ = uint8_t(c >> 8);
    }
    p[0] = p[1] = 0;  // the terminator
    return true;
  }

  // A hex list, taking in the continuation lines that follow a trailing "\".
  bool ParseHex(std::string_view first, std::vector<uint8_t>& out) {
    bool continued = false;
    out.reserve(first.size() / 3 + 1);
    bool ok = ParseHexList(first, out, continued);
    if (!ok) continued = EndsWithBackslash(first);
    while (continued) {
      size_t saved_pos = pos_, saved_line = line_no_;
      std::string_view next;
      // Continuation lines are indented; anything else starts a new item and
      // leaves the list cut short.
      if (!NextLine(next) || next.empty() || !IsBlankByte(next[0])) {
        pos_ = saved_pos;
        line_no_ = saved_line;
        return false;
      }
      if (!ParseHexList(next, out, continued)) {
        ok = false;
        continued = EndsWithBackslash(next);
      }
    }
    return ok;
  }

  static bool EndsWithBackslash(std::string_view line) {
    while (!line.empty() && IsBlankByte(line.back())) line.remove_suffix(1);
    return !line.empty() && line.back() == '\\';
  }

  void SkipContinuations(std::string_view line) {
    while (EndsWithBackslash(line)) {
      size_t saved_pos = pos_, saved_line = line_no_;
      if (!NextLine(line) || line.empty() || !IsBlankByte(line[0])) {
        pos_ = saved_pos;
        line_no_ = saved_line;
        return;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  size_t line_no_ = 0;
  size_t item_line_ = 0;  // where the item being read began
  RegNode& root_;
  HiveLoadReport& report_;
  RegNode* current_ = nullptr;
  std::u16string path_;
  std::u16string scratch_;
  std::u16string name_;
  std::vector<uint8_t> data_;
  std::vector<std::pair<std::u16string, RegNode*>> chain_;
};

}  // namespace

bool ParseWineHive(std::string_view text, RegNode& root, HiveLoadReport* report) {
  HiveLoadReport local;
  HiveParser parser(text, root, report ? *report : local);
  return parser.Run();
}

bool LoadWineHiveFile(const std::filesystem::path& file, RegNode& root, HiveLoadReport* report) {
  BulkFile bytes;
  std::string reason;
  if (!ReadBulkFile(file, kMaxHiveBytes, bytes, reason)) {
    if (report) report->problems.push_back(reason.empty() ? "cannot read " + file.string() : reason);
    return false;
  }
  return ParseWineHive(bytes.View(), root, report);
}

}  // namespace kestrel
