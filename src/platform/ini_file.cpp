#include "platform/ini_file.h"

#include <algorithm>
#include <deque>
#include <new>
#include <unordered_map>
#include <utility>

#include "platform/file_io.h"
#include "platform/text.h"

namespace kestrel {

namespace {

constexpr size_t kNone = std::u16string_view::npos;

// Names compare with a-z folded, so they hash that way too.
struct FoldHash {
  size_t operator()(std::u16string_view s) const {
    uint64_t h = 14695981039346656037ull;
    for (char16_t c : s) h = (h ^ UpperChar(c)) * 1099511628211ull;
    return size_t(h);
  }
};
struct FoldEqual {
  bool operator()(std::u16string_view a, std::u16string_view b) const { return EqualsNoCase(a, b); }
};
template <typename T>
using FoldMap = std::unordered_map<std::u16string_view, T, FoldHash, FoldEqual>;

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\0'; }

std::u16string_view TrimView(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::u16string_view Unquote(std::u16string_view v) {
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// One line of the text: [begin, end) is its content, next the start of the
// following line. CR, LF and NUL end a line; CR LF is one break. A NUL cannot
// be part of a name or value a C caller could receive, so it splits lines.
struct LineSpan {
  size_t begin, end, next;
};

LineSpan LineAt(std::u16string_view text, size_t pos) {
  size_t end = pos;
  while (end < text.size() && !IsLineBreak(text[end])) ++end;
  size_t next = end;
  if (next < text.size()) {
    next += (text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n') ? 2 : 1;
  }
  return {pos, end, next};
}

enum class LineKind { kBlank, kComment, kSection, kEntry, kOther };

struct ParsedLine {
  LineKind kind = LineKind::kBlank;
  std::u16string_view name;   // section name or key, trimmed
  std::u16string_view value;  // trimmed, quotes kept
  std::u16string_view whole;  // trimmed line
};

ParsedLine ParseLine(std::u16string_view line) {
  ParsedLine p;
  p.whole = TrimView(line);
  if (p.whole.empty()) return p;
  if (p.whole.front() == u';') {
    p.kind = LineKind::kComment;
  } else if (p.whole.front() == u'[' && p.whole.find(u']') != kNone) {
    // Without its "]" a "[" line is no header, as the Windows profile
    // functions read it: it stays a line of the section it stands in.
    p.kind = LineKind::kSection;
    std::u16string_view rest = p.whole.substr(1);
    p.name = TrimView(rest.substr(0, rest.find(u']')));
  } else if (size_t eq = p.whole.find(u'='); eq != kNone) {
    p.kind = LineKind::kEntry;
    p.name = TrimView(p.whole.substr(0, eq));
    p.value = TrimView(p.whole.substr(eq + 1));
  } else {
    p.kind = LineKind::kOther;
  }
  return p;
}

bool HasLineBreak(std::u16string_view s) {
  return std::any_of(s.begin(), s.end(), IsLineBreak);
}

// Appends text[from, to) with every line break turned into CR LF.
void AppendWithCrLf(std::u16string& out, std::u16string_view text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) {
    char16_t c = text[i];
    if (!IsLineBreak(c)) {
      out += c;
      continue;
    }
    if (c == u'\r' && i + 1 < to && text[i + 1] == u'\n') ++i;
    out += u"\r\n";
  }
}

void EndLine(std::u16string& out) {
  if (!out.empty() && out.back() != u'\n') out += u"\r\n";
}

}  // namespace

struct IniFile::Impl {
  struct Entry {
    std::u16string_view key;    // as spelt in the file or by the writer
    std::u16string_view value;  // as read: trimmed, quotes kept
    size_t line_begin = kNone;  // kNone for a key added by a write
    size_t line_end = kNone;
    std::unique_ptr<std::u16string> written;  // the value a write gave it

    std::u16string_view Current() const { return written ? std::u16string_view(*written) : value; }
  };
  struct Section {
    std::u16string_view name;
    bool in_file = false;
    // Lines of the section in the text, header excluded; later duplicates of the
    // section are not part of it.
    size_t body_begin = 0, body_end = 0;
    // Where added keys go: after the last line that is neither blank nor a comment.
    size_t insert_at = 0;
    FoldMap<Entry> keys;
    std::vector<Entry*> added;  // keys added by writes, in order
  };

  std::filesystem::path path;
  bool exists = false;
  bool anew = false;
  bool modified = false;
  std::string load_error;
  TextEncoding encoding = TextEncoding::kAscii;

  std::u16string text;               // the file as decoded; never changes until the next save
  std::deque<std::u16string> names;  // names given by writes (stable storage for the views)
  std::deque<Section> sections;      // first occurrences in file order, then added ones
  FoldMap<Section*> by_name;

  void Load() {
    FileBytes bytes;
    switch (ReadWholeFile(path, kMaxFileBytes, bytes, load_error)) {
      case ReadResult::kMissing: return;
      case ReadResult::kFailed: return;
      case ReadResult::kRead: break;
    }
    try {
      DecodedText decoded = DecodeText(bytes.View());
      bytes = {};  // one copy of the content at a time
      Index(std::move(decoded.text));
      encoding = decoded.encoding;
      exists = true;
    } catch (const std::bad_alloc&) {
      Index({});
      load_error = "Not enough memory to read \"" + path.string() + "\"";
    }
  }

  void Index(std::u16string new_text) {
    text = std::move(new_text);
    names.clear();
    sections.clear();
    by_name.clear();
    Section* current = nullptr;
    std::u16string_view view(text);
    for (size_t pos = 0; pos < view.size();) {
      if (IsLineBreak(view[pos])) {  // an empty line: nothing to index
        ++pos;
        continue;
      }
      LineSpan span = LineAt(view, pos);
      ParsedLine line = ParseLine(view.substr(span.begin, span.end - span.begin));
      switch (line.kind) {
        case LineKind::kSection: {
          if (current) current->body_end = span.begin;
          current = nullptr;
          if (by_name.count(line.name)) break;  // a duplicate: never read
          Section& s = sections.emplace_back();
          s.name = line.name;
          s.in_file = true;
          s.body_begin = s.body_end = s.insert_at = span.next;
          by_name.emplace(s.name, &s);
          current = &s;
          break;
        }
        case LineKind::kEntry:
          if (!current) break;
          current->insert_at = span.next;
          if (auto [it, added] = current->keys.try_emplace(line.name); added) {
            Entry& e = it->second;
            e.key = line.name;
            e.value = line.value;
            e.line_begin = span.begin;
            e.line_end = span.end;
          }
          break;
        case LineKind::kOther:
          if (current) current->insert_at = span.next;
          break;
        case LineKind::kBlank:
        case LineKind::kComment:
          break;
      }
      pos = span.next;
    }
    if (current) current->body_end = view.size();
  }

  const Section* FindSection(std::u16string_view name) const {
    auto it = by_name.find(TrimView(name));
    return it == by_name.end() ? nullptr : it->second;
  }

  const Entry* Find(std::u16string_view section, std::u16string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    auto it = s->keys.find(TrimView(key));
    return it == s->keys.end() ? nullptr : &it->second;
  }

  // Calls fn(parsed line, entry or nullptr when it is a later duplicate) for the
  // section's lines in the file, then fn for every added key.
  template <typename Fn>
  void ForEachLine(const Section& s, Fn fn) const {
    std::u16string_view view(text);
    if (s.in_file) {
      for (size_t pos = s.body_begin; pos < s.body_end;) {
        LineSpan span = LineAt(view, pos);
        ParsedLine line = ParseLine(view.substr(span.begin, span.end - span.begin));
        if (line.kind == LineKind::kEntry) {
          auto it = s.keys.find(line.name);
          fn(line, it != s.keys.end() && it->second.line_begin == span.begin ? &it->second : nullptr);
        } else if (line.kind == LineKind::kOther) {
          fn(line, nullptr);
        }
        pos = span.next;
      }
    }
    for (const Entry* e : s.added) {
      ParsedLine line;
      line.kind = LineKind::kEntry;
      line.name = e->key;
      fn(line, e);
    }
  }

  std::u16string Compose() const {
    // Edits of the text in position order: replaced lines and the insertion
    // points of added keys.
    struct Edit {
      size_t at, resume;
      const Section* section;  // insertion
      const Entry* entry;      // replacement
    };
    std::vector<Edit> edits;
    for (const Section& s : sections) {
      if (!s.in_file) continue;
      if (!s.added.empty()) edits.push_back({s.insert_at, s.insert_at, &s, nullptr});
      for (const auto& [name, e] : s.keys)
        if (e.written && e.line_begin != kNone) edits.push_back({e.line_begin, e.line_end, nullptr, &e});
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });

    std::u16string out;
    out.reserve(text.size() + text.size() / 16 + 64);
    auto append_key = [&out](const Entry& e) {
      out.append(e.key);
      out += u'=';
      out.append(e.Current());
    };
    size_t pos = 0;
    for (const Edit& edit : edits) {
      AppendWithCrLf(out, text, pos, edit.at);
      if (edit.entry) {
        append_key(*edit.entry);
      } else {
        EndLine(out);
        for (const Entry* e : edit.section->added) {
          append_key(*e);
          out += u"\r\n";
        }
      }
      pos = edit.resume;
    }
    AppendWithCrLf(out, text, pos, text.size());
    for (const Section& s : sections) {
      if (s.in_file) continue;
      EndLine(out);
      out += u'[';
      out.append(s.name);
      out += u"]\r\n";
      for (const Entry* e : s.added) {
        append_key(*e);
        out += u"\r\n";
      }
    }
    return out;
  }
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}

IniFile::IniFile(std::filesystem::path path) : IniFile() {
  impl_->path = std::move(path);
  impl_->Load();
}

IniFile IniFile::CreateNew(std::filesystem::path path) {
  IniFile ini;
  ini.impl_->path = std::move(path);
  ini.impl_->anew = true;
  return ini;
}

IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;
IniFile::~IniFile() = default;

const std::filesystem::path& IniFile::Path() const { return impl_->path; }
bool IniFile::Exists() const { return impl_->exists; }
const std::string& IniFile::LoadError() const { return impl_->load_error; }
TextEncoding IniFile::Encoding() const { return impl_->encoding; }
bool IniFile::Modified() const { return impl_->modified; }

int IniFile::ReadString(std::u16string_view section, std::u16string_view key, std::u16string_view default_text,
                        int buffer_size, std::u16string& out) const {
  out.clear();
  if (buffer_size <= 0) return 0;
  const Impl::Entry* e = impl_->Find(section, key);
  std::u16string_view value = e ? Unquote(e->Current()) : default_text;
  out.assign(value.substr(0, size_t(buffer_size) - 1));
  return int(out.size());
}

int IniFile::ReadInt(std::u16string_view section, std::u16string_view key, int default_value) const {
  const Impl::Entry* e = impl_->Find(section, key);
  if (!e) return default_value;
  std::u16string_view value = Unquote(e->Current());
  return value.empty() ? default_value : ParseDecimal(value);
}

int IniFile::ReadSection(std::u16string_view section, int buffer_size, std::u16string& out) const {
  out.clear();
  if (buffer_size <= 2) return 0;
  const Impl::Section* s = impl_->FindSection(section);
  if (!s) return 0;
  // The list and its closing NUL must fit; otherwise keep room for two NULs.
  const size_t room = size_t(buffer_size) - 1;
  bool cut = false;
  impl_->ForEachLine(*s, [&](const ParsedLine& line, const Impl::Entry* e) {
    if (cut) return;
    if (line.kind == LineKind::kEntry) {
      out.append(line.name);
      out += u'=';
      out.append(e ? e->Current() : line.value);
    } else {
      out.append(line.whole);
    }
    out += u'\0';
    if (out.size() > room) cut = true;
  });
  if (cut) out.resize(size_t(buffer_size) - 2);
  return int(out.size());
}

bool IniFile::WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                          std::string* reason) {
  auto refuse = [reason](const char* why) {
    if (reason) *reason = why;
    return false;
  };
  section = TrimView(section);
  key = TrimView(key);
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    return refuse("Line breaks and NUL characters cannot be stored in a profile");
  if (section.find(u']') != kNone) return refuse("A section name cannot contain \"]\"");
  if (key.find(u'=') != kNone) return refuse("A key name cannot contain \"=\"");
  if (!key.empty() && (key.front() == u';' || key.front() == u'['))
    return refuse("A key name cannot begin with \";\" or \"[\"");

  Impl& d = *impl_;
  Impl::Section* s;
  if (auto it = d.by_name.find(section); it != d.by_name.end()) {
    s = it->second;
  } else {
    s = &d.sections.emplace_back();
    s->name = d.names.emplace_back(section);
    d.by_name.emplace(s->name, s);
  }
  auto it = s->keys.find(key);
  if (it == s->keys.end()) {
    std::u16string_view stored = d.names.emplace_back(key);
    it = s->keys.try_emplace(stored).first;
    it->second.key = stored;
    s->added.push_back(&it->second);
  }
  // Reading takes one pair of matching quotes off a value: a quoted value is
  // stored inside one more pair, or every save would strip another. (Blanks
  // at either end are trimmed on reading, as the system's own profiles do;
  // that loses them once and changes nothing after.)
  if (Unquote(value).size() != value.size())
    it->second.written = std::make_unique<std::u16string>(u"\"" + std::u16string(value) + u"\"");
  else
    it->second.written = std::make_unique<std::u16string>(value);
  d.modified = true;
  if (reason) reason->clear();
  return true;
}

bool IniFile::Save(std::string* reason) {
  Impl& d = *impl_;
  std::string why;
  if (!d.anew && !d.load_error.empty()) {
    why = "The file was not saved because it could not be read first (" + d.load_error +
          "); saving would lose what it holds";
    if (reason) *reason = why;
    return false;
  }
  try {
    std::u16string content = d.Compose();
    TextEncoding encoding = ChooseWriteEncoding(content);
    if (!WriteFileAtomically(d.path, EncodeText(content, encoding), why)) {
      if (reason) *reason = why;
      return false;
    }
    // The index now describes what is on disk.
    d.Index(std::move(content));
    d.encoding = encoding;
  } catch (const std::bad_alloc&) {
    if (reason) *reason = "Not enough memory to save \"" + d.path.string() + "\"";
    return false;
  }
  d.exists = true;
  d.anew = false;
  d.modified = false;
  if (reason) reason->clear();
  return true;
}

std::optional<std::u16string> IniFile::Value(std::u16string_view section, std::u16string_view key) const {
  const Impl::Entry* e = impl_->Find(section, key);
  if (!e) return std::nullopt;
  return std::u16string(Unquote(e->Current()));
}

bool IniFile::HasSection(std::u16string_view section) const { return impl_->FindSection(section) != nullptr; }

std::vector<std::u16string> IniFile::SectionNames() const {
  std::vector<std::u16string> out;
  for (const auto& s : impl_->sections) out.emplace_back(s.name);
  return out;
}

std::vector<std::u16string> IniFile::KeyNames(std::u16string_view section) const {
  std::vector<std::u16string> out;
  if (const Impl::Section* s = impl_->FindSection(section))
    impl_->ForEachLine(*s, [&](const ParsedLine&, const Impl::Entry* e) {
      if (e) out.emplace_back(e->key);
    });
  return out;
}

std::vector<std::u16string> IniFile::SectionLines(std::u16string_view section) const {
  std::vector<std::u16string> out;
  if (const Impl::Section* s = impl_->FindSection(section))
    impl_->ForEachLine(*s, [&](const ParsedLine& line, const Impl::Entry* e) {
      if (line.kind == LineKind::kEntry) {
        std::u16string text(line.name);
        text += u'=';
        text.append(e ? e->Current() : line.value);
        out.push_back(std::move(text));
      } else {
        out.emplace_back(line.whole);
      }
    });
  return out;
}

}  // namespace kestrel
